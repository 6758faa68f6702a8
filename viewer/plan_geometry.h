// The flat plan the track is drawn on: longitude left to right, latitude
// bottom to top, both scaled in arc-seconds, the longitude axis shrunk by the
// cosine of a reference latitude. Positions are signed (north and east
// positive) and taken at the journal's full precision, ten-thousandths of a
// minute; longitudes go on past 180° (unwrapped, as the track's are), so the
// plan goes round the globe east and west. Conversions to integers truncate
// toward zero; the scale fields are single precision, as the drawing's
// pixels depend on it.
#pragma once

#include "track/track_position.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace viewer {

// The drawing's size when the window has its first size (W x H); it grows
// with the window.
inline constexpr int kPlanWidth = 715;
inline constexpr int kPlanHeight = 539;

// A real number truncated toward zero, saturating instead of overflowing.
inline int32_t truncate(double value) {
  if (std::isnan(value)) return 0;
  if (value >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

inline constexpr int kZoomCount = 20;
// The zoom list's items and, for each, its pixels per metre in double
// precision ("100 %" is one pixel per 100 metres).
extern const std::array<const char*, kZoomCount> kZoomItems;
extern const std::array<double, kZoomCount> kZoomFactors;

struct PlanScale {
  float Facteur_zoom = 1.0f;        // pixels per metre
  float Echelle_lat = 1.0f;         // pixels per arc-second of latitude
  float Echelle_lon = 0.0f;         // metres per arc-second of longitude
  float Metres_par_seconde = 0.0f;  // metres per arc-second of latitude
  int64_t Centre_lon = 0;           // plan centre, ten-thousandths of a minute
  int64_t Centre_lat = 0;
  int32_t width = kPlanWidth;  // the drawing, in pixels
  int32_t height = kPlanHeight;
  // While a map lies under the track the plan is in Web Mercator, the tiles'
  // projection, so the track lies on them: `on_map` set, Calcul_echelle
  // keeps `mercator` (pixels per radian of longitude) true to the zoom at the
  // reference latitude.
  bool on_map = false;
  double mercator = 0;
  // The centre's pixel (W div 2, H div 2).
  int32_t half_width() const { return width / 2; }
  int32_t half_height() const { return height / 2; }
};

// Sets the scale for the reference latitude `degres` `minutes` and the zoom
// item `zoom_index` (-1: none selected, the zoom then stays as it was).
// Throws std::out_of_range, changing nothing, when degres > 90 or
// minutes > 59 (negative values included).
void Calcul_echelle(PlanScale& scale, int zoom_index, int32_t degres, int32_t minutes);

// The five scale bar texts: the distance that 1 to 5 boxes of 36 pixels span.
std::array<std::string, 5> scale_bar_labels(float facteur_zoom);

struct PixelPosition {
  int32_t x;
  int32_t y;  // from the top of the drawing
  bool visible;
};
// Positions in ten-thousandths of a minute.
PixelPosition Vers_pixel(const PlanScale& scale, int64_t lat, int64_t lon);

// Pixels per unit (ten-thousandth of a minute) of longitude, on either plan.
double lon_pixels_per_unit(const PlanScale& scale);

// Web Mercator's northing of a latitude in units (radians on the sphere of
// unit radius), clamped to the square world the tiles cover, and back.
double mercator_northing(int64_t lat);
double mercator_latitude_units(double northing);

// The arithmetic of Vers_pixel, with the scale's products formed once. The
// difference from the centre is exact (integers), so a point on the centre
// lands on the centre pixel at every zoom.
class PlanAxes {
 public:
  explicit PlanAxes(const PlanScale& scale)
      : lon_factor_(lon_pixels_per_unit(scale)),
        lat_factor_(double{scale.Echelle_lat} * track::kSecondsPerUnit),
        mercator_(scale.on_map ? scale.mercator : 0),
        centre_northing_(scale.on_map ? mercator_northing(scale.Centre_lat) : 0),
        centre_lon_(scale.Centre_lon),
        centre_lat_(scale.Centre_lat),
        half_width_(scale.half_width()),
        half_height_(scale.half_height()) {}
  int32_t x(int64_t lon) const { return truncate(lon_factor_ * static_cast<double>(lon - centre_lon_) + half_width_); }
  int32_t y(int64_t lat) const {
    if (mercator_ != 0) return y_at_northing(mercator_northing(lat));
    return truncate(half_height_ - static_cast<double>(lat - centre_lat_) * lat_factor_);
  }
  // On a map, y of the latitude whose mercator_northing is `northing`.
  int32_t y_at_northing(double northing) const {
    return truncate(half_height_ - (northing - centre_northing_) * mercator_);
  }

 private:
  double lon_factor_;
  double lat_factor_;
  double mercator_;  // 0 on the flat plan
  double centre_northing_;
  int64_t centre_lon_;
  int64_t centre_lat_;
  int32_t half_width_;
  int32_t half_height_;
};

// Vers_pixel for every point of a track: the ranges of positions whose
// pixels fall in the drawing are found once, so that telling whether a point
// is in view takes four integer comparisons.
class PlanProjection : public PlanAxes {
 public:
  explicit PlanProjection(const PlanScale& scale);
  bool visible(const track::PointPosition& p) const {
    return p.lat >= lat_low_ && p.lat <= lat_high_ && p.lon >= lon_low_ && p.lon <= lon_high_;
  }

 private:
  // Inclusive; low > high when no value is in view.
  int64_t lat_low_, lat_high_, lon_low_, lon_high_;
};

struct Coordonnees {
  int32_t lat_degres, lat_minutes, lat_milliemes;  // thousandths of a minute
  int32_t lon_degres, lon_minutes, lon_milliemes;
  bool valide;  // on the globe: between the poles
};
// The position under pixel (x, y), y counted from the BOTTOM of the drawing.
// Southern and western positions give negative degrees, minutes and
// thousandths; a longitude beyond 180° on the plan is given as the place it
// names, within 180° of Greenwich.
Coordonnees Vers_coordonnees(const PlanScale& scale, int32_t x, int32_t y);

// A longitude of the plan as the place it names: itself from -180° to 180°,
// otherwise brought back by whole turns.
int64_t longitude_on_the_globe(int64_t lon);

// Panning: a step towards a side. North and south stop, returning false and
// changing nothing, once that edge of the drawing has reached a pole; east
// and west go on round the globe.
enum class Pan { North, South, East, West };
bool Deplacer(PlanScale& scale, Pan direction);
// The pans a click at (x, y) from the top-left corner asks for, near the
// edges of the drawing: west, east, north, south, each tested on its own.
std::vector<Pan> edge_click_pans(int x, int y, int width = kPlanWidth, int height = kPlanHeight);

enum class EdgePointer { Normal, Horizontal, Vertical };
EdgePointer edge_pointer(int x, int y, int width = kPlanWidth, int height = kPlanHeight);

// Whole degrees between grid lines so that lines are about 30 pixels apart or
// more (on a map, parallels at the view's centre). Where a degree spans no
// pixel at all (near a pole) one line is kept.
struct GridSteps {
  int32_t lon;
  int32_t lat;
};
GridSteps grid_steps(const PlanScale& scale);

}  // namespace viewer
