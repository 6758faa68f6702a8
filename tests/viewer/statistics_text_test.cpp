#include "viewer/statistics_text.h"

#include <gtest/gtest.h>

// Each speed under its own caption, in km/h; a speed the track lacks is "--".
TEST(StatisticsText, EachSpeedUnderItsOwnCaption) {
  track::TrackStatistics s;
  s.average_speed_kn_recorded = 10;
  s.average_speed_kn_computed = 20;
  s.max_speed_kn_computed = 40;
  const std::vector<viewer::StatisticsLine> lines = viewer::statistics_lines(s);
  const std::vector<viewer::StatisticsLine> expected = {{"Vitesse moyenne enregistrée", "18.5 km/h"},
                                                        {"Vitesse moyenne calculée", "37.0 km/h"},
                                                        {"Moyenne en mouvement", "--"},
                                                        {"Vitesse maximale enregistrée", "--"},
                                                        {"Vitesse maximale calculée", "74.1 km/h"}};
  EXPECT_EQ(std::vector(lines.begin() + 6, lines.begin() + 11), expected);
}
