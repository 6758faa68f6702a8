#include "viewer/record_texts.h"

#include <cstdlib>

namespace viewer {

namespace {

// The thousandths of a minute are a decimal fraction: they keep their leading
// zeros, or 12.091' would read as 12' 91".
std::string dms(int32_t degres, int32_t minutes, int32_t milliemes, const char* after_minutes) {
  std::string thousandths = std::to_string(milliemes);
  thousandths.insert(0, thousandths.size() < 3 ? 3 - thousandths.size() : 0, '0');
  return std::to_string(degres) + "\xB0 " + std::to_string(minutes) + after_minutes + thousandths;
}

}  // namespace

std::string record_date_text(const std::optional<track::Struct_ligne_donnees>& r) {
  if (!r) return "--/--/----    --:--:--";
  return r->Date + "   " + r->Heure;
}

std::string record_position_text(const std::optional<track::Struct_ligne_donnees>& record) {
  if (!record) return "--\xB0 --' ----\"-    ---\xB0 --' ----\"-";
  const track::Struct_ligne_donnees& r = *record;
  return r.Lat_degres + "\xB0" + r.Lat_minutes + "'" + r.Lat_fraction + "\"" + r.Lat_hemisphere + "    " +
         r.Lon_degres + "\xB0" + r.Lon_minutes + "'" + r.Lon_fraction + "\"" + r.Lon_hemisphere;
}

std::string latitude_readout(const Coordonnees& c) {
  if (c.lat_degres >= 0 && c.lat_minutes >= 0 && c.lat_milliemes >= 0) {
    return dms(c.lat_degres, c.lat_minutes, c.lat_milliemes, "' ") + "\" N";
  }
  return dms(std::abs(c.lat_degres), std::abs(c.lat_minutes), std::abs(c.lat_milliemes), "' ") + "\" S";
}

std::string longitude_readout(const Coordonnees& c) {
  if (c.lon_degres >= 0 && c.lon_minutes >= 0 && c.lon_milliemes >= 0) {
    return dms(c.lon_degres, c.lon_minutes, c.lon_milliemes, "' ") + "\" E";
  }
  return dms(std::abs(c.lon_degres), std::abs(c.lon_minutes), std::abs(c.lon_milliemes), "'") + "\" O";
}

ReadoutPlacement readout_placement(int x, int y, int panel_height) {
  const int left = x > 120 ? x - 120 : x + 10;
  const int below = panel_height + y > 50 ? 0 : 50;
  return {left, y + 15 + below, y + panel_height + 15 + below};
}

}  // namespace viewer
