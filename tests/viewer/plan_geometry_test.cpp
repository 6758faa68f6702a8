#include "viewer/plan_geometry.h"

#include "track/track_points.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace viewer;

namespace {

constexpr int kItem1 = 0, kItem80 = 7, kItem100 = 8, kItem1000 = 19;

constexpr int64_t kDegree = track::kUnitsPerDegree;

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
  s.Centre_lat = 45 * kDegree;
  s.Centre_lon = 6 * kDegree;
  const PixelPosition centre = Vers_pixel(s, s.Centre_lat, s.Centre_lon);
  EXPECT_EQ(centre.x, 357);
  EXPECT_EQ(centre.y, 269);
  EXPECT_TRUE(centre.visible);
  const PixelPosition north = Vers_pixel(s, s.Centre_lat + kDegree, s.Centre_lon);
  EXPECT_EQ(269 - north.y, 1112);
  EXPECT_FALSE(north.visible);
  const PixelPosition east = Vers_pixel(s, s.Centre_lat, s.Centre_lon + kDegree);
  EXPECT_EQ(east.x - 357, 786);
  EXPECT_FALSE(east.visible);
  // Visible means inside 0..714 x 0..538; 870" north and 1629" west.
  const PixelPosition corner = Vers_pixel(s, s.Centre_lat + 145'000, s.Centre_lon - 271'500);
  EXPECT_EQ(corner.y, 0);
  EXPECT_EQ(corner.x, 1);
  EXPECT_TRUE(corner.visible);
}

