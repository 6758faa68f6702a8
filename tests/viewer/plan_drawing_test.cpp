#include "viewer/plan_drawing.h"

#include "support/example_tracks.h"
#include "support/journal_text.h"
#include "track/journal_loader.h"
#include "viewer/speed_colours.h"
#include "viewer/track_northings.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace viewer;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGrey = qRgb(192, 192, 192);
const QRgb kBlack = qRgb(0, 0, 0);

constexpr int64_t kS = 167;  // about an arc-second, in ten-thousandths of a minute

// A plan where one arc-second is about 3 pixels, centred near its origin.
class PlanDrawing : public ::testing::Test {
 protected:
  PlanDrawing() {
    Calcul_echelle(scale, 19, 0, 0);  // "1000 %" at the equator
    scale.Centre_lat = 50 * kS;
    scale.Centre_lon = 80 * kS;
  }

  // Positions in arc-seconds.
  void track(std::initializer_list<std::pair<int32_t, int32_t>> seconds) {
    std::string text;
    for (auto [lat, lon] : seconds) text += viewer_test::record_at(lat * 167, lon * 167);
    load(text);
  }
  void load(const std::string& text) {
    ASSERT_EQ(track::read_journal(std::make_shared<track::TextSource>(text), points, {}).kind,
              track::LoadOutcome::Kind::Loaded);
  }

  // The track alone, on white.
  QImage trace(std::size_t pas = 1) {
    QImage image = new_plan_bitmap();
    Tracer_parcours(image, scale, points, pas);
    return image;
  }

  QRgb at(const QImage& image, int32_t lat, int32_t lon) const {
    const PixelPosition p = Vers_pixel(scale, lat * kS, lon * kS);
    return image.pixel(p.x, p.y);
  }

  int coloured(const QImage& image) const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != kWhite;
    return n;
  }

  PlanScale scale;
  track::TrackPoints points;
};

}  // namespace

TEST_F(PlanDrawing, OnePointDrawsNothingTwoPointsOneSegment) {
  track({{50, 60}});
  EXPECT_EQ(coloured(trace()), 0);
  track({{50, 60}, {50, 100}});
  const QImage image = trace();
  EXPECT_EQ(at(image, 50, 80), kBlue);
  const int length = Vers_pixel(scale, 50 * kS, 100 * kS).x - Vers_pixel(scale, 50 * kS, 60 * kS).x + 1;
  EXPECT_EQ(coloured(image), length);
}

TEST_F(PlanDrawing, SegmentsAlternateColoursAndTheLaterWinsWhereTheyCross) {
  // A square-ish loop whose fourth side (red) crosses the first (blue).
  track({{50, 40}, {50, 120}, {80, 120}, {80, 80}, {20, 80}});
  const QImage image = trace();
  EXPECT_EQ(at(image, 50, 60), kBlue);
  EXPECT_EQ(at(image, 65, 120), kRed);
  EXPECT_EQ(at(image, 80, 100), kBlue);
  EXPECT_EQ(at(image, 30, 80), kRed);
  EXPECT_EQ(at(image, 50, 80), kRed);   // crossing: the fourth segment came last
  EXPECT_EQ(at(image, 50, 120), kRed);  // shared corner: the second segment came last
}

TEST_F(PlanDrawing, SegmentsGoingOutAreNotDrawnSegmentsComingInAre) {
  // From inside out of the drawing and back in along the row of latitude 50.
  track({{20, 100}, {50, 400}, {50, 150}});
  const QImage image = trace();
  const int row = Vers_pixel(scale, 50 * kS, 0).y;
  const int from = Vers_pixel(scale, 50 * kS, 150 * kS).x;
  for (int x = from; x < kPlanWidth; ++x) EXPECT_EQ(image.pixel(x, row), kRed) << x;
  EXPECT_EQ(coloured(image), kPlanWidth - from);

  // The segment leading to the first visible point is not drawn either.
  track({{50, 400}, {50, 150}});
  EXPECT_EQ(coloured(trace()), 0);
}

TEST_F(PlanDrawing, AQuickRedrawVisitsEveryPasThPointAndAlternatesOnThem) {
  // Point 1 lies far off the line through points 0, 2 and 4.
  track({{50, 40}, {100, 60}, {50, 80}, {100, 100}, {50, 120}});
  const QImage image = trace(2);
  EXPECT_EQ(at(image, 50, 60), kBlue);
  EXPECT_EQ(at(image, 50, 100), kRed);
  EXPECT_EQ(at(image, 100, 60), kWhite);
}

// Each track is drawn as it lies, centred at "1000 %" (and the same on a map):
// every fix on the line, every leg its own way by its own length (north up, east to the right, a
// tenth of a pixel a metre within the plan's 1 % of flattening).
TEST_F(PlanDrawing, EveryTrackIsDrawnAsItLies) {
  for (const viewer_test::ExampleTrack& t : viewer_test::kExampleTracks) {
    SCOPED_TRACE(t.name);
    load(viewer_test::journal(t));
    auto pixel = [&](std::size_t i) { return Vers_pixel(scale, points.position(i).lat, points.position(i).lon); };
    const track::PointPosition first = points.position(0), last = points.position(points.size() - 1);
    Calcul_echelle(scale, 19, first.lat_degres(), first.lat_minutes());
    scale.Centre_lat = (int64_t{first.lat} + last.lat) / 2;
    scale.Centre_lon = (int64_t{first.lon} + last.lon) / 2;
    const QImage image = trace();
    for (std::size_t i = 0; i < points.size(); ++i) {
      ASSERT_TRUE(pixel(i).visible && image.pixel(pixel(i).x, pixel(i).y) != kWhite) << i;
    }
    // On a map, the northings kept for the track draw what working each out does.
    PlanScale map = scale;
    map.on_map = true;
    QImage kept = new_plan_bitmap(), each = new_plan_bitmap();
    Tracer_parcours(kept, map, points, 1, std::nullopt, TrackNorthings().of(points));
    Tracer_parcours(each, map, points, 1);
    EXPECT_EQ(kept, each);
    EXPECT_NE(coloured(each), 0);
    std::size_t start = 0;
    for (const viewer_test::Leg& leg : t.legs) {
      const std::size_t end = start + leg.steps;
      const double length = 0.1 * leg.step * leg.steps, radians = leg.azimuth * M_PI / 180;
      EXPECT_NEAR(pixel(end).x - pixel(start).x, length * std::sin(radians), 0.01 * length + 2) << end;
      EXPECT_NEAR(pixel(start).y - pixel(end).y, length * std::cos(radians), 0.01 * length + 2) << end;
      start = end;
    }
  }
}

