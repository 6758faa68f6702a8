// The map under the track: paints the tiles of a view that it holds decoded
// and grey squares for the others (the attribution goes over the track, drawn
// by draw_attribution); asks its source for the missing tiles of the view and of one ring
// around it (nothing further), and says when new tiles have come so the
// window paints again.
//
// Decoded tiles are kept up to kMemoryBytes (64 MiB: 256 tiles of 256 x 256
// pixels, about six views of the largest window with their rings), the
// least recently painted going first.
#pragma once

#include "viewer/map/tile_id.h"
#include "viewer/map/tile_source.h"
#include "viewer/map/web_mercator.h"

#include <QCache>
#include <QImage>
#include <QObject>
#include <QString>
#include <memory>
#include <unordered_set>

class QPainter;

namespace viewer::map {

inline constexpr qsizetype kMemoryBytes = 64LL * 1024 * 1024;

class MapLayer : public QObject {
  Q_OBJECT

 public:
  explicit MapLayer(std::unique_ptr<TileSource> source, QObject* parent = nullptr);

  // The tile zoom and scale for a zoom step of the viewer at a latitude,
  // within the source's zoom range.
  TileZoom tile_zoom_for(int zoom_index, double latitude) const;

  // Paints the view from its top-left corner and asks for what it lacks.
  void paint(QPainter& painter, const MapView& view);

  QString attribution() const { return source_->attribution(); }
  QString status() const { return status_; }
  TileSource& source() { return *source_; }

 signals:
  // New tiles of the view have come, or the status has changed.
  void changed();
  void status_changed(const QString& message);

 private:
  void loaded(const TileId& tile, const QImage& image);

  std::unique_ptr<TileSource> source_;
  QCache<TileId, QImage> images_{kMemoryBytes};
  // Tiles the source could not give: grey, not asked again until the source
  // is back from being offline.
  std::unordered_set<TileId, TileIdHash> absent_;
  std::unordered_set<TileId, TileIdHash> wanted_;
  QString status_;
};

// The attribution in a small box in the bottom right-hand corner of `area`.
void draw_attribution(QPainter& painter, const QRect& area, const QString& text);

}  // namespace viewer::map
