// The texts of the fix display fields, exactly as the decoder copied them from
// the received sentence. They are the only record of the fix: the journal line
// and the clock setting are built from them.
#pragma once

#include <string>

namespace acquisition {

struct FixFields {
  std::string Aff_jour = "??";
  std::string Aff_mois = "??";
  std::string Aff_annee = "????";
  std::string Aff_heure = "??";
  std::string Aff_minute = "??";
  std::string Aff_seconde = "??";
  std::string Aff_lat_degres = "??";
  std::string Aff_lat_minutes = "??";
  std::string Aff_lat_miliemes = "????";
  std::string Aff_lat_NS = "?";
  std::string Aff_lon_degres = "???";
  std::string Aff_lon_minutes = "??";
  std::string Aff_lon_miliemes = "????";
  std::string Aff_lon_EW = "?";
  std::string Aff_vitesse = "???.??";

  bool operator==(const FixFields&) const = default;
};

}  // namespace acquisition
