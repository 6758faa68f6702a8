#include "viewer/speed_profile.h"

#include "track/import/track_file.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

using namespace viewer;

// 1000 points a second apart, their speeds going round 0 to 6 knots: every
// column of the reduction keeps the slowest and the fastest of its points.
TEST(SpeedProfile, EachColumnKeepsItsExtremesAndAClickFindsItsRecord) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("track.csv").toStdString();
  std::ofstream csv(path, std::ios::binary);
  csv << "time,lat,lon,speed_knots\n";
  for (int i = 0; i < 1000; ++i) {
    csv << "2094-03-23T12:" << 10 + i / 60 << ':' << (i % 60 < 10 ? "0" : "") << i % 60 << "Z,45." << 1000 + i
        << ",6.5," << i % 7 << '\n';
  }
  csv.close();
  track::TrackPoints points;
  ASSERT_EQ(track::read_track_file(path, points, {}).kind, track::LoadOutcome::Kind::Loaded);

  const std::vector<ProfileColumn> columns = speed_profile(points, ProfileAxis::Time, 10);
  ASSERT_EQ(columns.size(), 10u);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    EXPECT_EQ(columns[c].low, 0) << c;
    EXPECT_NEAR(columns[c].high, 6 * 1.852, 1e-9) << c;
    EXPECT_TRUE(c == 0 || columns[c].x > columns[c - 1].x) << c;
  }
  EXPECT_EQ(speed_profile(points, ProfileAxis::Distance, 5000).size(), 1000u);
  EXPECT_EQ(record_at(points, ProfileAxis::Time, *profile_position(points, 0, ProfileAxis::Time) + 500'400), 500u);
  EXPECT_EQ(record_at(points, ProfileAxis::Distance, 1e9), 999u);
}