TEST(PlanGrid, AtTheHighestZoomOneGreyLineOfEachKindCrossesTheDrawing) {
  PlanScale scale;
  Calcul_echelle(scale, 19, 45, 0);
  scale.Centre_lat = 45 * int64_t{track::kUnitsPerDegree};
  scale.Centre_lon = 6 * int64_t{track::kUnitsPerDegree};
  QImage image = new_plan_bitmap();
  draw_plan(image, scale, track::TrackPoints(), 1);
  EXPECT_EQ(image.pixel(357, 100), kGrey);
  EXPECT_EQ(image.pixel(600, 269), kGrey);
  int grey_elsewhere = 0;
  for (int y = 0; y < kPlanHeight; ++y)
    for (int x = 0; x < kPlanWidth; ++x) grey_elsewhere += x != 357 && y != 269 && image.pixel(x, y) == kGrey;
  EXPECT_EQ(grey_elsewhere, 0);
}

TEST(PlanGrid, LinesAtZeroDegreesAreBlack) {
  PlanScale scale;
  Calcul_echelle(scale, 3, 0, 0);  // "10 %": a degree spans 111 pixels
  QImage image = new_plan_bitmap();
  draw_plan(image, scale, track::TrackPoints(), 1);
  EXPECT_EQ(image.pixel(357, 100), kBlack);  // prime meridian
  EXPECT_EQ(image.pixel(300, 269), kBlack);  // equator
  EXPECT_EQ(image.pixel(357 + 111, 100), kGrey);
  EXPECT_EQ(image.pixel(300, 157), kGrey);
  // The grid goes on past 180° east.
  scale.Centre_lon = 180 * int64_t{track::kUnitsPerDegree};
  draw_plan(image, scale, track::TrackPoints(), 1);
  EXPECT_EQ(image.pixel(357 + 111, 100), kGrey);  // 181°: 179° west
  EXPECT_EQ(image.pixel(600, 269), kBlack);       // the equator at 182°
}

// A road due east along 17° S across 180°, then north: at "400 %" the grid's
// parallel runs on the very row of the road, and must not hide it.
TEST(PlanGrid, ATrackAlongAGridLineStaysInSight) {
  constexpr int32_t kSouth = -17 * track::kUnitsPerDegree, kStart = 179 * track::kUnitsPerDegree + 58 * 10000 + 20;
  std::string text;
  for (int i = 0; i < 140; ++i) {
    const int32_t lon = kStart + 39980 * i / 139;  // to 179° 58' W
    text +=
        viewer_test::record_at(kSouth, lon > 180 * track::kUnitsPerDegree ? lon - 360 * track::kUnitsPerDegree : lon);
  }
  for (int i = 1; i <= 43; ++i) text += viewer_test::record_at(kSouth + 250 * i, -kStart + 20);
  track::TrackPoints points;
  ASSERT_EQ(track::read_journal(std::make_shared<track::TextSource>(text), points, {}).kind,
            track::LoadOutcome::Kind::Loaded);
  PlanScale scale;
  Calcul_echelle(scale, 17, 16, 58);
  scale.Centre_lat = points.position(182).lat;
  scale.Centre_lon = points.position(182).lon;
  QImage image = new_plan_bitmap();
  draw_plan(image, scale, points, 1);
  const PixelPosition first = Vers_pixel(scale, kSouth, points.position(0).lon);
  EXPECT_EQ(Vers_pixel(scale, kSouth, 180 * int64_t{track::kUnitsPerDegree}).x - first.x, 142);
  for (int x = first.x; x <= Vers_pixel(scale, kSouth, points.position(139).lon).x; ++x) {
    ASSERT_TRUE(image.pixel(x, first.y) == kRed || image.pixel(x, first.y) == kBlue) << x;
  }
}

TEST_F(PlanDrawing, ByColourOfSpeedEachStepTakesItsEndsSpeedOnTheScaleOfTheTop) {
  EXPECT_EQ(speed_colour(std::nullopt, 10), qRgb(160, 160, 160));
  EXPECT_EQ(speed_colour(0, 10), QColor::fromHsv(240, 255, 220).rgb());
  EXPECT_EQ(speed_colour(5, 10), QColor::fromHsv(120, 255, 220).rgb());
  EXPECT_EQ(speed_colour(12, 10), QColor::fromHsv(0, 255, 220).rgb());
  track({{50, 60}, {50, 100}});  // both at the journal's 22 knots
  ASSERT_EQ(top_speed_knots(points), 22.0);
  QImage image = new_plan_bitmap();
  Tracer_parcours(image, scale, points, 1, 44.0);
  EXPECT_EQ(at(image, 50, 80), speed_colour(22, 44));
}
