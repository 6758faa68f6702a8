#include "viewer/plan_geometry.h"

#include "track/track_points.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace viewer;

namespace {

constexpr int kItem1 = 0, kItem80 = 7, kItem100 = 8, kItem1000 = 19;

PlanScale scale_at(int zoom_index, int degres, int minutes = 0) {
  PlanScale s;
  Calcul_echelle(s, zoom_index, degres, minutes);
  return s;
}

}  // namespace

TEST(CalculEchelle, SetsTheScaleOfTheZoomItemAndReferenceLatitude) {
  const PlanScale s = scale_at(kItem100, 45);
  EXPECT_EQ(s.Facteur_zoom, 0.01f);
  EXPECT_EQ(s.Metres_par_seconde, 30.896173f);
  EXPECT_EQ(s.Echelle_lat, static_cast<float>(30.896173f * 0.01));
  EXPECT_EQ(s.Echelle_lon, 21.846893f);
  // 45° 30' is 45.5°; 45° 0' exactly 45°.
  EXPECT_EQ(scale_at(kItem100, 45, 30).Echelle_lon,
            static_cast<float>(std::cos(45.5 * M_PI / 180) * 30.89617322530864));
  EXPECT_EQ(scale_at(kItem100, 45, 0).Echelle_lon, 21.846893f);
}

TEST(CalculEchelle, RefusesReferencesOffTheGlobeAndChangesNothing) {
  PlanScale s = scale_at(kItem80, 10);
  const PlanScale before = s;
  for (auto [d, m] : {std::pair{91, 0}, {45, 60}, {-1, 0}, {45, -1}}) {
    EXPECT_THROW(Calcul_echelle(s, kItem1000, d, m), std::out_of_range);
  }
  EXPECT_EQ(s.Facteur_zoom, before.Facteur_zoom);
  EXPECT_EQ(s.Echelle_lon, before.Echelle_lon);
  EXPECT_NO_THROW(Calcul_echelle(s, kItem1000, 90, 59));
}

TEST(CalculEchelle, WithoutAZoomItemKeepsTheZoomItHad) {
  PlanScale s;  // as the window's show leaves it: 1.0 and 1.0
  Calcul_echelle(s, -1, 45, 0);
  EXPECT_EQ(s.Facteur_zoom, 1.0f);
  EXPECT_EQ(s.Echelle_lat, 1.0f);
  EXPECT_EQ(s.Echelle_lon, 21.846893f);
}

TEST(ScaleBar, LabelsTruncateSinglePrecisionProducts) {
  using L = std::array<std::string, 5>;
  EXPECT_EQ(scale_bar_labels(static_cast<float>(kZoomFactors[kItem1])),
            (L{"360 Km", "720 Km", "1080 Km", "1440 Km", "1800 Km"}));
  EXPECT_EQ(scale_bar_labels(static_cast<float>(kZoomFactors[kItem80])),
            (L{"4.5 Km", "9.0 Km", "13.5 Km", "18.0 Km", "22.5 Km"}));
  EXPECT_EQ(scale_bar_labels(static_cast<float>(kZoomFactors[kItem100])),
            (L{"3.6 Km", "7.2 Km", "10.8 Km", "14.4 Km", "18.0 Km"}));
  EXPECT_EQ(scale_bar_labels(static_cast<float>(kZoomFactors[kItem1000])),
            (L{"359 m", "718 m", "1.1 Km", "1.4 Km", "1.8 Km"}));
}

TEST(VersPixel, PlacesPointsAroundTheCentre) {
  PlanScale s = scale_at(kItem100, 45);
  s.Centre_lat = track::Secondes_arc(45, 0, 0);
  s.Centre_lon = track::Secondes_arc(6, 0, 0);
  const PixelPosition centre = Vers_pixel(s, s.Centre_lat, s.Centre_lon);
  EXPECT_EQ(centre.x, 357);
  EXPECT_EQ(centre.y, 269);
  EXPECT_TRUE(centre.visible);
  const PixelPosition north = Vers_pixel(s, s.Centre_lat + 3600, s.Centre_lon);
  EXPECT_EQ(269 - north.y, 1112);
  EXPECT_FALSE(north.visible);
  const PixelPosition east = Vers_pixel(s, s.Centre_lat, s.Centre_lon + 3600);
  EXPECT_EQ(east.x - 357, 786);
  EXPECT_FALSE(east.visible);
  // Visible means inside 0..714 x 0..538.
  const PixelPosition corner = Vers_pixel(s, s.Centre_lat + 870, s.Centre_lon - 1629);
  EXPECT_EQ(corner.y, 0);
  EXPECT_EQ(corner.x, 1);
  EXPECT_TRUE(corner.visible);
}

