#include "viewer/track_northings.h"

#include "viewer/plan_geometry.h"

namespace viewer {

std::span<const double> TrackNorthings::of(const track::TrackPoints& points) {
  if (northings_.size() == points.size()) return northings_;
  northings_.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) northings_[i] = mercator_northing(points.position(i).lat);
  return northings_;
}

void TrackNorthings::forget() { northings_ = {}; }

}  // namespace viewer
