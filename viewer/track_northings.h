// The track's Web Mercator northings, one per point, kept while a map lies
// under it: a frame on a map then costs what one on the flat plan does,
// where working each out again (a tangent and an inverse hyperbolic sine)
// made a full redraw of a million points take thirty times as long. 8 bytes a
// point, only once a map is shown.
#pragma once

#include "track/track_points.h"

#include <span>
#include <vector>

namespace viewer {

class TrackNorthings {
 public:
  // mercator_northing of each point of `points`, worked out when the track
  // has another number of points than at the last call or after forget().
  std::span<const double> of(const track::TrackPoints& points);
  // The track is replaced (loaded again): the next call works them out anew.
  void forget();

 private:
  std::vector<double> northings_;
};

}  // namespace viewer
