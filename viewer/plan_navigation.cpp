#include "viewer/plan_navigation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace viewer {

namespace {

double lat_pixels_per_unit(const PlanScale& scale) { return double{scale.Echelle_lat} * track::kSecondsPerUnit; }

// The scale for zoom item `zoom_index` at the latitude `lat`.
void set_scale(PlanScale& scale, int zoom_index, int64_t lat) {
  const int64_t magnitude = std::min<int64_t>(std::llabs(lat), int64_t{90} * track::kUnitsPerDegree);
  Calcul_echelle(scale, zoom_index, static_cast<int32_t>(magnitude / track::kUnitsPerDegree),
                 static_cast<int32_t>(magnitude / 10000 % 60));
}

}  // namespace

PlanPosition position_at(const PlanScale& scale, double x, double y) {
  const int64_t lon = scale.Centre_lon + std::llround((x - scale.half_width()) / lon_pixels_per_unit(scale));
  if (scale.on_map) {
    const double northing = mercator_northing(scale.Centre_lat) + (scale.half_height() - y) / scale.mercator;
    return {std::llround(mercator_latitude_units(northing)), lon};
  }
  return {scale.Centre_lat + std::llround((scale.half_height() - y) / lat_pixels_per_unit(scale)), lon};
}

void put_under(PlanScale& scale, const PlanPosition& p, double x, double y) {
  if (scale.on_map) {
    const double northing = mercator_northing(p.lat) - (scale.half_height() - y) / scale.mercator;
    scale.Centre_lat = std::llround(mercator_latitude_units(northing));
  } else {
    scale.Centre_lat = p.lat - std::llround((scale.half_height() - y) / lat_pixels_per_unit(scale));
  }
  scale.Centre_lon = p.lon - std::llround((x - scale.half_width()) / lon_pixels_per_unit(scale));
}

void zoom_at(PlanScale& scale, int zoom_index, int x, int y) {
  // The pixel's middle, so that truncation brings the position back to it.
  const PlanPosition p = position_at(scale, x + 0.5, y + 0.5);
  // Twice: the longitude scale depends on the centre's latitude, which the
  // first pass moves.
  for (int pass = 0; pass < 2; ++pass) {
    set_scale(scale, zoom_index, scale.Centre_lat);
    put_under(scale, p, x + 0.5, y + 0.5);
  }
}

std::optional<TrackView> whole_track_view(const track::TrackPoints& points, int width, int height, int margin,
                                          bool on_map) {
  if (points.empty()) return std::nullopt;
  int64_t lat_low = std::numeric_limits<int64_t>::max(), lat_high = std::numeric_limits<int64_t>::min();
  int64_t lon_low = lat_low, lon_high = lat_high;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const track::PointPosition& p = points.position(i);
    lat_low = std::min<int64_t>(lat_low, p.lat);
    lat_high = std::max<int64_t>(lat_high, p.lat);
    lon_low = std::min<int64_t>(lon_low, p.lon);
    lon_high = std::max<int64_t>(lon_high, p.lon);
  }
  PlanPosition centre{lat_low + (lat_high - lat_low) / 2, lon_low + (lon_high - lon_low) / 2};
  PlanScale scale;
  scale.on_map = on_map;
  // On a map the track's northern half is drawn taller than its southern
  // one: its middle and its height are those of its northings.
  const double north_low = on_map ? mercator_northing(lat_low) : 0,
               north_high = on_map ? mercator_northing(lat_high) : 0;
  if (on_map) centre.lat = std::llround(mercator_latitude_units((north_low + north_high) / 2));
  for (int zoom = kZoomCount - 1; zoom > 0; --zoom) {
    set_scale(scale, zoom, centre.lat);
    const double tall = on_map ? (north_high - north_low) * scale.mercator
                               : static_cast<double>(lat_high - lat_low) * lat_pixels_per_unit(scale);
    if (static_cast<double>(lon_high - lon_low) * lon_pixels_per_unit(scale) <= width - 2 * margin &&
        tall <= height - 2 * margin) {
      return TrackView{zoom, centre};
    }
  }
  return TrackView{0, centre};
}

std::optional<std::size_t> record_near(const PlanScale& scale, const track::TrackPoints& points, int x, int y,
                                       double reach, std::span<const double> northings) {
  const PlanAxes axes(scale);
  // Northings not of this many points are never read (past their end): each
  // is then worked out.
  if (!scale.on_map || northings.size() != points.size()) northings = {};
  const double px = x, py = y;
  double best = reach * reach;
  std::optional<std::size_t> nearest;
  auto distance2 = [&](double ax, double ay) { return (ax - px) * (ax - px) + (ay - py) * (ay - py); };
  double x0 = 0, y0 = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double x1 = axes.x(points.position(i).lon);
    const double y1 = northings.empty() ? axes.y(points.position(i).lat) : axes.y_at_northing(northings[i]);
    if (i == 0) {  // the first record alone: a segment of no length
      x0 = x1;
      y0 = y1;
    }
    const double dx = x1 - x0, dy = y1 - y0, length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / length2, 0.0, 1.0) : 1.0;
    const double d = distance2(x0 + t * dx, y0 + t * dy);
    if (d <= best) {
      best = d;
      nearest = i > 0 && distance2(x0, y0) < distance2(x1, y1) ? i - 1 : i;
    }
    x0 = x1;
    y0 = y1;
  }
  return nearest;
}

}  // namespace viewer