TEST(PlanProjection, AgreesWithVersPixelAtEveryEdgeOfTheDrawing) {
  std::mt19937 random(3);
  for (int zoom : {kItem1, kItem80, kItem1000}) {
    for (int degres : {0, 45, 89, 90}) {
      PlanScale s = scale_at(zoom, degres, 59 * (degres % 2));
      s.Centre_lat = track::Secondes_arc(degres, 0, 0);
      s.Centre_lon = track::Secondes_arc(6, 0, 0);
      const PlanProjection projection(s);
      // Within three pixels of each edge of the drawing, where a pixel more or
      // less matters, and of its centre; an edge beyond the int32 range is clamped.
      const double lon_factor = double{s.Facteur_zoom} * s.Echelle_lon, lat_factor = s.Echelle_lat;
      const double lons[] = {s.Centre_lon - 357 / lon_factor, s.Centre_lon + 358 / lon_factor, double(s.Centre_lon)};
      const double lats[] = {s.Centre_lat - 270 / lat_factor, s.Centre_lat + 269 / lat_factor, double(s.Centre_lat)};
      auto near = [&](const double* around, double factor) {
        const double at = std::clamp(around[std::uniform_int_distribution(0, 2)(random)], -2e9, 2e9);
        const int reach = static_cast<int>(std::clamp(3 / factor, 10.0, 1e6));
        return static_cast<int32_t>(at) + std::uniform_int_distribution(-reach, reach)(random);
      };
      int seen[2] = {};
      for (int i = 0; i < 20000; ++i) {
        const int32_t lat = near(lats, lat_factor);
        const int32_t lon = near(lons, lon_factor);
        const PixelPosition p = Vers_pixel(s, lat, lon);
        ASSERT_EQ(projection.visible(lat, lon), p.visible) << zoom << " " << degres << " " << lat << " " << lon;
        ASSERT_EQ(projection.x(lon), p.x);
        ASSERT_EQ(projection.y(lat), p.y);
        ++seen[p.visible];
      }
      EXPECT_TRUE(seen[0] > 0 && seen[1] > 0) << zoom << " " << degres;
    }
  }
}

TEST(VersCoordonnees, RoundTripsWithVersPixel) {
  for (int zoom : {kItem1, kItem80, kItem1000}) {
    PlanScale s = scale_at(zoom, 48, 7);
    s.Centre_lat = track::Secondes_arc(48, 7, 380);
    s.Centre_lon = track::Secondes_arc(11, 31, 0);
    for (auto [x, y] : {std::pair{0, 0}, {357, 269}, {714, 538}, {100, 400}}) {
      const Coordonnees c = Vers_coordonnees(s, x, kPlanHeight - y);
      ASSERT_TRUE(c.valide);
      const int32_t lat = c.lat_degres * 3600 + c.lat_minutes * 60 + c.lat_milliemes * 60 / 1000;
      const int32_t lon = c.lon_degres * 3600 + c.lon_minutes * 60 + c.lon_milliemes * 60 / 1000;
      const PixelPosition p = Vers_pixel(s, lat, lon);
      // Both ways truncate to whole arc-seconds, which at 1000 % are 3 pixels wide.
      const int tolerance = 1 + static_cast<int>(s.Facteur_zoom * s.Echelle_lon) + static_cast<int>(s.Echelle_lat);
      EXPECT_NEAR(p.x, x, tolerance) << zoom;
      EXPECT_NEAR(p.y, y, tolerance) << zoom;
    }
  }
}

