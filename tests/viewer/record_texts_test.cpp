#include "viewer/record_texts.h"

#include <gtest/gtest.h>

using namespace viewer;

// Thousandths keep their three digits: 12.091' is not 12' 91".
TEST(PointerReadout, WritesEachHemisphereInItsOwnForm) {
  Coordonnees c{45, 12, 91, 6, 30, 7, true};
  EXPECT_EQ(latitude_readout(c), "45\xB0 12' 091\" N");
  EXPECT_EQ(longitude_readout(c), "6\xB0 30' 007\" E");
  c = Coordonnees{0, -14, -500, -1, -2, -3, true};
  EXPECT_EQ(latitude_readout(c), "0\xB0 14' 500\" S");
  // The western form has no blank after the apostrophe.
  EXPECT_EQ(longitude_readout(c), "1\xB0 2'003\" O");
}

// The panels sit to the pointer's right up to x = 120 and to its left beyond;
// above it, or below it (50 pixels lower) while panel height + y is 50 or
// less, near the top of the drawing.
TEST(PointerReadout, PanelsMoveToTheLeftPastX120AndDownNearTheTop) {
  constexpr int h = 17;
  const ReadoutPlacement right_below = readout_placement(120, 33, h);
  EXPECT_EQ(right_below.left, 130);
  EXPECT_EQ(right_below.top1, 33 + 15 + 50);
  EXPECT_EQ(right_below.top2, 33 + h + 15 + 50);
  const ReadoutPlacement left_above = readout_placement(121, 34, h);
  EXPECT_EQ(left_above.left, 1);
  EXPECT_EQ(left_above.top1, 34 + 15);
  EXPECT_EQ(left_above.top2, 34 + h + 15);
  EXPECT_EQ(readout_placement(0, 0, h).left, 10);
}
