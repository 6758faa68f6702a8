// Where a track point lies: its signed latitude and longitude at the
// journal's own precision, ten-thousandths of a minute of arc (about 0.2 m).
#pragma once

#include <cstdint>
#include <cstdlib>

namespace track {

// Ten-thousandths of a minute in a degree and in a whole turn; arc-seconds
// in one of them.
inline constexpr int32_t kUnitsPerDegree = 600000;
inline constexpr int64_t kUnitsPerTurn = int64_t{360} * kUnitsPerDegree;
inline constexpr double kSecondsPerUnit = 0.006;

// Degrees, minutes and ten-thousandths of a minute as one angle, negative in
// the southern or western hemisphere.
constexpr int32_t angle_units(int32_t degres, int32_t minutes, int32_t fraction, bool negative) {
  const int32_t magnitude = degres * kUnitsPerDegree + minutes * 10000 + fraction;
  return negative ? -magnitude : magnitude;
}

struct PointPosition {
  int32_t lat;  // north positive
  int32_t lon;  // east positive; along a track, unwrapped (see TrackPoints)

  // The latitude's whole degrees and minutes without their sign: the plan's
  // scale depends on the distance from the equator only.
  int32_t lat_degres() const { return std::abs(lat) / kUnitsPerDegree; }
  int32_t lat_minutes() const { return std::abs(lat) / 10000 % 60; }
};

}  // namespace track
