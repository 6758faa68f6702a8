#include "viewer/record_texts.h"

#include <gtest/gtest.h>

using namespace viewer;

TEST(PointerReadout, WritesEachHemisphereInItsOwnForm) {
  Coordonnees c{45, 12, 345, 6, 30, 7, true};
  EXPECT_EQ(latitude_readout(c), "45\xB0 12' 345\" N");
  EXPECT_EQ(longitude_readout(c), "6\xB0 30' 7\" E");
  c = Coordonnees{0, -14, -500, -1, -2, -3, true};
  EXPECT_EQ(latitude_readout(c), "0\xB0 14' 500\" S");
  // The western form has no blank after the apostrophe.
  EXPECT_EQ(longitude_readout(c), "1\xB0 2'3\" O");
}

TEST(PointerReadout, PanelsGoLeftPast120AndBelowThePointerNearTheTop) {
  EXPECT_EQ(readout_placement(120, 100, 17).left, 130);
  EXPECT_EQ(readout_placement(121, 100, 17).left, 1);
  const ReadoutPlacement high = readout_placement(200, 33, 17);
  EXPECT_EQ(high.top1, 33 + 65);
  EXPECT_EQ(high.top2, 33 + 17 + 65);
  const ReadoutPlacement lower = readout_placement(200, 34, 17);
  EXPECT_EQ(lower.top1, 34 + 15);
  EXPECT_EQ(lower.top2, 34 + 17 + 15);
}

TEST(RecordTexts, ShowTheFieldsAsRead) {
  Struct_ligne_donnees r;
  r.Date = "23/03/2094";
  r.Heure = "12:35:19";
  r.Lat_degres = "48";
  r.Lat_minutes = " 07";
  r.Lat_fraction = " 0380";
  r.Lat_hemisphere = "N";
  r.Lon_degres = "011";
  r.Lon_minutes = " 31";
  r.Lon_fraction = " 0000";
  r.Lon_hemisphere = "E";
  EXPECT_EQ(record_date_text(r), "23/03/2094   12:35:19");
  EXPECT_EQ(record_position_text(r), "48\xB0 07' 0380\"N    011\xB0 31' 0000\"E");
}
