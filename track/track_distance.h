// Distances along the track, in whole metres, and their display text.
#pragma once

#include "track/track_position.h"

#include <cstdint>
#include <string>

namespace track {

// Metres per arc-second of latitude, in the single precision every plan and
// distance computation uses.
inline constexpr float kMetresParSeconde = 30.896173f;

// Metres per arc-second of longitude at `latitude` degrees, rounded to single
// precision.
float metres_per_second_of_longitude(double latitude);

// Straight distance between two points on the flat plan of their mean
// latitude (whole degrees halved, minutes averaged, fractions ignored), each
// coordinate first truncated to whole metres on its own.
int64_t Distance_points(const PointPosition& a, const PointPosition& b);

// Distance_points from each point to the next along a track. Neighbours
// nearly always share their mean latitude's degrees and minutes, so the
// cosine of the step before is reused rather than computed again.
class TrackDistance {
 public:
  int64_t next(const PointPosition& a, const PointPosition& b);

 private:
  int32_t latitude_key_ = -1;  // degrees sum and minutes sum of the last pair
  double metres_per_second_ = 0;
};

// "%d m" below 1000, "%2.1f Km" below 100000, "%d Km" (whole kilometres)
// above; the decimal point is always ".".
std::string Format_distance(int64_t metres);

}  // namespace track
