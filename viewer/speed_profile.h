// The speed profile under the plan: the recorded speeds against clock time
// or against the distance along the track, reduced to the lowest and the
// highest speed of each pixel column, so that a track of ten million points
// draws as many strokes as the graph is wide, yet keeps every peak.
#pragma once

#include "track/track_points.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace viewer {

enum class ProfileAxis { Time, Distance };

// Where point i lies on the axis: UTC milliseconds or metres; nothing for a
// point without a time on the time axis.
std::optional<double> profile_position(const track::TrackPoints& points, std::size_t i, ProfileAxis axis);

struct ProfileColumn {
  double x;     // the axis value of the column's first point
  double low;   // km/h
  double high;  // km/h
};
// At most `columns` columns, in axis order, over the points with a speed and
// a place on the axis; empty without any.
std::vector<ProfileColumn> speed_profile(const track::TrackPoints& points, ProfileAxis axis, int columns);

// The record whose place on the axis is nearest to `x`.
std::optional<std::size_t> record_at(const track::TrackPoints& points, ProfileAxis axis, double x);

}  // namespace viewer
