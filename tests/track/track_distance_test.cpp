#include "track/track_distance.h"

#include "acquisition/log_line.h"
#include "acquisition/rmc_decoder.h"
#include "support/example_tracks.h"
#include "track/journal_loader.h"

#include <fstream>
#include <gtest/gtest.h>
#include <random>

using track::Distance_points;
using track::Format_distance;
using track::PointPosition;
using track::TrackDistance;
using viewer_test::units;

namespace {

// GeographicLib's geodesic between two positions.
double geodesic(const PointPosition& a, const PointPosition& b) {
  auto degrees = [](int32_t units) { return units / double{track::kUnitsPerDegree}; };
  double s12 = 0;
  GeographicLib::Geodesic::WGS84().Inverse(degrees(a.lat), degrees(a.lon), degrees(b.lat), degrees(b.lon), s12);
  return s12;
}

}  // namespace

// Pairs anywhere, poles and the 180th meridian included, at journal precision.
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
      ASSERT_NEAR(Distance_points(a, b), geodesic(a, b), range.tolerance) << lat << " " << lon;
    }
  }
  // A longitude counts modulo a turn; a latitude past a pole (the journal
  // allows 90° 59') lies on the meridian beyond it.
  EXPECT_NEAR(Distance_points({0, units(179.9)}, {0, units(-179.9)}), 22'263.9, 0.1);
  EXPECT_NEAR(Distance_points({0, units(179.9)}, {0, units(180.1)}), 22'263.9, 0.1);
  EXPECT_NEAR(Distance_points({units(90.5), 0}, {units(89.5), units(180)}), 0, 1e-6);
}

TEST(TrackDistance, StepsAlongATrackAsDistancePointsDoes) {
  // A walk across the blocks of kept sines, back and forth, jumps, a pole.
  std::mt19937 random(5);
  PointPosition a{units(44.99), units(6)};
  TrackDistance steps;
  steps.next(a);
  for (int i = 0; i < 20000; ++i) {
    const int jump = i % 1000 == 0 ? 40'000'000 : 4000;
    PointPosition b{std::clamp(a.lat + std::uniform_int_distribution(-jump, jump)(random), -54'599'999, 54'599'999),
                    a.lon + std::uniform_int_distribution(-jump, jump)(random)};
    ASSERT_EQ(steps.next(b), Distance_points(a, b)) << i;
    a = b;
  }
}

// The length shown is the geodesics' sum, to the metre: the example tracks,
// the demo drive every second and every third (fewer fixes cut the bends).
TEST(TrackDistance, ATrackMeasuresTheSumOfItsGeodesics) {
  std::vector<std::pair<std::string, const char*>> journals;  // and the length shown
  journals.reserve(viewer_test::kExampleTracks.size() + 2);
  for (const auto& t : viewer_test::kExampleTracks) journals.emplace_back(viewer_test::journal(t), nullptr);
  std::ifstream nmea(std::string(ORVANTA_SAMPLES_DIR) + "/drive.nmea");
  std::string drive, every_third;
  int fixes = 0;
  for (std::string sentence; std::getline(nmea, sentence);) {
    acquisition::FixFields f;
    if (acquisition::Decodage_GPRMC(sentence + "\n", f) != acquisition::Trame_complete) continue;
    drive += acquisition::Ligne_log(f) + "\r\n";
    if (fixes++ % 3 == 0) every_third += acquisition::Ligne_log(f) + "\r\n";
  }
  ASSERT_EQ(fixes, 3000);
  journals.emplace_back(drive, "72.0 Km");
  journals.emplace_back(every_third, "71.9 Km");
  for (const auto& [journal, shown] : journals) {
    track::TrackPoints points;
    ASSERT_EQ(track::read_journal(std::make_shared<track::TextSource>(journal), points, {}).kind,
              track::LoadOutcome::Kind::Loaded);
    double expected = 0;
    for (std::size_t i = 1; i < points.size(); ++i) expected += geodesic(points.position(i - 1), points.position(i));
    const double length = points.Longueur_totale();
    EXPECT_NEAR(length, expected, 1e-3 * points.size()) << points.size();
    EXPECT_EQ(track::whole_metres(length), track::whole_metres(expected)) << points.size();
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
