#include "acquisition/log_line.h"

namespace acquisition {

namespace {
// The degree sign is the single Windows-1252 byte 0xB0, never UTF-8.
constexpr char kDegrees[] = "\xB0 ";
}  // namespace

std::string Ligne_log(const FixFields& f) {
  std::string line;
  line.reserve(64);
  line += f.Aff_jour + '/' + f.Aff_mois + '/' + f.Aff_annee + '\t';
  line += f.Aff_heure + ':' + f.Aff_minute + ':' + f.Aff_seconde + '\t';
  line += f.Aff_lat_degres + kDegrees + f.Aff_lat_minutes + "' " + f.Aff_lat_miliemes + "\" " + f.Aff_lat_NS;
  line += '\t';
  line += f.Aff_lon_degres + kDegrees + f.Aff_lon_minutes + "' " + f.Aff_lon_miliemes + "\" " + f.Aff_lon_EW;
  line += '\t';
  line += f.Aff_vitesse + " noeuds";
  return line;
}

std::string last_position_line(const FixFields& f) {
  return f.Aff_lat_degres + '.' + f.Aff_lat_minutes + '\t' + f.Aff_lon_degres + '.' + f.Aff_lon_minutes + '\n';
}

}  // namespace acquisition
