#include "track/track_distance.h"

#include "acquisition/log_line.h"
#include "acquisition/rmc_decoder.h"
#include "support/example_tracks.h"
#include "track/journal_loader.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

using track::Distance_points;
using track::Format_distance;
using track::PointPosition;

namespace {

int32_t units(double degrees) { return static_cast<int32_t>(std::lround(degrees * track::kUnitsPerDegree)); }

double loaded_length(const std::vector<PointPosition>& fixes) {
  track::TrackPoints points;
  EXPECT_EQ(track::read_journal(std::make_shared<track::TextSource>(viewer_test::journal(fixes)), points, {}).kind,
            track::LoadOutcome::Kind::Loaded);
  return points.Longueur_totale();
}

}  // namespace

// Pairs anywhere on the globe, poles and the 180th meridian included, at
// their journal precision.
TEST(DistancePoints, IsTheGeodesicOnTheWgs84Ellipsoid) {
  const struct {
    double shortest, longest;  // metres
    double tolerance;
  } ranges[] = {{0, 1e3, 1e-3}, {1e3, 100e3, 1}, {101e3, 20'000e3, 1e-3}};
  std::mt19937 random(19);
  for (const auto& range : ranges) {
    for (int i = 0; i < 20000; ++i) {
      const double lat = std::uniform_real_distribution(-90.0, 90.0)(random);
      const double lon = std::uniform_real_distribution(-180.0, 180.0)(random);
      const double azimuth = std::uniform_real_distribution(0.0, 360.0)(random);
      const double length = std::uniform_real_distribution(range.shortest, range.longest)(random);
      double lat2 = 0, lon2 = 0;
      GeographicLib::Geodesic::WGS84().Direct(lat, lon, azimuth, length, lat2, lon2);
      const PointPosition a{units(lat), units(lon)}, b{units(lat2), units(lon2)};
      ASSERT_NEAR(Distance_points(a, b), viewer_test::geodesic_length({a, b}), range.tolerance) << lat << " " << lon;
    }
  }
  const PointPosition here{units(45.2), units(6.5)};
  EXPECT_EQ(Distance_points(here, here), 0);
  // A longitude counts modulo a turn; a latitude past a pole (the journal
  // allows 90° 59') lies on the meridian beyond it.
  EXPECT_NEAR(Distance_points({0, units(179.9)}, {0, units(-179.9)}), 22'263.9, 0.1);
  EXPECT_NEAR(Distance_points({0, units(179.9)}, {0, units(180.1)}), 22'263.9, 0.1);
  EXPECT_NEAR(Distance_points({units(90.5), 0}, {units(89.5), units(180)}), 0, 1e-6);
}

TEST(TrackDistance, StepsAlongATrackAsDistancePointsDoes) {
  // A walk over latitudes where the kept sines change, back and forth, with
  // jumps, and across a pole.
  std::mt19937 random(5);
  PointPosition a{units(44.99), units(6)};
  track::TrackDistance steps;
  steps.next(a);
  for (int i = 0; i < 20000; ++i) {
    const int jump = i % 1000 == 0 ? 40'000'000 : 4000;
    PointPosition b{std::clamp(a.lat + std::uniform_int_distribution(-jump, jump)(random), -54'599'999, 54'599'999),
                    a.lon + std::uniform_int_distribution(-jump, jump)(random)};
    if (i % 7 == 0) b.lat = a.lat;
    ASSERT_EQ(steps.next(b), Distance_points(a, b)) << i;
    a = b;
  }
}

// The length shown is the geodesics' sum, to the metre shown: the example
// tracks, and the demo drive recorded as the logger records it every second
// and every third second (fewer fixes cut the bends a little more).
TEST(TrackDistance, ATrackMeasuresTheSumOfItsGeodesics) {
  std::vector<std::pair<std::vector<PointPosition>, const char*>> tracks(viewer_test::kExampleTracks.size());
  for (std::size_t i = 0; i < tracks.size(); ++i) tracks[i].first = fixes(viewer_test::kExampleTracks[i]);
  std::ifstream nmea(std::string(ORVANTA_SAMPLES_DIR) + "/drive.nmea");
  std::vector<PointPosition> drive;
  for (std::string sentence; std::getline(nmea, sentence);) {
    acquisition::FixFields f;
    if (acquisition::Decodage_GPRMC(sentence + "\n", f) == acquisition::Trame_complete) {
      drive.push_back(track::scan_journal_line(acquisition::Ligne_log(f) + "\r\n")->position());
    }
  }
  ASSERT_EQ(drive.size(), 3000u);
  std::vector<PointPosition> every_third;
  for (std::size_t i = 0; i < drive.size(); i += 3) every_third.push_back(drive[i]);
  tracks.push_back({drive, "72.0 Km"});
  tracks.push_back({every_third, "71.9 Km"});
  for (const auto& [fixes, shown] : tracks) {
    const double expected = viewer_test::geodesic_length(fixes);
    const double length = loaded_length(fixes);
    EXPECT_NEAR(length, expected, 1e-3 * fixes.size()) << fixes.size();
    EXPECT_EQ(track::whole_metres(length), track::whole_metres(expected)) << fixes.size();
    if (shown) {
      EXPECT_EQ(Format_distance(track::whole_metres(length)), shown);
    }
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
  // Shown as whole metres, truncated.
  EXPECT_EQ(Format_distance(track::whole_metres(999.99)), "999 m");
}