TEST(VersCoordonnees, GivesNegativePartsAndFlagsPositionsOffTheGlobe) {
  PlanScale s = scale_at(kItem100, 0);
  s.Centre_lat = 0;
  s.Centre_lon = 0;
  const Coordonnees c = Vers_coordonnees(s, 0, 0);  // bottom left: south-west of 0,0
  EXPECT_LT(c.lat_degres, 1);
  EXPECT_LT(c.lat_minutes, 0);
  EXPECT_LT(c.lon_minutes, 0);
  EXPECT_TRUE(c.valide);
  s.Centre_lat = track::Secondes_arc(90, 0, 0);
  EXPECT_FALSE(Vers_coordonnees(s, 357, 269).valide);
  s.Centre_lat = 0;
  s.Centre_lon = track::Secondes_arc(180, 0, 0);
  EXPECT_FALSE(Vers_coordonnees(s, 357, 269).valide);
  EXPECT_TRUE(Vers_coordonnees(s, 300, 269).valide);
}

TEST(Panning, MovesByTheStatedStepsAndStopsAtTheEndsOfTheGlobe) {
  PlanScale s = scale_at(kItem100, 45);
  s.Centre_lat = track::Secondes_arc(45, 0, 0);
  s.Centre_lon = 0;
  ASSERT_TRUE(Deplacer(s, Pan::North));
  EXPECT_EQ(s.Centre_lat, track::Secondes_arc(45, 0, 0) + static_cast<int32_t>(100.0 / s.Echelle_lat));
  ASSERT_TRUE(Deplacer(s, Pan::West));
  EXPECT_EQ(s.Centre_lon, -3000);  // 30 / 0.01

  // Top edge at 90° or beyond: north does nothing; south still moves.
  s.Centre_lat = track::Secondes_arc(90, 0, 0) - 100;
  const PlanScale top = s;
  EXPECT_FALSE(Deplacer(s, Pan::North));
  EXPECT_EQ(s.Centre_lat, top.Centre_lat);
  EXPECT_TRUE(Deplacer(s, Pan::South));
  // Left edge at -180° or beyond: west does nothing.
  s.Centre_lon = -track::Secondes_arc(180, 0, 0) + 100;
  EXPECT_FALSE(Deplacer(s, Pan::West));
  EXPECT_TRUE(Deplacer(s, Pan::East));
  s.Centre_lon = track::Secondes_arc(180, 0, 0);
  EXPECT_FALSE(Deplacer(s, Pan::East));
  s.Centre_lat = -track::Secondes_arc(90, 0, 0);
  EXPECT_FALSE(Deplacer(s, Pan::South));
}

TEST(EdgeClicks, PanTowardsEverySideTheyAreNear) {
  EXPECT_EQ(edge_click_pans(5, 5), (std::vector<Pan>{Pan::West, Pan::North}));
  EXPECT_EQ(edge_click_pans(700, 530), (std::vector<Pan>{Pan::East, Pan::South}));
  EXPECT_TRUE(edge_click_pans(20, 20).empty());
  EXPECT_TRUE(edge_click_pans(695, 519).empty());
  EXPECT_EQ(edge_click_pans(696, 300), (std::vector<Pan>{Pan::East}));
  EXPECT_EQ(edge_pointer(10, 5), EdgePointer::Horizontal);
  EXPECT_EQ(edge_pointer(300, 5), EdgePointer::Vertical);
  EXPECT_EQ(edge_pointer(300, 520), EdgePointer::Vertical);
  EXPECT_EQ(edge_pointer(300, 300), EdgePointer::Normal);
}

TEST(GridSteps, KeepLinesAbout30PixelsApart) {
  EXPECT_EQ(grid_steps(scale_at(kItem1000, 45)).lon, 1);
  EXPECT_EQ(grid_steps(scale_at(kItem1000, 45)).lat, 1);
  const PlanScale one_percent = scale_at(kItem1, 45);  // a degree of latitude spans 11 pixels
  EXPECT_EQ(grid_steps(one_percent).lat, 3);
  EXPECT_EQ(grid_steps(one_percent).lon, 5);  // 7 pixels
  // At the pole a degree of longitude spans nothing: one meridian, no division by zero.
  EXPECT_EQ(grid_steps(scale_at(kItem1, 90)).lon, 361);
}
