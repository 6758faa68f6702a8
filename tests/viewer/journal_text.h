// Journal records as the logger writes them, for the viewer's tests.
#pragma once

#include "acquisition/fix_fields.h"
#include "acquisition/log_line.h"

#include <string>

namespace viewer_test {

struct Position {
  const char* lat_degres = "48";
  const char* lat_minutes = "07";
  const char* lat_fraction = "0380";
  const char* lat_ns = "N";
  const char* lon_degres = "011";
  const char* lon_minutes = "31";
  const char* lon_fraction = "0000";
  const char* lon_ew = "E";
};

// The writer's record for this position (date 23/03/2094 12:35:19, speed
// 022), with its CR LF.
inline std::string record(const Position& p = {}) {
  acquisition::FixFields f;
  f.Aff_jour = "23";
  f.Aff_mois = "03";
  f.Aff_annee = "2094";
  f.Aff_heure = "12";
  f.Aff_minute = "35";
  f.Aff_seconde = "19";
  f.Aff_lat_degres = p.lat_degres;
  f.Aff_lat_minutes = p.lat_minutes;
  f.Aff_lat_miliemes = p.lat_fraction;
  f.Aff_lat_NS = p.lat_ns;
  f.Aff_lon_degres = p.lon_degres;
  f.Aff_lon_minutes = p.lon_minutes;
  f.Aff_lon_miliemes = p.lon_fraction;
  f.Aff_lon_EW = p.lon_ew;
  f.Aff_vitesse = "022";
  return acquisition::Ligne_log(f) + "\r\n";
}

}  // namespace viewer_test
