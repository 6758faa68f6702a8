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
// The series' coefficients as factors: a division would hold up every step.
constexpr double kSixth = 1.0 / 6, kTwelfth = 1.0 / 12, kTwentieth = 1.0 / 20;

// The series below is within a hundredth of a millimetre of the geodesic up
// to 10 km and 7 mm at this chord, in metres; longer steps (a record a day, a
// jump) are left to GeographicLib, exact everywhere but a microsecond a step.
constexpr double kLongestChord = 100e3;

using Place = TrackDistance::Place;

// sin(x / 2) of a longitude difference x in units. Steps along a track turn
// by little; there the series is exact to the last bit and cheaper.
double half_sine(int64_t dlon) {
  const double x = static_cast<double>(dlon) * (kRadiansPerUnit / 2);
  if (std::abs(x) > 0.01) return std::sin(x);
  const double x2 = x * x;
  return x * (1 - x2 * kSixth * (1 - x2 * kTwentieth));
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
  constexpr double kCurvature2By24 = 1 / (24 * kA * kA * (1 - kE2));  // over w⁴
  return std::sqrt(chord2) * (1 + chord2 * p.w2 * q.w2 * kCurvature2By24);
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

// The place of a latitude, from the values kept for its block (worked out
// again when the block changes).
inline Place place_of(int32_t lat, TrackDistance::Block& block) {
  const int32_t index = lat >> kBlockBits;  // rounds down, negative latitudes included
  const int32_t start = index * (1 << kBlockBits);
  if (index != block.index) {
    block.index = index;
    ::sincos(start * kRadiansPerUnit, &block.sin0, &block.cos0);
    block.w2 = 1 - kE2 * block.sin0 * block.sin0;
    block.inverse_w2 = 1 / block.w2;
    block.n = kA / std::sqrt(block.w2);
  }
  // The angle past the block's start is under 0.0019 rad: these series end
  // where their next terms fall below the last bit of a double.
  const double d = (lat - start) * kRadiansPerUnit;
  const double d2 = d * d;
  const double sin_d = d * (1 - d2 * kSixth * (1 - d2 * kTwentieth));
  const double cos_d = 1 - d2 * 0.5 * (1 - d2 * kTwelfth);
  const double sin_lat = block.sin0 * cos_d + block.cos0 * sin_d;
  const double cos_lat = block.cos0 * cos_d - block.sin0 * sin_d;
  const double w2 = 1 - kE2 * sin_lat * sin_lat;
  // a / sqrt(w2) from the block's by the binomial series in
  // t = w2 / w2_0 - 1, |t| < 2e-5.
  const double t = (w2 - block.w2) * block.inverse_w2;
  const double n = block.n * (1 + t * (-0.5 + t * (0.375 - t * 0.3125)));
  return {n * cos_lat, n * (1 - kE2) * sin_lat, w2};
}

}  // namespace

double TrackDistance::next(const PointPosition& b) {
  double step = 0, running_total = 0;
  along(&b, 1, step, &running_total);
  return step;
}

void TrackDistance::along(const PointPosition* points, std::size_t n, double& total, double* totals) {
  if (n == 0) return;
  std::size_t i = 0;
  if (!started_) {
    started_ = true;
    last_ = points[0];
    last_place_ = place_of(last_.lat, block_);
    totals[i++] = total;
  }
  // In locals, which the writes to `totals` cannot touch: the compiler keeps
  // them in registers and the steps overlap.
  Block block = block_;
  PointPosition last = last_;
  Place last_place = last_place_;
  double sum = total;
  for (; i < n; ++i) {
    const PointPosition b = points[i];
    const Place place = place_of(b.lat, block);
    double step = by_series(last_place, place, int64_t{b.lon} - last.lon);
    if (step < 0) step = by_geodesic(last, b);
    sum += step;
    totals[i] = sum;
    last = b;
    last_place = place;
  }
  block_ = block;
  last_ = last;
  last_place_ = last_place;
  total = sum;
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
