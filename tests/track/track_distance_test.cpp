#include "track/track_distance.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using track::Distance_points;
using track::Format_distance;
using track::PointPosition;
using track::Secondes_arc;
using track::TrackDistance;

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

TEST(TrackDistance, StepsAlongATrackAsDistancePointsDoes) {
  // A walk that crosses minute and degree lines, back and forth, and jumps.
  std::mt19937 random(5);
  PointPosition a{Secondes_arc(44, 59, 0), Secondes_arc(6, 0, 0)};
  TrackDistance steps;
  for (int i = 0; i < 20000; ++i) {
    const int jump = i % 1000 == 0 ? 400000 : 40;
    PointPosition b{std::clamp(a.lat_seconds + std::uniform_int_distribution(-jump, jump)(random), 0, 90 * 3600),
                    std::clamp(a.lon_seconds + std::uniform_int_distribution(-jump, jump)(random), 0, 180 * 3600)};
    ASSERT_EQ(steps.next(a, b), Distance_points(a, b)) << i;
    a = b;
  }
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
