#include "viewer/track_distance.h"

#include <gtest/gtest.h>

using viewer::Distance_points;
using viewer::Format_distance;
using viewer::PointPosition;
using viewer::Secondes_arc;

namespace {

PointPosition at(int lat_d, int lat_m, int lat_f, int lon_d, int lon_m, int lon_f) {
  return {Secondes_arc(lat_d, lat_m, lat_f), Secondes_arc(lon_d, lon_m, lon_f)};
}

}  // namespace

TEST(DistancePoints, MeasuresOnThePlanOfTheMeanLatitude) {
  EXPECT_EQ(Distance_points(at(45, 12, 0, 6, 30, 0), at(45, 12, 3456, 6, 30, 1234)), 636);
  EXPECT_EQ(Distance_points(at(45, 12, 0, 6, 30, 0), at(45, 13, 0, 6, 30, 0)), 1854);
  EXPECT_EQ(Distance_points(at(45, 12, 0, 6, 30, 0), at(45, 12, 0, 6, 30, 0)), 0);
  // Symmetric, and far apart without overflowing.
  EXPECT_EQ(Distance_points(at(0, 0, 0, 0, 0, 0), at(90, 0, 0, 180, 0, 0)),
            Distance_points(at(90, 0, 0, 180, 0, 0), at(0, 0, 0, 0, 0, 0)));
  EXPECT_GT(Distance_points(at(0, 0, 0, 0, 0, 0), at(0, 0, 0, 180, 0, 0)), 20'000'000);
}

TEST(FormatDistance, SwitchesUnitAtTheThresholds) {
  EXPECT_EQ(Format_distance(0), "0 m");
  EXPECT_EQ(Format_distance(999), "999 m");
  EXPECT_EQ(Format_distance(1000), "1.0 Km");
  EXPECT_EQ(Format_distance(12345), "12.3 Km");
  EXPECT_EQ(Format_distance(99999), "100.0 Km");
  EXPECT_EQ(Format_distance(100000), "100 Km");
  EXPECT_EQ(Format_distance(4'294'967'295), "4294967 Km");
}
