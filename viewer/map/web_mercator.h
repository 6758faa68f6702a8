// Web Mercator, the projection of raster tiles: positions in degrees to
// "world pixels" at a tile zoom (the world is 256 * 2^zoom pixels square,
// x from the antimeridian eastwards, y from the north edge at 85.0511°
// southwards), the tiles a view covers, and the viewer's zoom steps as a tile
// zoom and a scale.
#pragma once

#include "viewer/map/tile_id.h"

#include <vector>

namespace viewer::map {

inline constexpr int kTileSize = 256;
inline constexpr double kMaxLatitude = 85.05112877980659;  // the square world's edge
inline constexpr int kDeepestZoom = 19;                    // what public servers offer

struct WorldPixel {
  double x;
  double y;
};
struct LatLon {
  double lat;
  double lon;
};

// Longitudes past ±180° go on past the world's edge (the viewer keeps tracks
// unwrapped); latitudes are clamped to the square world.
WorldPixel world_pixel(LatLon position, int zoom);
LatLon lat_lon(WorldPixel pixel, int zoom);

// The row of `y` counted from the south, as MBTiles (TMS) stores it; the
// relation is its own inverse.
inline int tms_row(int y, int zoom) { return (1 << zoom) - 1 - y; }
// A column brought into the world by whole turns.
int wrapped_column(int x, int zoom);

// A zoom step of the viewer (an index of viewer::kZoomFactors, pixels per
// metre) at a latitude, as the tile zoom whose ground resolution is nearest to
// it in ratio, and the scale (screen pixels per tile pixel, 1/sqrt 2 to
// sqrt 2 between the source's zoom limits) that gives the step's exact
// resolution. At the equator the steps "1 %" to "1000 %" fall on zooms 4 to
// 14; towards the poles on lower ones.
struct TileZoom {
  int zoom;
  double scale;
};
TileZoom tile_zoom_for_step(int zoom_index, double latitude, int min_zoom = 0, int max_zoom = kDeepestZoom);
// The same for a plan of `pixels_per_radian` screen pixels per radian of
// longitude (the step's resolution at its latitude times the equator's radius).
TileZoom tile_zoom_for_resolution(double pixels_per_radian, int min_zoom = 0, int max_zoom = kDeepestZoom);

// What the window shows: a centre, a tile zoom and scale, a size in pixels.
struct MapView {
  LatLon centre;
  TileZoom tile_zoom;
  int width;
  int height;

  struct Point {
    double x;
    double y;
  };
  Point to_screen(LatLon position) const;
  LatLon to_lat_lon(Point screen) const;
};

// A tile and where it goes on the screen (a square of side `size`).
struct TilePlacement {
  TileId tile;
  double left;
  double top;
  double size;
};
// The tiles covering the view plus `ring` tiles around it, nearest to the
// centre first (so they are fetched first). Rows beyond the poles are left
// out; columns are wrapped round the world.
std::vector<TilePlacement> tiles_in_view(const MapView& view, int ring = 0);

}  // namespace viewer::map
