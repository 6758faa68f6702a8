// Map tiles as the tests store them: a one-colour PNG tile, and an MBTiles
// file of such tiles written with SQLite.
#pragma once

#include "viewer/map/tile_id.h"
#include "viewer/map/web_mercator.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <functional>
#include <vector>

namespace testing_support {

inline QByteArray tile_png(const QColor& colour) {
  QImage image(viewer::map::kTileSize, viewer::map::kTileSize, QImage::Format_RGB32);
  image.fill(colour);
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return buffer.data();
}

// `metadata` rows as SQL values ("'minzoom', '4'"); each tile in its colour,
// stored at its TMS row. Gives `path`.
inline QString write_mbtiles(const QString& path, const QStringList& metadata,
                             const std::vector<viewer::map::TileId>& tiles,
                             const std::function<QColor(const viewer::map::TileId&)>& colour_of) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "writer");
    db.setDatabaseName(path);
    db.open();
    db.transaction();
    QSqlQuery q(db);
    q.exec("CREATE TABLE metadata (name TEXT, value TEXT)");
    q.exec("CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_data BLOB)");
    for (const QString& m : metadata) q.exec("INSERT INTO metadata VALUES (" + m + ")");
    q.prepare("INSERT INTO tiles VALUES (?, ?, ?, ?)");
    for (const viewer::map::TileId& t : tiles) {
      for (const QVariant& v : {QVariant(t.zoom), QVariant(t.x), QVariant(viewer::map::tms_row(t.y, t.zoom)),
                                QVariant(tile_png(colour_of(t)))})
        q.addBindValue(v);
      q.exec();
    }
    db.commit();
  }
  QSqlDatabase::removeDatabase("writer");
  return path;
}

}  // namespace testing_support
