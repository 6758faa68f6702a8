// Where a track point lies: its latitude and longitude as whole arc-seconds.
#pragma once

#include <cstdint>

namespace track {

// Degrees, minutes and ten-thousandths of a minute as whole arc-seconds,
// truncating: a fraction of 9999 adds 59 seconds. Hemisphere letters never
// change the sign; degrees are negative only for grid lines.
constexpr int32_t Secondes_arc(int32_t degres, int32_t minutes, int32_t fraction) {
  return degres * 3600 + minutes * 60 + (fraction * 6) / 1000;
}

struct PointPosition {
  int32_t lat_seconds;
  int32_t lon_seconds;

  // The latitude's degrees and minutes as read: the fraction adds less than
  // a minute, so they come back whole from the seconds.
  int32_t lat_degres() const { return lat_seconds / 3600; }
  int32_t lat_minutes() const { return lat_seconds / 60 % 60; }
};

}  // namespace track
