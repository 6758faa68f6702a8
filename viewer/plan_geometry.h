// The flat plan the track is drawn on: longitude left to right, latitude
// bottom to top, both in whole arc-seconds, the longitude axis shrunk by the
// cosine of a reference latitude. Conversions to integers truncate toward zero;
// the scale fields are single precision, as the drawing's pixels depend on it.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace viewer {

inline constexpr int kPlanWidth = 715;   // W
inline constexpr int kPlanHeight = 539;  // H

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
  int32_t Centre_lon = 0;           // plan centre, arc-seconds
  int32_t Centre_lat = 0;
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
PixelPosition Vers_pixel(const PlanScale& scale, int32_t lat_seconds, int32_t lon_seconds);

// The arithmetic of Vers_pixel, with the scale's product formed once.
class PlanAxes {
 public:
  explicit PlanAxes(const PlanScale& scale)
      : lon_factor_(double{scale.Facteur_zoom} * scale.Echelle_lon),
        lat_factor_(scale.Echelle_lat),
        centre_lon_(scale.Centre_lon),
        centre_lat_(scale.Centre_lat) {}
  int32_t x(int32_t lon_seconds) const {
    return truncate(lon_factor_ * (static_cast<double>(lon_seconds) - centre_lon_) + kPlanWidth / 2);
  }
  int32_t y(int32_t lat_seconds) const {
    return truncate(kPlanHeight / 2 - (static_cast<double>(lat_seconds) - centre_lat_) * lat_factor_);
  }

 private:
  double lon_factor_;
  double lat_factor_;
  int32_t centre_lon_;
  int32_t centre_lat_;
};

// Vers_pixel for every point of a track: the arc-second ranges whose pixels
// fall in the drawing are found once, so that telling whether a point is in
// view takes four integer comparisons.
class PlanProjection : public PlanAxes {
 public:
  explicit PlanProjection(const PlanScale& scale);
  bool visible(int32_t lat_seconds, int32_t lon_seconds) const {
    return lat_seconds >= lat_low_ && lat_seconds <= lat_high_ && lon_seconds >= lon_low_ && lon_seconds <= lon_high_;
  }

 private:
  // Inclusive; low > high when no value is in view.
  int64_t lat_low_, lat_high_, lon_low_, lon_high_;
};

struct Coordonnees {
  int32_t lat_degres, lat_minutes, lat_milliemes;  // thousandths of a minute
  int32_t lon_degres, lon_minutes, lon_milliemes;
  bool valide;  // on the globe
};
// The position under pixel (x, y), y counted from the BOTTOM of the drawing.
// Negative positions give negative degrees, minutes and thousandths.
Coordonnees Vers_coordonnees(const PlanScale& scale, int32_t x, int32_t y);

// Panning: a step towards a side unless that edge of the drawing has reached
// the end of the globe; false (and no change) at the end.
enum class Pan { North, South, East, West };
bool Deplacer(PlanScale& scale, Pan direction);
// The pans a click at (x, y) from the top-left corner asks for, near the
// edges of the drawing: west, east, north, south, each tested on its own.
std::vector<Pan> edge_click_pans(int x, int y);

enum class EdgePointer { Normal, Horizontal, Vertical };
EdgePointer edge_pointer(int x, int y);

// Whole degrees between grid lines so that lines are about 30 pixels apart or
// more. Where a degree spans no pixel at all (near a pole) one line is kept.
struct GridSteps {
  int32_t lon;
  int32_t lat;
};
GridSteps grid_steps(const PlanScale& scale);

}  // namespace viewer
