#include "viewer/map/web_mercator.h"

#include "viewer/plan_geometry.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace viewer::map {
namespace {

// Tiles and offsets in them worked out independently from the slippy-map
// formulas; 13/4148/2818 is the server's tile of the Eiffel tower.
struct KnownPoint {
  double lat, lon;
  int zoom, x, y;
  double dx, dy;
};
constexpr KnownPoint kKnown[] = {
    {48.8583701, 2.2944813, 0, 0, 0, 129.63, 88.07},
    {48.8583701, 2.2944813, 13, 4148, 2818, 54.32, 56.18},
    {48.8583701, 2.2944813, 19, 265485, 180366, 148.63, 11.58},
    {-33.8567844, 151.2152967, 7, 117, 76, 195.95, 206.51},
    {-33.8567844, 151.2152967, 19, 482367, 314600, 60.78, 23.74},
    {64.1466, -21.9426, 13, 3596, 2177, 175.09, 31.42},
};

TEST(WebMercator, AKnownPointLandsOnItsTileWithinAPixel) {
  for (const KnownPoint& k : kKnown) {
    for (const double scale : {1.0, 0.75, 1.4}) {
      // Centred away from the point, so the point is not simply the middle.
      const LatLon centre = lat_lon({(k.x + 0.3) * kTileSize, (k.y + 0.8) * kTileSize}, k.zoom);
      const MapView view{centre, {k.zoom, scale}, 715, 539};
      const auto tiles = tiles_in_view(view);
      const auto placed = std::find_if(tiles.begin(), tiles.end(), [&](const TilePlacement& p) {
        return p.tile == TileId{k.zoom, k.x, k.y};
      });
      ASSERT_NE(placed, tiles.end()) << k.zoom;
      const MapView::Point screen = view.to_screen({k.lat, k.lon});
      EXPECT_NEAR(screen.x - placed->left, k.dx * scale, 1) << k.lat << " z" << k.zoom << " s" << scale;
      EXPECT_NEAR(screen.y - placed->top, k.dy * scale, 1) << k.lat << " z" << k.zoom << " s" << scale;
      const LatLon back = view.to_lat_lon(screen);
      EXPECT_NEAR(back.lat, k.lat, 1e-9);
      EXPECT_NEAR(back.lon, k.lon, 1e-9);
    }
  }
}

TEST(WebMercator, ZoomStepsKeepTheirResolutionOnTheNearestTileZoom) {
  struct Case {
    int step;
    double latitude;
    int min_zoom, max_zoom, zoom;
  };
  for (const Case& c : {Case{0, 0, 0, 19, 4}, Case{19, 0, 0, 19, 14}, Case{8, 60, 0, 19, 10}, Case{19, -80, 0, 19, 11},
                        Case{19, 0, 0, 12, 12}, Case{0, 45, 6, 19, 6}}) {
    const TileZoom t = tile_zoom_for_step(c.step, c.latitude, c.min_zoom, c.max_zoom);
    EXPECT_EQ(t.zoom, c.zoom) << c.step << " at " << c.latitude;
    // Ground metres per screen pixel must be the step's own, whatever the zoom.
    const double metres_per_tile_pixel = 156543.03392804097 * std::cos(c.latitude * M_PI / 180) / std::exp2(t.zoom);
    EXPECT_NEAR(metres_per_tile_pixel / t.scale * kZoomFactors[c.step], 1, 1e-9);
    if (c.zoom > c.min_zoom && c.zoom < c.max_zoom) {
      EXPECT_TRUE(t.scale > 0.7 && t.scale < 1.42) << t.scale;
    }
  }
}

TEST(WebMercator, ViewTilesCoverTheViewNearestFirstWrapAndStopAtThePoles) {
  const MapView view{{0.0, 179.99}, {3, 1.0}, 715, 539};
  const auto tiles = tiles_in_view(view, 1);
  // 715 x 539 pixels across the antimeridian: columns 6, 7, 0, 1 and rows
  // 2 to 5 are in view, one more on each side with the ring.
  EXPECT_EQ(tiles.size(), 6u * 6u);
  EXPECT_EQ(tiles.front().tile, (TileId{3, 7, 3}));
  for (const TilePlacement& p : tiles) EXPECT_TRUE(p.tile.x >= 0 && p.tile.x < 8 && p.tile.y >= 0 && p.tile.y < 8);
  const MapView polar{{84.0, 0.0}, {2, 1.0}, 715, 539};
  for (const TilePlacement& p : tiles_in_view(polar, 1)) EXPECT_GE(p.tile.y, 0);
  EXPECT_EQ(tms_row(0, 3), 7);
  EXPECT_EQ(wrapped_column(-1, 3), 7);
}

}  // namespace
}  // namespace viewer::map
