#include "viewer/speed_profile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace viewer {

namespace {
constexpr double kKmhPerKnot = 1.852;
}  // namespace

std::optional<double> profile_position(const track::TrackPoints& points, std::size_t i, ProfileAxis axis) {
  if (axis == ProfileAxis::Distance) return points.Distance_cumulee(i);
  const std::optional<int64_t> ms = points.time_ms(i);
  if (!ms) return std::nullopt;
  return static_cast<double>(*ms);
}

std::vector<ProfileColumn> speed_profile(const track::TrackPoints& points, ProfileAxis axis, int columns) {
  double first = std::numeric_limits<double>::infinity(), last = -first;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (const std::optional<double> x = profile_position(points, i, axis); x && points.speed_knots(i)) {
      first = std::min(first, *x);
      last = std::max(last, *x);
    }
  }
  if (columns <= 0 || first > last) return {};
  const double width = std::max(last - first, 1.0);
  std::vector<ProfileColumn> out(static_cast<std::size_t>(columns),
                                 {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity()});
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::optional<double> x = profile_position(points, i, axis);
    const std::optional<double> knots = points.speed_knots(i);
    if (!x || !knots) continue;
    const auto c = std::min<std::size_t>(static_cast<std::size_t>((*x - first) / width * columns), out.size() - 1);
    ProfileColumn& column = out[c];
    if (std::isnan(column.x)) column.x = *x;
    column.low = std::min(column.low, *knots * kKmhPerKnot);
    column.high = std::max(column.high, *knots * kKmhPerKnot);
  }
  std::erase_if(out, [](const ProfileColumn& c) { return std::isnan(c.x); });
  return out;
}

std::optional<std::size_t> record_at(const track::TrackPoints& points, ProfileAxis axis, double x) {
  std::optional<std::size_t> nearest;
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::optional<double> at = profile_position(points, i, axis);
    if (at && std::abs(*at - x) < best) {
      best = std::abs(*at - x);
      nearest = i;
    }
  }
  return nearest;
}

}  // namespace viewer
