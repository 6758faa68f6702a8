#include "track/track_distance.h"

#include <charconv>
#include <cmath>

namespace track {

float metres_per_second_of_longitude(double latitude) {
  return static_cast<float>(std::cos(latitude * 0.017453292519943295) * 30.89617322530864);
}

namespace {

// The pair's mean latitude is (degrees sum) div 2 + (minutes sum) / 120.
int32_t degrees_sum(const PointPosition& a, const PointPosition& b) { return a.lat_degres() + b.lat_degres(); }
int32_t minutes_sum(const PointPosition& a, const PointPosition& b) { return a.lat_minutes() + b.lat_minutes(); }

float mean_longitude_scale(int32_t degrees_sum, int32_t minutes_sum) {
  return metres_per_second_of_longitude(degrees_sum / 2 + minutes_sum * (1.0 / 120));
}

int64_t distance_on_plan(const PointPosition& a, const PointPosition& b, double e) {
  // Products of a whole number of seconds and a single-precision factor are
  // exact in double precision, so truncating them never rounds a product
  // across a whole metre.
  const auto ya = static_cast<int64_t>(a.lat_seconds * double{kMetresParSeconde});
  const auto yb = static_cast<int64_t>(b.lat_seconds * double{kMetresParSeconde});
  const auto xa = static_cast<int64_t>(a.lon_seconds * e);
  const auto xb = static_cast<int64_t>(b.lon_seconds * e);
  const double dx = static_cast<double>(xb - xa);
  const double dy = static_cast<double>(yb - ya);
  return static_cast<int64_t>(std::sqrt(dx * dx + dy * dy));
}

}  // namespace

int64_t Distance_points(const PointPosition& a, const PointPosition& b) {
  return distance_on_plan(a, b, mean_longitude_scale(degrees_sum(a, b), minutes_sum(a, b)));
}

int64_t TrackDistance::next(const PointPosition& a, const PointPosition& b) {
  const int32_t degrees = degrees_sum(a, b);
  const int32_t minutes = minutes_sum(a, b);
  // Minutes sum to at most 118, so the pair fits a key without clashes.
  const int32_t key = degrees * 128 + minutes;
  if (key != latitude_key_) {
    latitude_key_ = key;
    metres_per_second_ = mean_longitude_scale(degrees, minutes);
  }
  return distance_on_plan(a, b, metres_per_second_);
}

std::string Format_distance(int64_t metres) {
  if (metres < 1000) return std::to_string(metres) + " m";
  if (metres >= 100000) return std::to_string(metres / 1000) + " Km";
  // to_chars ignores the locale, which the program's Qt start-up sets from
  // the environment and which would turn the point into a comma in printf.
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, metres * 0.001, std::chars_format::fixed, 1);
  return std::string(text, result.ptr) + " Km";
}

}  // namespace track
