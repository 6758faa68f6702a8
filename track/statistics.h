// Figures of a stretch of track, for the statistics panel: distance, times,
// speeds and extent, over the points between two indices.
//
// A step between two points is "moving" when its speed is at least
// kMovingSpeedKnots (1 km/h): the recorded speed of its end point when it has
// one (the receiver's Doppler speed does not wander at a standstill as
// position noise does), otherwise its distance over its time. A stop is a run
// of steps that are not moving lasting kShortestStopS (60 s) or more; shorter
// pauses (a traffic light) count neither as stops nor as moving time.
//
// Speeds come both ways, stated apart: "recorded" from the points' own speed
// fields (the mean and the largest of them), "computed" from distances along
// the track over time (whole stretch, and each step for the largest).
#pragma once

#include "track/track_points.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace track {

inline constexpr double kKnotsPerKmh = 1 / 1.852;
inline constexpr double kMovingSpeedKnots = 1.0 * kKnotsPerKmh;
inline constexpr double kShortestStopS = 60;

struct TrackStatistics {
  double distance_m = 0;
  // The first and the last point of the stretch that have a time.
  std::optional<int64_t> first_time_ms, last_time_ms;
  double duration_s = 0;
  double moving_time_s = 0;
  int stop_count = 0;
  double stopped_time_s = 0;
  // Knots. Recorded: the mean of the points' speeds; computed: distance over
  // duration; moving: the moving steps' distance over the moving time.
  std::optional<double> average_speed_kn_recorded, average_speed_kn_computed, moving_average_speed_kn,
      max_speed_kn_recorded, max_speed_kn_computed;
  // Degrees. Longitudes as unwrapped along the track: a track across the
  // 180th meridian has a box reaching past 180.
  double min_lat = 0, max_lat = 0, min_lon = 0, max_lon = 0;
  std::size_t points = 0;
};

// From point `first` to point `last` included (in either order; clamped to
// the track); all zeros for an empty track.
TrackStatistics track_statistics(const TrackPoints& points, std::size_t first, std::size_t last);

}  // namespace track
