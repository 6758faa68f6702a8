// The fields the decoder writes for the sentence
// $GPRMC,123519,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*6A
#pragma once

#include "acquisition/fix_fields.h"

inline acquisition::FixFields example_fix() {
  acquisition::FixFields f;
  f.Aff_jour = "23";
  f.Aff_mois = "03";
  f.Aff_annee = "2094";
  f.Aff_heure = "12";
  f.Aff_minute = "35";
  f.Aff_seconde = "19";
  f.Aff_lat_degres = "48";
  f.Aff_lat_minutes = "07";
  f.Aff_lat_miliemes = "0380";
  f.Aff_lat_NS = "N";
  f.Aff_lon_degres = "011";
  f.Aff_lon_minutes = "31";
  f.Aff_lon_miliemes = "0000";
  f.Aff_lon_EW = "E";
  f.Aff_vitesse = "022";
  return f;
}
