// Journal records as the logger writes them, for the viewer's tests.
#pragma once

#include "acquisition/fix_fields.h"
#include "acquisition/log_line.h"
#include "support/example_fix.h"

#include <cstdint>
#include <string>

namespace viewer_test {

struct Position {
  std::string lat_degres = "48";
  std::string lat_minutes = "07";
  std::string lat_fraction = "0380";
  std::string lat_ns = "N";
  std::string lon_degres = "011";
  std::string lon_minutes = "31";
  std::string lon_fraction = "0000";
  std::string lon_ew = "E";
};

// The writer's record for this position (date 23/03/2094 12:35:19, speed
// 022), with its CR LF.
inline std::string record(const Position& p = {}) {
  acquisition::FixFields f = example_fix();
  f.Aff_lat_degres = p.lat_degres;
  f.Aff_lat_minutes = p.lat_minutes;
  f.Aff_lat_miliemes = p.lat_fraction;
  f.Aff_lat_NS = p.lat_ns;
  f.Aff_lon_degres = p.lon_degres;
  f.Aff_lon_minutes = p.lon_minutes;
  f.Aff_lon_miliemes = p.lon_fraction;
  f.Aff_lon_EW = p.lon_ew;
  return acquisition::Ligne_log(f) + "\r\n";
}

// The record of the point at these signed angles in ten-thousandths of a
// minute (west written `west`), with the writer's widths.
inline std::string record_at(int32_t lat, int32_t lon, const char* west = "W") {
  auto padded = [](int32_t value, std::size_t width) {
    std::string text = std::to_string(value);
    return std::string(width > text.size() ? width - text.size() : 0, '0') + text;
  };
  const int32_t la = lat < 0 ? -lat : lat, lo = lon < 0 ? -lon : lon;
  return record({padded(la / 600000, 2), padded(la / 10000 % 60, 2), padded(la % 10000, 4), lat < 0 ? "S" : "N",
                 padded(lo / 600000, 3), padded(lo / 10000 % 60, 2), padded(lo % 10000, 4), lon < 0 ? west : "E"});
}

}  // namespace viewer_test
