// Moving about the plan with the mouse and the keys: the position under a
// pixel, a zoom that keeps that position under the pointer, the view that
// shows a whole track, and the record a click picks.
#pragma once

#include "track/track_points.h"
#include "viewer/plan_geometry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace viewer {

// A position of the plan, in ten-thousandths of a minute, the longitude
// unwrapped as the track's are.
struct PlanPosition {
  int64_t lat;
  int64_t lon;
};
// The position under pixel (x, y), y counted from the top of the drawing.
PlanPosition position_at(const PlanScale& scale, double x, double y);

// Moves the plan's centre so that `p` falls on pixel (x, y).
void put_under(PlanScale& scale, const PlanPosition& p, double x, double y);

// Zoom item `zoom_index` with the position under (x, y) kept there: the
// longitude scale follows the new centre's latitude, as a redraw sets it.
void zoom_at(PlanScale& scale, int zoom_index, int x, int y);

// The largest zoom step at which the whole of `points` fits in the drawing
// with `margin` pixels to spare on each side, centred on it; the smallest
// step when none does. Nothing without points. `on_map`: on the Web Mercator
// plan, whose degrees of latitude grow towards the poles.
struct TrackView {
  int zoom_index;
  PlanPosition centre;
};
std::optional<TrackView> whole_track_view(const track::TrackPoints& points, int width, int height, int margin,
                                          bool on_map = false);

// The record nearest to pixel (x, y) among the ends of the track segment
// passing closest to it, when that segment comes within `reach` pixels. On a
// map, `northings` (TrackNorthings) spares working out each point's.
std::optional<std::size_t> record_near(const PlanScale& scale, const track::TrackPoints& points, int x, int y,
                                       double reach, std::span<const double> northings = {});

}  // namespace viewer
