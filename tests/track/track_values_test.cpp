#include "support/journal_text.h"
#include "track/journal_loader.h"
#include "track/statistics.h"
#include "track/utc_time.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using track::TrackPoints;
using track::TrackSample;

namespace {

constexpr int64_t k2026 = 1767225600000;  // 2026-01-01T00:00:00Z

TrackSample at(double lat, double lon, std::optional<int64_t> ms, std::optional<double> knots = {}) {
  return {lat, lon, ms, knots, {}};
}

}  // namespace

TEST(TrackValues, JournalRecordsGiveTimeAndSpeedWhenTheirTextsRead) {
  struct Case {
    std::string date_time, speed;
    std::optional<int64_t> ms;
    std::optional<double> knots;
  };
  const std::vector<Case> cases = {
      {"01/01/2026\t00:00:00", "022", k2026, 22},         {"29/02/2028\t23:59:59", "5.2", 1835481599000, 5.2},
      {"01/01/2026\t00:00:01", "12.", k2026 + 1000, 12},  {"31/02/2026\t00:00:00", ",,2", std::nullopt, std::nullopt},
      {"01/01/2026\t24:00:00", " .5", std::nullopt, 0.5}, {"1/1/2026\t0:00:00", "abc", std::nullopt, std::nullopt},
  };
  std::string journal;
  for (const Case& c : cases) {
    std::string r = viewer_test::record();
    r.replace(0, 19, c.date_time);
    r.replace(r.find("022 noeuds"), 3, c.speed);
    journal += r;
  }
  TrackPoints points;
  ASSERT_EQ(track::read_journal(std::make_shared<track::TextSource>(journal), points, {}).kind,
            track::LoadOutcome::Kind::Loaded);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(points.time_ms(i), cases[i].ms) << i;
    EXPECT_EQ(points.speed_knots(i), cases[i].knots) << i;
    EXPECT_EQ(points.elevation_m(i), std::nullopt);
  }
}

TEST(TrackValues, SamplesKeepSpeedsToTheirStepAndTimesWithinRange) {
  TrackPoints points;
  points.start_samples();
  const std::vector<std::pair<std::optional<double>, std::optional<double>>> speeds = {
      {0.004, 0},       {0.013, 0.01}, {499.994, 499.99},  {500.04, 500},       {999, 999},
      {2053.4, 2053.4}, {1e9, 2053.4}, {-1, std::nullopt}, {NAN, std::nullopt}, {std::nullopt, std::nullopt}};
  for (const auto& [knots, kept] : speeds) points.append(at(0, 0, k2026 + 1500, knots));
  // 80 years on does not fit; before 1970 does.
  points.append(at(0, 0, k2026 + int64_t{80} * 365 * 86400000));
  points.append(at(0, 0, -1001));
  points.finish();
  for (std::size_t i = 0; i < speeds.size(); ++i) {
    EXPECT_NEAR(points.speed_knots(i).value_or(-1), speeds[i].second.value_or(-1), 1e-9) << i;
  }
  EXPECT_EQ(points.time_ms(0), k2026 + 1500);
  EXPECT_EQ(points.time_ms(speeds.size()), std::nullopt);
  EXPECT_EQ(points.time_ms(speeds.size() + 1), -1001);
}

TEST(TrackValues, SampleRecordsReadAsTheJournalWritesThem) {
  TrackPoints points;
  points.start_samples();
  points.append(at(-33.8583333, 179.9999, k2026 + 3723000, 5.25));
  points.append(at(0.5, -179.9999, std::nullopt));  // unwrapped to 180.0001
  points.finish();
  ASSERT_GT(points.position(1).lon, 180 * track::kUnitsPerDegree);
  const auto a = points[0], b = points[1];
  EXPECT_EQ(a->Date + " " + a->Heure + " " + a->Vitesse, "01/01/2026 01:02:03 5.2 noeuds");
  EXPECT_EQ(a->Lat_degres + a->Lat_minutes + a->Lat_fraction + a->Lat_hemisphere, "33 51 5000S");
  EXPECT_EQ(a->Lon_degres + a->Lon_minutes + a->Lon_fraction + a->Lon_hemisphere, "179 59 9940E");
  EXPECT_EQ(b->Date + " " + b->Heure + b->Vitesse, "--/--/---- --:--:--");
  EXPECT_EQ(b->Lon_degres + b->Lon_minutes + b->Lon_fraction + b->Lon_hemisphere, "179 59 9940W");
}

TEST(TrackValues, Iso8601TimesWithDecimalsAndOffsets) {
  const std::vector<std::pair<std::string, std::optional<int64_t>>> cases = {
      {"2026-01-01T00:00:00Z", k2026},        {"2026-01-01T01:30:00.25+01:30", k2026 + 250},
      {"2025-12-31T19:00:00-0500", k2026},    {"2026-01-01 00:00:00.1239", k2026 + 123},
      {"2026-02-29T00:00:00Z", std::nullopt}, {"2026-01-01T00:00:00+1:00", std::nullopt},
      {"2026-01-01T00:00Z", std::nullopt},    {"2026-01-01T00:00:00.Z", std::nullopt},
  };
  for (const auto& [text, ms] : cases) EXPECT_EQ(track::iso8601_ms(text), ms) << text;
}