TEST(PlanProjection, AgreesWithVersPixelAtEveryEdgeOfTheDrawing) {
  std::mt19937 random(3);
  for (int zoom : {kItem1, kItem80, kItem1000}) {
    for (int degres : {0, 45, 89, 90}) {
      PlanScale s = scale_at(zoom, degres, 59 * (degres % 2));
      s.Centre_lat = (degres % 2 ? -degres : degres) * int64_t{kDegree};
      s.Centre_lon = -6 * kDegree;
      const PlanProjection projection(s);
      // Within three pixels of each edge of the drawing, where a pixel more or
      // less matters, and of its centre; an edge beyond the int32 range is clamped.
      const double lon_factor = double{s.Facteur_zoom} * s.Echelle_lon * track::kSecondsPerUnit;
      const double lat_factor = s.Echelle_lat * track::kSecondsPerUnit;
      const double lons[] = {s.Centre_lon - 357 / lon_factor, s.Centre_lon + 358 / lon_factor, double(s.Centre_lon)};
      const double lats[] = {s.Centre_lat - 270 / lat_factor, s.Centre_lat + 269 / lat_factor, double(s.Centre_lat)};
      auto near = [&](const double* around, double factor) {
        const double at = std::clamp(around[std::uniform_int_distribution(0, 2)(random)], -2e9, 2e9);
        const int reach = static_cast<int>(std::clamp(3 / factor, 10.0, 1e8));
        return static_cast<int32_t>(at) + std::uniform_int_distribution(-reach, reach)(random);
      };
      int seen[2] = {};
      for (int i = 0; i < 20000; ++i) {
        const int32_t lat = near(lats, lat_factor);
        const int32_t lon = near(lons, lon_factor);
        const PixelPosition p = Vers_pixel(s, lat, lon);
        ASSERT_EQ(projection.visible({lat, lon}), p.visible) << zoom << " " << degres << " " << lat << " " << lon;
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
    s.Centre_lat = 48 * kDegree + 70'380;
    s.Centre_lon = -(11 * kDegree + 310'000);
    for (auto [x, y] : {std::pair{0, 0}, {357, 269}, {714, 538}, {100, 400}}) {
      const Coordonnees c = Vers_coordonnees(s, x, kPlanHeight - y);
      ASSERT_TRUE(c.valide);
      const int64_t lat = c.lat_degres * kDegree + c.lat_minutes * int64_t{10'000} + c.lat_milliemes * int64_t{10};
      const int64_t lon = c.lon_degres * kDegree + c.lon_minutes * int64_t{10'000} + c.lon_milliemes * int64_t{10};
      const PixelPosition p = Vers_pixel(s, lat, lon);
      // Thousandths of a minute are a fifth of a pixel at 1000 %.
      EXPECT_NEAR(p.x, x, 1) << zoom;
      EXPECT_NEAR(p.y, y, 1) << zoom;
    }
  }
}

TEST(VersCoordonnees, GivesNegativePartsAndThePlaceBeyond180Degrees) {
  PlanScale s = scale_at(kItem100, 0);
  const Coordonnees c = Vers_coordonnees(s, 0, 0);  // bottom left: south-west of 0,0
  EXPECT_LT(c.lat_degres, 1);
  EXPECT_LT(c.lat_minutes, 0);
  EXPECT_LT(c.lon_minutes, 0);
  EXPECT_TRUE(c.valide);
  s.Centre_lat = 90 * kDegree;
  EXPECT_FALSE(Vers_coordonnees(s, 357, 269).valide);
  // The plan goes on east of 180°: 190° there is 170° west.
  s.Centre_lat = 0;
  s.Centre_lon = 190 * kDegree;
  const Coordonnees beyond = Vers_coordonnees(s, 357, 269);
  EXPECT_TRUE(beyond.valide);
  EXPECT_EQ(beyond.lon_degres, -170);
  EXPECT_EQ(longitude_on_the_globe(-180 * kDegree), -180 * kDegree);
  EXPECT_EQ(longitude_on_the_globe(-181 * kDegree), 179 * kDegree);
  EXPECT_EQ(longitude_on_the_globe(kDegree * 360 * 3 + 5), 5);
}

TEST(Panning, MovesByTheStatedStepsStopsAtThePolesAndGoesRoundTheGlobe) {
  PlanScale s = scale_at(kItem100, 45);
  s.Centre_lat = 45 * kDegree;
  s.Centre_lon = 0;
  ASSERT_TRUE(Deplacer(s, Pan::North));
  EXPECT_NEAR(Vers_pixel(s, 45 * kDegree, 0).y, 269 + 100, 1);
  ASSERT_TRUE(Deplacer(s, Pan::West));
  EXPECT_EQ(s.Centre_lon, -500'000);  // 30 / 0.01 arc-seconds

  // Top edge at 90° or beyond: north does nothing; south still moves.
  s.Centre_lat = 90 * kDegree - 16'667;
  const PlanScale top = s;
  EXPECT_FALSE(Deplacer(s, Pan::North));
  EXPECT_EQ(s.Centre_lat, top.Centre_lat);
  EXPECT_TRUE(Deplacer(s, Pan::South));
  s.Centre_lat = -90 * kDegree;
  EXPECT_FALSE(Deplacer(s, Pan::South));
  // West of -180° and east of 180° the plan goes on.
  s.Centre_lat = 0;
  s.Centre_lon = -180 * kDegree;
  EXPECT_TRUE(Deplacer(s, Pan::West));
  s.Centre_lon = 180 * kDegree;
  EXPECT_TRUE(Deplacer(s, Pan::East));
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

// On a map a degree of latitude spans 1/cos(latitude) times the equator's:
// parallels about 30 pixels apart at the view's latitude, no further.
TEST(GridSteps, OnAMapSpaceTheParallelsAtTheViewsLatitude) {
  for (const int degrees : {0, 45, 65, -70}) {
    PlanScale map = scale_at(kItem1, std::abs(degrees));
    map.on_map = true;
    map.Centre_lat = degrees * kDegree;
    const int32_t step = grid_steps(map).lat;
    auto spacing = [&](int32_t apart) { return Vers_pixel(map, 0, 0).y - Vers_pixel(map, apart * kDegree, 0).y; };
    auto around = [&](int32_t apart) { return std::abs(spacing(degrees + apart) - spacing(degrees)); };
    EXPECT_GE(around(step), 28) << degrees;
    EXPECT_TRUE(step == 1 || around(step - 1) < 30) << degrees;
  }
}
