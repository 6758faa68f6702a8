#include "track/statistics.h"

#include <algorithm>
#include <utility>

namespace track {

namespace {

constexpr double kKnotsPerMetrePerSecond = 3600 / 1852.0;

// A run of steps below the moving speed, measured until it ends.
struct Pause {
  double seconds = 0;

  void end(TrackStatistics& s) {
    if (seconds >= kShortestStopS) {
      ++s.stop_count;
      s.stopped_time_s += seconds;
    }
    seconds = 0;
  }
};

}  // namespace

TrackStatistics track_statistics(const TrackPoints& points, std::size_t first, std::size_t last) {
  TrackStatistics s;
  if (points.empty()) return s;
  if (first > last) std::swap(first, last);
  last = std::min(last, points.size() - 1);
  first = std::min(first, last);
  s.points = last - first + 1;
  s.distance_m = points.Distance_cumulee(last) - points.Distance_cumulee(first);

  int32_t min_lat = points.position(first).lat, max_lat = min_lat;
  int32_t min_lon = points.position(first).lon, max_lon = min_lon;
  double speed_sum = 0, moving_m = 0;
  std::size_t speeds = 0;
  std::optional<int64_t> previous_ms;
  std::size_t previous = first;
  Pause pause;
  for (std::size_t i = first; i <= last; ++i) {
    const PointPosition& p = points.position(i);
    min_lat = std::min(min_lat, p.lat);
    max_lat = std::max(max_lat, p.lat);
    min_lon = std::min(min_lon, p.lon);
    max_lon = std::max(max_lon, p.lon);
    const std::optional<double> recorded = points.speed_knots(i);
    if (recorded) {
      speed_sum += *recorded;
      ++speeds;
      s.max_speed_kn_recorded = std::max(s.max_speed_kn_recorded.value_or(0), *recorded);
    }
    const std::optional<int64_t> ms = points.time_ms(i);
    if (!ms) continue;
    if (!s.first_time_ms) s.first_time_ms = ms;
    s.last_time_ms = ms;
    // A step is timed between the last point with a time and this one;
    // points without a time in between fall into it.
    if (previous_ms && *ms > *previous_ms) {
      const double seconds = (*ms - *previous_ms) / 1000.0;
      const double metres = points.Distance_cumulee(i) - points.Distance_cumulee(previous);
      const double computed = metres / seconds * kKnotsPerMetrePerSecond;
      s.max_speed_kn_computed = std::max(s.max_speed_kn_computed.value_or(0), computed);
      if (recorded.value_or(computed) >= kMovingSpeedKnots) {
        pause.end(s);
        s.moving_time_s += seconds;
        moving_m += metres;
      } else {
        pause.seconds += seconds;
      }
    }
    previous_ms = ms;
    previous = i;
  }
  pause.end(s);

  if (s.first_time_ms) s.duration_s = (*s.last_time_ms - *s.first_time_ms) / 1000.0;
  if (speeds > 0) s.average_speed_kn_recorded = speed_sum / static_cast<double>(speeds);
  if (s.duration_s > 0) s.average_speed_kn_computed = s.distance_m / s.duration_s * kKnotsPerMetrePerSecond;
  if (s.moving_time_s > 0) s.moving_average_speed_kn = moving_m / s.moving_time_s * kKnotsPerMetrePerSecond;
  constexpr double kDegreesPerUnit = 1.0 / kUnitsPerDegree;
  s.min_lat = min_lat * kDegreesPerUnit;
  s.max_lat = max_lat * kDegreesPerUnit;
  s.min_lon = min_lon * kDegreesPerUnit;
  s.max_lon = max_lon * kDegreesPerUnit;
  return s;
}

}  // namespace track
