#include "viewer/track_northings.h"

#include "viewer/plan_geometry.h"

namespace viewer {

std::span<const double> TrackNorthings::of(const track::TrackPoints& points) {
  if (known_ && northings_.size() == points.size()) return northings_;
  northings_.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) northings_[i] = mercator_northing(points.position(i).lat);
  known_ = true;
  return northings_;
}

void TrackNorthings::forget() {
  northings_ = {};
  known_ = false;
}

}  // namespace viewer
