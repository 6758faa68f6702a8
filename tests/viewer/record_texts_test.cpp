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
