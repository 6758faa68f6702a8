#include "viewer/map/mbtiles_source.h"

#include "viewer/map/tile_decoding.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace viewer::map {

namespace {

QString new_connection_name() {
  static QAtomicInt counter;
  return QString("orvanta-mbtiles-%1").arg(counter.fetchAndAddRelaxed(1));
}

}  // namespace

MbTilesSource::MbTilesSource(const MapSource& source, QObject* parent)
    : TileSource(parent), connection_(new_connection_name()), attribution_(source.attribution) {
  decoder_.setMaxThreadCount(1);
  // SQLite would make an empty database of a missing file.
  if (!QFileInfo(source.path).isFile()) {
    error_ = "fichier introuvable";
    return;
  }
  QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection_);
  db.setDatabaseName(source.path);
  db.setConnectOptions("QSQLITE_OPEN_READONLY");
  if (!db.open()) {
    error_ = db.lastError().text();
    return;
  }
  QSqlQuery probe(db);
  if (!probe.exec("SELECT 1 FROM tiles LIMIT 1")) {
    error_ = "pas un fichier MBTiles";
    return;
  }
  open_ = true;
  read_metadata();
}

MbTilesSource::~MbTilesSource() {
  decoder_.waitForDone();
  QSqlDatabase::database(connection_, false).close();
  QSqlDatabase::removeDatabase(connection_);
}

void MbTilesSource::read_metadata() {
  QSqlQuery query(QSqlDatabase::database(connection_));
  if (!query.exec("SELECT name, value FROM metadata")) return;
  while (query.next()) {
    const QString name = query.value(0).toString();
    const QString value = query.value(1).toString().trimmed();
    bool ok = false;
    if (name == "attribution") {
      attribution_ = attribution_or_default(attribution_, value);
    } else if (name == "format" && value != "png" && value != "jpg" && value != "jpeg") {
      error_ = "tuiles au format " + value + " non prises en charge";
      open_ = false;
    } else if (name == "minzoom" && value.toInt(&ok) >= 0 && ok) {
      min_zoom_ = std::min(value.toInt(), kDeepestZoom + 3);
    } else if (name == "maxzoom" && value.toInt(&ok) >= 0 && ok) {
      max_zoom_ = std::min(value.toInt(), kDeepestZoom + 3);
    } else if (name == "bounds") {
      const QStringList parts = value.split(',');
      double v[4] = {};
      for (int i = 0; i < 4 && parts.size() == 4; ++i) v[i] = parts[i].trimmed().toDouble(&ok);
      if (parts.size() == 4 && ok && v[0] < v[2] && v[1] < v[3]) bounds_ = Bounds{v[0], v[1], v[2], v[3]};
    }
  }
  if (min_zoom_ > max_zoom_) std::swap(min_zoom_, max_zoom_);
}

bool MbTilesSource::covers(const TileId& tile) const {
  if (tile.zoom < min_zoom_ || tile.zoom > max_zoom_) return false;
  if (!bounds_) return true;
  const LatLon north_west = lat_lon({double(tile.x) * kTileSize, double(tile.y) * kTileSize}, tile.zoom);
  const LatLon south_east = lat_lon({double(tile.x + 1) * kTileSize, double(tile.y + 1) * kTileSize}, tile.zoom);
  return north_west.lon < bounds_->east && south_east.lon > bounds_->west && south_east.lat < bounds_->north &&
         north_west.lat > bounds_->south;
}

QByteArray MbTilesSource::read(const TileId& tile) const {
  QSqlQuery query(QSqlDatabase::database(connection_));
  query.prepare("SELECT tile_data FROM tiles WHERE zoom_level = ? AND tile_column = ? AND tile_row = ?");
  query.addBindValue(tile.zoom);
  query.addBindValue(tile.x);
  query.addBindValue(tms_row(tile.y, tile.zoom));
  if (!query.exec() || !query.next()) return {};
  return query.value(0).toByteArray();
}

void MbTilesSource::request(const std::vector<TileId>& missing, const std::vector<TileId>& /*keep*/) {
  // A lookup in the file's index takes microseconds: done here; decoding
  // takes milliseconds: done on the worker.
  for (const TileId& tile : missing) {
    if (decoding_.count(tile) != 0) continue;
    decoding_.insert(tile);
    const QByteArray bytes = open_ && covers(tile) ? read(tile) : QByteArray();
    QtConcurrent::run(&decoder_, [bytes] { return decode_tile(bytes); }).then(this, [this, tile](const QImage& image) {
      decoding_.erase(tile);
      emit loaded(tile, image);
    });
  }
}

}  // namespace viewer::map
