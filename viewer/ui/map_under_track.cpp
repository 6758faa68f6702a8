#include "viewer/ui/map_under_track.h"

#include "viewer/map/mbtiles_source.h"
#include "viewer/map/online_tile_source.h"
#include "viewer/map/tile_disk_cache.h"

#include <QPainter>

using viewer::map::MapSource;

MapUnderTrack::MapUnderTrack(const MapSource& source, qint64 cache_bytes, QObject* parent) : QObject(parent) {
  if (source.kind == MapSource::Kind::MbTiles) {
    auto file = std::make_unique<viewer::map::MbTilesSource>(source);
    if (!file->is_open()) {
      status_ = "Carte indisponible (" + file->error() + ")";
      return;
    }
    take(std::move(file));
    return;
  }
  // The cache's index is read off the GUI thread; the layer comes after.
  viewer::map::TileDiskCache::open(viewer::map::TileDiskCache::default_root(), cache_bytes)
      .then(this, [this, source](const std::shared_ptr<viewer::map::TileDiskCache>& cache) {
        cache_ = cache;
        take(std::make_unique<viewer::map::OnlineTileSource>(source, *cache_));
        emit changed();
      });
}

// The layer and its source go before the cache they use.
MapUnderTrack::~MapUnderTrack() { layer_.reset(); }

void MapUnderTrack::take(std::unique_ptr<viewer::map::TileSource> source) {
  layer_ = std::make_unique<viewer::map::MapLayer>(std::move(source));
  connect(layer_.get(), &viewer::map::MapLayer::changed, this, &MapUnderTrack::changed);
  connect(layer_.get(), &viewer::map::MapLayer::status_changed, this, &MapUnderTrack::set_status);
}

void MapUnderTrack::set_status(const QString& message) {
  status_ = message;
  emit status_changed(message);
}

void MapUnderTrack::paint(QPainter& painter, const viewer::PlanScale& plan) {
  if (!layer_) return;
  const viewer::map::TileSource& source = layer_->source();
  const viewer::map::LatLon centre{static_cast<double>(plan.Centre_lat) / track::kUnitsPerDegree,
                                   static_cast<double>(plan.Centre_lon) / track::kUnitsPerDegree};
  // An even view one pixel wider on each side puts its centre on the plan's
  // centre pixel (the plan's pixel x covers x to x + 1 from its centre at
  // half_width()), and covers the odd plan wholly.
  const viewer::map::MapView view{
      centre, viewer::map::tile_zoom_for_resolution(plan.mercator, source.min_zoom(), source.max_zoom()),
      2 * plan.half_width() + 2, 2 * plan.half_height() + 2};
  painter.save();
  painter.translate(-1, -1);
  layer_->paint(painter, view);
  painter.restore();
}
