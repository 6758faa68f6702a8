#include "acquisition/log_line.h"

#include "journal/journal_layout.h"

#include <array>

namespace acquisition {

std::string Ligne_log(const FixFields& f) {
  const std::array<const std::string*, journal::kPartCount> texts = {
      &f.Aff_jour,       &f.Aff_mois,        &f.Aff_annee,        &f.Aff_heure,        &f.Aff_minute,
      &f.Aff_seconde,    &f.Aff_lat_degres,  &f.Aff_lat_minutes,  &f.Aff_lat_miliemes, &f.Aff_lat_NS,
      &f.Aff_lon_degres, &f.Aff_lon_minutes, &f.Aff_lon_miliemes, &f.Aff_lon_EW,       &f.Aff_vitesse};
  std::string line;
  line.reserve(journal::kRecordLength);
  for (std::size_t part = 0; part < texts.size(); ++part) {
    line += *texts[part];
    line += journal::kRecordLayout[part].after;
  }
  return line;
}

std::string last_position_line(const FixFields& f) {
  return f.Aff_lat_degres + '.' + f.Aff_lat_minutes + '\t' + f.Aff_lon_degres + '.' + f.Aff_lon_minutes + '\n';
}

}  // namespace acquisition
