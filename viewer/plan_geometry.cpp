#include "viewer/plan_geometry.h"

#include "track/track_distance.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace viewer {

const std::array<const char*, kZoomCount> kZoomItems = {"1 %",   "2,5 %", "5 %",   "10 %",  "20 %",  "40 %",  "60 %",
                                                        "80 %",  "100 %", "120 %", "140 %", "160 %", "180 %", "200 %",
                                                        "250 %", "300 %", "350 %", "400 %", "500 %", "1000 %"};
const std::array<double, kZoomCount> kZoomFactors = {0.0001, 0.00025, 0.0005, 0.001, 0.002, 0.004, 0.006,
                                                     0.008,  0.01,    0.012,  0.014, 0.016, 0.018, 0.02,
                                                     0.025,  0.03,    0.035,  0.04,  0.05,  0.1};

namespace {

constexpr int kEdge = 20;  // pixels near a side where a click pans

// Metres per arc-second of latitude, and of longitude at `latitude` degrees,
// in single precision.
constexpr float kMetresParSeconde = 30.896173f;
float metres_per_second_of_longitude(double latitude) {
  return static_cast<float>(std::cos(latitude * 0.017453292519943295) * 30.89617322530864);
}

// Degrees, minutes and thousandths of a minute of a signed angle in
// ten-thousandths of a minute, each part carrying the sign.
void split_units(int64_t units, int32_t& degres, int32_t& minutes, int32_t& milliemes) {
  const int64_t thousandths = units / 10;
  degres = static_cast<int32_t>(thousandths / 60000);
  minutes = static_cast<int32_t>(thousandths / 1000 % 60);
  milliemes = static_cast<int32_t>(thousandths % 1000);
}

// Arc-seconds on the plan as whole units, saturating far beyond any view (a
// pixel spans at most about 10^8 units, near a pole at "1 %").
int64_t plan_units(double seconds) {
  constexpr double kFarthest = 1e14;
  const double units = seconds * 10000 / 60;  // exact for whole seconds
  if (std::isnan(units)) return 0;
  return static_cast<int64_t>(std::clamp(units, -kFarthest, kFarthest));
}

constexpr double kRadiansPerUnit = std::numbers::pi / 180 / track::kUnitsPerDegree;
// The tiles' sphere: the equator's radius, in metres.
constexpr double kMercatorRadius = 6378137.0;
// The square world's edge, where the tiles end.
constexpr double kMercatorEdge = std::numbers::pi;

}  // namespace

double lon_pixels_per_unit(const PlanScale& scale) {
  if (scale.on_map) return scale.mercator * kRadiansPerUnit;
  return double{scale.Facteur_zoom} * scale.Echelle_lon * track::kSecondsPerUnit;
}

double mercator_northing(int64_t lat) {
  // Clamped before the tangent, which past a pole would come round again:
  // the plan's tests for what is in view need a northing that never falls.
  constexpr double kEdgeLatitude = 85.05112877980659 * track::kUnitsPerDegree;
  const double clamped = std::clamp(static_cast<double>(lat), -kEdgeLatitude, kEdgeLatitude);
  return std::clamp(std::asinh(std::tan(clamped * kRadiansPerUnit)), -kMercatorEdge, kMercatorEdge);
}

double mercator_latitude_units(double northing) {
  return std::atan(std::sinh(std::clamp(northing, -kMercatorEdge, kMercatorEdge))) / kRadiansPerUnit;
}

void Calcul_echelle(PlanScale& scale, int zoom_index, int32_t degres, int32_t minutes) {
  if (static_cast<uint32_t>(degres) > 90 || static_cast<uint32_t>(minutes) > 59) {
    throw std::out_of_range("[Calcul_echelle] Donnee GP hors limites pour le calcul d'échelle");
  }
  scale.Metres_par_seconde = kMetresParSeconde;
  if (zoom_index >= 0 && zoom_index < kZoomCount) {
    const double factor = kZoomFactors[zoom_index];
    scale.Facteur_zoom = static_cast<float>(factor);
    scale.Echelle_lat = static_cast<float>(scale.Metres_par_seconde * factor);
  }
  const double latitude = minutes == 0 ? degres : degres + minutes * (1.0 / 60);
  scale.Echelle_lon = metres_per_second_of_longitude(latitude);
  // The ground resolution of the zoom step at the reference latitude.
  scale.mercator = kMercatorRadius * std::cos(latitude * std::numbers::pi / 180) * double{scale.Facteur_zoom};
}

std::array<std::string, 5> scale_bar_labels(float facteur_zoom) {
  constexpr double kBoxWidth = 36;
  const auto base = static_cast<float>(std::trunc(1.0 / facteur_zoom * kBoxWidth));
  std::array<std::string, 5> labels;
  for (int k = 1; k <= 5; ++k)
    labels[k - 1] = track::Format_distance(static_cast<int64_t>(std::trunc(double{base} * k)));
  return labels;
}

PixelPosition Vers_pixel(const PlanScale& scale, int64_t lat, int64_t lon) {
  const PlanAxes axes(scale);
  const int32_t x = axes.x(lon);
  const int32_t y = axes.y(lat);
  return {x, y, x >= 0 && x < scale.width && y >= 0 && y < scale.height};
}

