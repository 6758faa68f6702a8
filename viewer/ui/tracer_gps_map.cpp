// The viewer's map: the user's choice of a source, the map drawn under the
// track in the plan's view, and its quiet status line.
#include "viewer/plan_drawing.h"
#include "viewer/ui/map_under_track.h"
#include "viewer/ui/plan_image.h"
#include "viewer/ui/tracer_gps.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QPainter>
#include <QTimer>

using viewer::map::MapSource;

namespace {

// The menu's items, in order.
enum MapItem { kNone, kOpenStreetMap, kOtherServer, kMbTilesFile };

int item_of(const MapSource& source) {
  if (source.kind == MapSource::Kind::MbTiles) return kMbTilesFile;
  if (source.kind == MapSource::Kind::None) return kNone;
  return source.url_template == viewer::map::kOpenStreetMapTemplate ? kOpenStreetMap : kOtherServer;
}

}  // namespace

void TTrace::map_chosen(int which) {
  MapSource source = map_source_;
  // A dialog cancelled keeps the map shown.
  auto keep = [this] { Carte->actions().at(item_of(map_source_))->setChecked(true); };
  if (which == kNone) {
    source.kind = MapSource::Kind::None;
  } else if (which == kOpenStreetMap) {
    source.kind = MapSource::Kind::TileServer;
    source.url_template = viewer::map::kOpenStreetMapTemplate;
  } else if (which == kOtherServer) {
    const std::optional<QString> url = Demander_serveur();
    if (!url || url->isEmpty()) return keep();
    source.kind = MapSource::Kind::TileServer;
    source.url_template = *url;
  } else {
    const std::optional<QString> path = Ouvrir_carte();
    if (!path || path->isEmpty()) return keep();
    source.kind = MapSource::Kind::MbTiles;
    source.path = *path;
  }
  // The attribution set for one source is not another's.
  if (source.kind != map_source_.kind || source.url_template != map_source_.url_template ||
      source.path != map_source_.path)
    source.attribution.clear();
  map_chosen_ = true;
  use_map(source);
}

void TTrace::use_map(const MapSource& source) {
  map_source_ = source;
  Carte->actions().at(item_of(source))->setChecked(true);
  map_.reset();
  if (source.kind != MapSource::Kind::None) {
    map_ = std::make_unique<MapUnderTrack>(source, qint64{map_cache_mb_} * 1000 * 1000);
    connect(map_.get(), &MapUnderTrack::changed, map_redraw_, qOverload<>(&QTimer::start));
    connect(map_.get(), &MapUnderTrack::status_changed, this, [this] { show_map_status(); });
  }
  show_map_status();
  const bool on_map = map_ && map_->ready();
  if (on_map == Plan.on_map) return;
  Plan.on_map = on_map;
  if (track_shown()) Redessiner(1, false);
}

void TTrace::show_map_status() {
  const QString status = map_ ? map_->status() : QString();
  Aff_carte->setText(status);
  Aff_carte->adjustSize();
  Aff_carte->setVisible(!status.isEmpty());
}

void TTrace::redraw_view(int pas) {
  last_pas_ = pas;
  Plan.on_map = map_ && map_->ready();
  viewer::Ground ground;
  if (Plan.on_map) {
    ground.under = [this](QPainter& painter) { map_->paint(painter, Plan); };
    ground.over = [this](QPainter& painter) {
      viewer::map::draw_attribution(painter, QRect(QPoint(0, 0), Image->Bitmap().size()), map_->attribution());
    };
    ground.northings = northings_.of(Liste_points);
  }
  viewer::draw_plan(Image->Bitmap(), Plan, Liste_points, static_cast<std::size_t>(pas), speed_top_, ground);
  Image->update();
}

void TTrace::map_redraw_timeout() {
  if (!track_shown()) return;
  // The layer has just become ready: the plan changes projection.
  if (Plan.on_map != (map_ && map_->ready())) {
    Redessiner(1, false);
    return;
  }
  redraw_view(last_pas_);
}
