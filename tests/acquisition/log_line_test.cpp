#include "acquisition/log_line.h"

#include "support/example_fix.h"

#include <algorithm>
#include <gtest/gtest.h>

using acquisition::last_position_line;
using acquisition::Ligne_log;

TEST(LogLine, ExampleFixGivesTheSixtyThreeByteRecord) {
  const std::string line = Ligne_log(example_fix());
  EXPECT_EQ(line, "23/03/2094\t12:35:19\t48\xB0 07' 0380\" N\t011\xB0 31' 0000\" E\t022 noeuds");
  EXPECT_EQ(line.size(), 63u);
  // The degree sign is one Windows-1252 byte, not the two bytes of UTF-8.
  EXPECT_EQ(std::count(line.begin(), line.end(), '\xB0'), 2);
  EXPECT_EQ(line.find('\xC2'), std::string::npos);
}

TEST(LogLine, FieldsGoInUncheckedAndTheSuffixStays) {
  acquisition::FixFields f = example_fix();
  f.Aff_vitesse = "1.5";
  f.Aff_lat_miliemes = "03";
  const std::string line = Ligne_log(f);
  EXPECT_NE(line.find("48\xB0 07' 03\" N"), std::string::npos);
  EXPECT_TRUE(line.ends_with("\t1.5 noeuds"));
}

TEST(LogLine, LastPositionHoldsDegreesAndWholeMinutesOnly) {
  EXPECT_EQ(last_position_line(example_fix()), "48.07\t011.31\n");
}
