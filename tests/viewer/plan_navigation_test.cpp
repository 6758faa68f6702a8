#include "viewer/plan_navigation.h"

#include "support/example_tracks.h"
#include "track/journal_loader.h"

#include <gtest/gtest.h>

using namespace viewer;

// From every zoom step to the next and back, at 60° N where the longitude
// scale changes fastest with the centre's latitude: the place under the
// pointer stays within a pixel.
TEST(PlanNavigation, ZoomingKeepsThePlaceUnderThePointer) {
  PlanScale scale;
  Calcul_echelle(scale, 0, 60, 0);
  scale.Centre_lat = 60 * int64_t{track::kUnitsPerDegree};
  for (int zoom = 1; zoom < 2 * kZoomCount - 1; ++zoom) {
    const int index = zoom < kZoomCount ? zoom : 2 * kZoomCount - 2 - zoom;
    const PlanPosition under = position_at(scale, 650.5, 40.5);
    zoom_at(scale, index, 650, 40);
    const PixelPosition p = Vers_pixel(scale, under.lat, under.lon);
    EXPECT_NEAR(p.x, 650, 1) << index;
    EXPECT_NEAR(p.y, 40, 1) << index;
  }
}

// The track across 180° in Fiji: centred past 180° as its longitudes run,
// its 2.5 km (250 px) whole at the highest zoom.
TEST(PlanNavigation, TheWholeTrackViewHoldsATrackAcrossThe180thMeridian) {
  track::TrackPoints points;
  EXPECT_FALSE(whole_track_view(points, kPlanWidth, kPlanHeight, 8));
  const viewer_test::ExampleTrack& fiji = viewer_test::kExampleTracks.back();
  ASSERT_EQ(track::read_journal(std::make_shared<track::TextSource>(viewer_test::journal(fiji)), points, {}).kind,
            track::LoadOutcome::Kind::Loaded);
  const std::optional<TrackView> view = whole_track_view(points, kPlanWidth, kPlanHeight, 8);
  ASSERT_TRUE(view);
  EXPECT_GT(view->centre.lon, 180 * int64_t{track::kUnitsPerDegree});
  EXPECT_EQ(kZoomItems[static_cast<std::size_t>(view->zoom_index)], std::string("1000 %"));
}

// On a map, a tall track in Lapland (the flat plan's 5 % step holds it, not Mercator's) and its
// mirror in the south: whole inside the margins at the step chosen, not at the next one.
TEST(PlanNavigation, OnAMapTheWholeTrackViewFitsTheMercatorPlan) {
  for (const double sign : {1.0, -1.0}) {
    std::string text;
    for (int i = 0; i <= 100; ++i)
      text += viewer_test::record_at(viewer_test::units(sign * (60.5 + 0.093 * i)), viewer_test::units(25 + 0.003 * i));
    track::TrackPoints points;
    ASSERT_EQ(track::read_journal(std::make_shared<track::TextSource>(text), points, {}).kind,
              track::LoadOutcome::Kind::Loaded);
    const TrackView view = whole_track_view(points, kPlanWidth, kPlanHeight, 8, true).value();
    for (const int zoom : {view.zoom_index, view.zoom_index + 1}) {
      PlanScale scale{.Centre_lon = view.centre.lon, .Centre_lat = view.centre.lat, .on_map = true};
      const int64_t magnitude = std::llabs(view.centre.lat);  // the viewer's reference: degrees and minutes
      Calcul_echelle(scale, zoom, int32_t(magnitude / track::kUnitsPerDegree), int32_t(magnitude / 10000 % 60));
      bool inside = true;
      for (std::size_t i = 0; i < points.size(); ++i) {
        const PixelPosition p = Vers_pixel(scale, points.position(i).lat, points.position(i).lon);
        inside = inside && p.x >= 8 && p.x < kPlanWidth - 8 && p.y >= 8 && p.y < kPlanHeight - 8;
      }
      EXPECT_EQ(inside, zoom == view.zoom_index) << sign << " zoom " << zoom;
    }
  }
}
