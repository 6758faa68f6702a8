#include "track/track_distance.h"

#include <GeographicLib/Geodesic.hpp>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace track {

namespace {

// WGS84: semi-major axis in metres, first eccentricity squared.
constexpr double kA = 6378137.0;
constexpr double kE2 = (1 / 298.257223563) * (2 - 1 / 298.257223563);
constexpr double kRadiansPerUnit = std::numbers::pi / (180.0 * kUnitsPerDegree);
constexpr int kBlockBits = 16;

// The series below is within a hundredth of a millimetre of the geodesic up
// to this chord, in metres; longer steps (a record a day, a jump) are left to
// GeographicLib, which is exact everywhere but costs a microsecond a step.
constexpr double kLongestChord = 100e3;

using Place = TrackDistance::Place;

// sin(x / 2) of a longitude difference x in units. Steps along a track turn
// by little; there the series is exact to the last bit and cheaper.
double half_sine(int64_t dlon) {
  const double x = static_cast<double>(dlon) * (kRadiansPerUnit / 2);
  if (std::abs(x) > 0.01) return std::sin(x);
  const double x2 = x * x;
  return x * (1 - x2 / 6 * (1 - x2 / 20));
}

// The geodesic from its chord: a geodesic bends with the surface, so on the
// scale of a step it is an arc of a circle whose radius is the surface's,
// taken here as the Gaussian mean radius sqrt(M N) = a sqrt(1 - e²) / w².
// The chord comes from differences (the axis distances' difference and the
// sine of half the longitude difference), so nothing large is subtracted
// from anything large. A negative result: the chord is too long for it.
double by_series(const Place& p, const Place& q, int64_t dlon) {
  const double h = half_sine(dlon);
  const double dr = q.r - p.r;
  const double dz = q.z - p.z;
  const double chord2 = dr * dr + dz * dz + 4 * p.r * q.r * h * h;
  if (chord2 > kLongestChord * kLongestChord) return -1;
  const double curvature2 = p.w2 * q.w2 / (kA * kA * (1 - kE2));
  return std::sqrt(chord2) * (1 + chord2 * curvature2 / 24);
}

// Degrees of a latitude the journal may hold up to 90° 59.9999': a point
// past a pole is the one on the meridian beyond it.
void on_the_globe(const PointPosition& p, double& lat, double& lon) {
  lat = p.lat / double{kUnitsPerDegree};
  lon = p.lon / double{kUnitsPerDegree};
  if (std::abs(lat) > 90) {
    lat = std::copysign(180, lat) - lat;
    lon += 180;
  }
}

double by_geodesic(const PointPosition& a, const PointPosition& b) {
  double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0, s12 = 0;
  on_the_globe(a, lat1, lon1);
  on_the_globe(b, lat2, lon2);
  GeographicLib::Geodesic::WGS84().Inverse(lat1, lon1, lat2, lon2, s12);
  return s12;
}

}  // namespace

Place TrackDistance::place_of(int32_t lat) {
  const int32_t block = lat >> kBlockBits;  // rounds down, negative latitudes included
  const int32_t start = block * (1 << kBlockBits);
  if (block != block_) {
    block_ = block;
    ::sincos(start * kRadiansPerUnit, &sin0_, &cos0_);
    w2_0_ = 1 - kE2 * sin0_ * sin0_;
    inverse_w2_0_ = 1 / w2_0_;
    n0_ = kA / std::sqrt(w2_0_);
  }
  // The angle past the block's start is under 0.0019 rad: these series end
  // where their next terms fall below the last bit of a double.
  const double d = (lat - start) * kRadiansPerUnit;
  const double d2 = d * d;
  const double sin_d = d * (1 - d2 / 6 * (1 - d2 / 20));
  const double cos_d = 1 - d2 / 2 * (1 - d2 / 12);
  const double sin_lat = sin0_ * cos_d + cos0_ * sin_d;
  const double cos_lat = cos0_ * cos_d - sin0_ * sin_d;
  const double w2 = 1 - kE2 * sin_lat * sin_lat;
  // a / sqrt(w2) from the block's by the binomial series in
  // t = w2 / w2_0 - 1, |t| < 2e-5.
  const double t = (w2 - w2_0_) * inverse_w2_0_;
  const double n = n0_ * (1 + t * (-0.5 + t * (0.375 - t * 0.3125)));
  return {n * cos_lat, n * (1 - kE2) * sin_lat, w2};
}

double TrackDistance::next(const PointPosition& b) {
  // Along a track the latitude often stays put for a step or more.
  const Place place = started_ && b.lat == last_.lat ? last_place_ : place_of(b.lat);
  double step = 0;
  if (started_) {
    step = by_series(last_place_, place, int64_t{b.lon} - last_.lon);
    if (step < 0) step = by_geodesic(last_, b);
  }
  started_ = true;
  last_ = b;
  last_place_ = place;
  return step;
}

void TrackDistance::along(const PointPosition* points, std::size_t n, double& total, double* totals) {
  for (std::size_t i = 0; i < n; ++i) {
    total += next(points[i]);
    totals[i] = total;
  }
}

double Distance_points(const PointPosition& a, const PointPosition& b) {
  TrackDistance steps;
  steps.next(a);
  return steps.next(b);
}

int64_t whole_metres(double metres) {
  // Saturating, so that no value makes the conversion undefined.
  constexpr double kLongest = 1e15;
  if (std::isnan(metres)) return 0;
  return static_cast<int64_t>(std::clamp(metres, -kLongest, kLongest));
}

std::string Format_distance(int64_t metres) {
  if (metres < 1000) return std::to_string(metres) + " m";
  if (metres >= 100000) return std::to_string(metres / 1000) + " Km";
  // to_chars ignores the locale, which the program's Qt start-up sets from
  // the environment and which would turn the point into a comma in printf.
  char text[32];
  const auto result =
      std::to_chars(text, text + sizeof text, static_cast<double>(metres) * 0.001, std::chars_format::fixed, 1);
  return std::string(text, result.ptr) + " Km";
}

}  // namespace track