TEST(TrackStatistics, MovingTimeStopsAndBothSpeeds) {
  // Northwards at 10 s a point: 5 steps at about 100 m (19.4 kn), 11 steps
  // standing (110 s: a stop), one moving, 3 standing (30 s: a pause), then 2
  // moving again with no recorded speed.
  TrackPoints points;
  points.start_samples();
  constexpr double kStep = 100 / 111'200.0;  // degrees of latitude
  double lat = 45;
  int64_t ms = k2026;
  auto add = [&](int steps, double moved, std::optional<double> knots) {
    for (int i = 0; i < steps; ++i, ms += 10'000) points.append(at(lat += moved, 6, ms, knots));
  };
  add(6, kStep, 19.4);
  add(11, 0, 0.1);
  add(1, kStep, 19.4);
  add(3, 0, 0.0);
  add(2, kStep, std::nullopt);
  points.finish();
  const track::TrackStatistics s = track::track_statistics(points, points.size() + 5, 0);
  EXPECT_EQ(s.points, 23u);
  EXPECT_EQ(s.stop_count, 1);
  EXPECT_DOUBLE_EQ(s.stopped_time_s, 110);
  EXPECT_DOUBLE_EQ(s.moving_time_s, 80);
  EXPECT_DOUBLE_EQ(s.duration_s, 220);
  EXPECT_EQ(s.first_time_ms, k2026);
  EXPECT_EQ(s.last_time_ms, k2026 + 220'000);
  EXPECT_NEAR(s.distance_m, 800, 2);
  EXPECT_NEAR(*s.average_speed_kn_computed, s.distance_m / 220 * 3600 / 1852, 1e-9);
  EXPECT_NEAR(*s.moving_average_speed_kn, s.distance_m / 80 * 3600 / 1852, 1e-9);
  EXPECT_NEAR(*s.max_speed_kn_computed, 19.4, 0.2);
  EXPECT_DOUBLE_EQ(*s.max_speed_kn_recorded, 19.4);
  EXPECT_NEAR(*s.average_speed_kn_recorded, (7 * 19.4 + 11 * 0.1) / 21, 1e-9);
  EXPECT_NEAR(s.min_lat, 45 + kStep, 1e-6);
  EXPECT_NEAR(s.max_lat, 45 + 9 * kStep, 1e-6);
  EXPECT_DOUBLE_EQ(s.min_lon, 6);

  const track::TrackStatistics stop = track::track_statistics(points, 6, 16);
  EXPECT_EQ(stop.stop_count, 1);
  EXPECT_DOUBLE_EQ(stop.moving_time_s, 0);
  EXPECT_EQ(stop.moving_average_speed_kn, std::nullopt);
  EXPECT_EQ(track::track_statistics(TrackPoints(), 0, 0).points, 0u);

  // A point without a time falls into the step around it.
  TrackPoints gap;
  gap.start_samples();
  for (const auto& [gap_lat, time] :
       {std::pair{45.0, std::optional(k2026)}, {45.001, std::nullopt}, {45.002, k2026 + 20'000}}) {
    gap.append(at(gap_lat, 6, time));
  }
  gap.finish();
  const track::TrackStatistics g = track::track_statistics(gap, 0, 2);
  EXPECT_DOUBLE_EQ(g.moving_time_s, 20);
  EXPECT_NEAR(*g.max_speed_kn_computed, gap.Longueur_totale() / 20 * 3600 / 1852, 1e-9);
}

TEST(TrackValues, RecordsPast4GiBAreReadBackWhereTheyAre) {
  // A journal that holds its one record at each of these offsets only.
  const std::vector<uint64_t> offsets = {5, (uint64_t{1} << 32) + 7, (uint64_t{1} << 32) + 99, uint64_t{1} << 33};
  struct Sparse : track::TextSource {
    explicit Sparse(std::vector<uint64_t> at) : TextSource(""), at_(std::move(at)) {}
    std::optional<std::size_t> read_at(uint64_t offset, char* buffer, std::size_t capacity) const override {
      const std::string r = std::find(at_.begin(), at_.end(), offset) == at_.end() ? std::string(70, 'x') : line;
      r.copy(buffer, capacity);
      return std::min(r.size(), capacity);
    }
    std::string line = viewer_test::record();
    std::vector<uint64_t> at_;
  };
  auto source = std::make_shared<Sparse>(offsets);
  const std::optional<track::JournalLine> line = track::scan_journal_line(source->line);
  TrackPoints points;
  points.start(source);
  for (const uint64_t offset : offsets) points.append(offset, source->line, *line);
  points.finish();
  for (std::size_t i = 0; i < offsets.size(); ++i) EXPECT_TRUE(points[i].has_value()) << i;
}