namespace {

// The least (or, with `last`, the greatest) position for which `holds` is
// true, `holds` being monotonic over the whole int32 range; one
// beyond the range when it holds nowhere.
template <typename Holds>
int64_t bound(bool last, const Holds& holds) {
  int64_t low = std::numeric_limits<int32_t>::min();
  int64_t high = std::numeric_limits<int32_t>::max();
  if (!holds(static_cast<int32_t>(last ? low : high))) return last ? low - 1 : high + 1;
  while (low < high) {
    const int64_t middle = last ? low + (high - low + 1) / 2 : low + (high - low) / 2;
    if (holds(static_cast<int32_t>(middle)) == last)
      low = last ? middle : middle + 1;
    else
      high = last ? middle - 1 : middle;
  }
  return low;
}

}  // namespace

PlanProjection::PlanProjection(const PlanScale& scale) : PlanAxes(scale) {
  const int32_t width = scale.width, height = scale.height;
  // x grows with the longitude and y falls with the latitude (a positive
  // scale; a zero one puts every point on the centre line), so each side of
  // the drawing is one boundary value.
  lon_low_ = bound(false, [this](int32_t lon) { return x(lon) >= 0; });
  lon_high_ = bound(true, [this, width](int32_t lon) { return x(lon) < width; });
  lat_low_ = bound(false, [this, height](int32_t lat) { return y(lat) < height; });
  lat_high_ = bound(true, [this](int32_t lat) { return y(lat) >= 0; });
}

int64_t longitude_on_the_globe(int64_t lon) {
  constexpr int64_t kHalfTurn = track::kUnitsPerTurn / 2;
  if (lon >= -kHalfTurn && lon <= kHalfTurn) return lon;
  return ((lon + kHalfTurn) % track::kUnitsPerTurn + track::kUnitsPerTurn) % track::kUnitsPerTurn - kHalfTurn;
}

Coordonnees Vers_coordonnees(const PlanScale& scale, int32_t x, int32_t y) {
  int64_t lon = 0, lat = 0;
  bool on_the_world = true;
  if (scale.on_map) {
    lon = scale.Centre_lon + plan_units((x - scale.half_width()) / lon_pixels_per_unit(scale) * track::kSecondsPerUnit);
    const double northing = mercator_northing(scale.Centre_lat) + (y - scale.half_height()) / scale.mercator;
    lat = static_cast<int64_t>(mercator_latitude_units(northing));
    on_the_world = std::abs(northing) < kMercatorEdge;
  } else {
    lon = scale.Centre_lon + plan_units((x - scale.half_width()) / double{scale.Facteur_zoom} / scale.Echelle_lon);
    lat = scale.Centre_lat + plan_units((y - scale.half_height()) / double{scale.Echelle_lat});
  }
  Coordonnees c{};
  split_units(lat, c.lat_degres, c.lat_minutes, c.lat_milliemes);
  split_units(longitude_on_the_globe(lon), c.lon_degres, c.lon_minutes, c.lon_milliemes);
  c.valide = std::abs(c.lat_degres) < 90 && on_the_world;
  return c;
}

bool Deplacer(PlanScale& scale, Pan direction) {
  switch (direction) {
    case Pan::North:
      // On a map, the pole is the tiles' edge.
      if (Vers_coordonnees(scale, 0, scale.height).lat_degres >= 90 ||
          (scale.on_map && !Vers_coordonnees(scale, 0, scale.height).valide))
        return false;
      scale.Centre_lat += plan_units(100.0 / scale.Echelle_lat);
      return true;
    case Pan::South:
      if (Vers_coordonnees(scale, 0, 0).lat_degres <= -90 || (scale.on_map && !Vers_coordonnees(scale, 0, 0).valide))
        return false;
      scale.Centre_lat -= plan_units(100.0 / scale.Echelle_lat);
      return true;
    case Pan::East:
      scale.Centre_lon += plan_units(30.0 / scale.Facteur_zoom);
      return true;
    case Pan::West:
      scale.Centre_lon -= plan_units(30.0 / scale.Facteur_zoom);
      return true;
  }
  return false;
}

std::vector<Pan> edge_click_pans(int x, int y, int width, int height) {
  std::vector<Pan> pans;
  if (x < kEdge) pans.push_back(Pan::West);
  if (x > width - kEdge) pans.push_back(Pan::East);
  if (y < kEdge) pans.push_back(Pan::North);
  if (y > height - kEdge) pans.push_back(Pan::South);
  return pans;
}

EdgePointer edge_pointer(int x, int y, int width, int height) {
  if (x < kEdge || x > width - kEdge) return EdgePointer::Horizontal;
  if (y < kEdge || y > height - kEdge) return EdgePointer::Vertical;
  return EdgePointer::Normal;
}

GridSteps grid_steps(const PlanScale& scale) {
  // On a map a degree of latitude spans more pixels the nearer the pole
  // (Web Mercator): the degree across the view's centre is the one measured,
  // short of the tiles' edge. On the flat plan every degree is the same.
  constexpr int64_t kFarthest = 84 * int64_t{track::kUnitsPerDegree};
  const int64_t lat =
      scale.on_map ? std::clamp(scale.Centre_lat, -kFarthest, kFarthest) - track::kUnitsPerDegree / 2 : 0;
  const PixelPosition p0 = Vers_pixel(scale, lat, 0);
  const PixelPosition p1 = Vers_pixel(scale, lat + track::kUnitsPerDegree, track::kUnitsPerDegree);
  // A degree spanning no pixel would divide by zero; one line of the whole
  // range is then all that can be drawn.
  auto step = [](int32_t span) {
    constexpr int32_t kOneLine = 361;
    if (span <= 0) return kOneLine;
    return std::min(kOneLine, truncate(1.0 / (span * (1.0 / 30)) + 1.0));
  };
  return {step(p1.x - p0.x), step(p0.y - p1.y)};
}

}  // namespace viewer
