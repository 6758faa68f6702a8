// Where the map layer gets its tiles from: a tile server through the disk
// cache, or an MBTiles file. Tiles arrive decoded, later, by the loaded
// signal; a source never blocks the thread that asks.
#pragma once

#include "viewer/map/tile_id.h"
#include "viewer/map/web_mercator.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <vector>

namespace viewer::map {

class TileSource : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  virtual QString attribution() const = 0;
  virtual int min_zoom() const { return 0; }
  virtual int max_zoom() const { return kDeepestZoom; }

  // Loads `missing` (most wanted first) unless already under way, and drops
  // the work under way for tiles outside `keep` (the view and its ring).
  virtual void request(const std::vector<TileId>& missing, const std::vector<TileId>& keep) = 0;

 signals:
  // A null image: the source has no such tile, or could not get it now.
  void loaded(viewer::map::TileId tile, const QImage& image);
  // One line for the status area, empty when all is well again.
  void status_changed(const QString& message);
};

}  // namespace viewer::map
