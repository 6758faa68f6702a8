// The map the user chose, under the viewer's plan: made from the source only
// when there is one (no source, no network and no disk cache at all), it
// paints the tiles of the plan's view and says when more have come.
#pragma once

#include "viewer/map/map_layer.h"
#include "viewer/map/map_source.h"
#include "viewer/plan_geometry.h"

#include <QObject>
#include <QString>
#include <memory>

namespace viewer::map {
class TileDiskCache;
}

class MapUnderTrack : public QObject {
  Q_OBJECT

 public:
  // A tile server's layer comes once its disk cache (of `cache_bytes` at
  // most) is read in the background; an MBTiles file's at once, or never when
  // it cannot be read (status() says why).
  MapUnderTrack(const viewer::map::MapSource& source, qint64 cache_bytes, QObject* parent = nullptr);
  ~MapUnderTrack() override;

  bool ready() const { return layer_ != nullptr; }
  QString status() const { return status_; }
  QString attribution() const { return layer_ ? layer_->attribution() : QString(); }
  // The tiles under the plan's view, its centre on the plan's centre pixel.
  void paint(QPainter& painter, const viewer::PlanScale& plan);

 signals:
  // The layer is ready, or new tiles of the view have come.
  void changed();
  void status_changed(const QString& message);

 private:
  void take(std::unique_ptr<viewer::map::TileSource> source);
  void set_status(const QString& message);

  std::shared_ptr<viewer::map::TileDiskCache> cache_;
  std::unique_ptr<viewer::map::MapLayer> layer_;
  QString status_;
};
