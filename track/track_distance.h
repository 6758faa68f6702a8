// Distances along the track: lengths on the WGS84 ellipsoid between
// consecutive points at their full precision, summed without rounding, and
// their display text in whole metres.
#pragma once

#include "track/track_position.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace track {

// The length in metres of the shortest path on the WGS84 ellipsoid between
// two points; longitudes count modulo a turn.
double Distance_points(const PointPosition& a, const PointPosition& b);

// Distance_points from each point to the next along a track, with the same
// results. Nearly every step is short: it is measured from its chord in
// space by a series that costs a few multiplications, and the sine and
// cosine of a latitude come from those of a nearby one, kept from the steps
// before, by series too.
class TrackDistance {
 public:
  // From the point given before (0 for the first) to `b`.
  double next(const PointPosition& b);
  // next() for each of `n` points, adding the steps to `total` and writing
  // the running totals to `totals`.
  void along(const PointPosition* points, std::size_t n, double& total, double* totals);

  // A point's place in space: metres from the polar axis (negative past a
  // pole) and above the equator's plane, and 1 - e² sin² of its latitude.
  struct Place {
    double r;
    double z;
    double w2;
  };
  // Latitudes sharing their bits above the lowest 16 (0.109°) share these:
  // the sine and cosine of the block's start, 1 - e² sin² there and its
  // inverse, and the radius of curvature in the prime vertical there.
  struct Block {
    int32_t index = INT32_MIN;
    double sin0 = 0, cos0 = 1, w2 = 1, inverse_w2 = 1, n = 0;
  };

 private:
  Block block_;
  bool started_ = false;
  PointPosition last_{};
  Place last_place_{};
};

// A distance as it is shown: its whole metres, truncated.
int64_t whole_metres(double metres);

// "%d m" below 1000, "%2.1f Km" below 100000, "%d Km" (whole kilometres)
// above; the decimal point is always ".".
std::string Format_distance(int64_t metres);

}  // namespace track
