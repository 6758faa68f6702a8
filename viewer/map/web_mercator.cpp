#include "viewer/map/web_mercator.h"

#include "viewer/plan_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace viewer::map {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
// Metres on the ground per tile pixel at zoom 0 on the equator: the WGS 84
// equator spread over 256 pixels.
constexpr double kEquatorMetresPerPixel = 2 * std::numbers::pi * 6378137.0 / kTileSize;

double world_size(int zoom) { return std::ldexp(double{kTileSize}, zoom); }

}  // namespace

WorldPixel world_pixel(LatLon position, int zoom) {
  const double size = world_size(zoom);
  const double lat = std::clamp(position.lat, -kMaxLatitude, kMaxLatitude) * kDegree;
  const double y = (1 - std::log(std::tan(lat) + 1 / std::cos(lat)) / std::numbers::pi) / 2;
  return {(position.lon + 180) / 360 * size, y * size};
}

LatLon lat_lon(WorldPixel pixel, int zoom) {
  const double size = world_size(zoom);
  const double n = std::numbers::pi * (1 - 2 * pixel.y / size);
  return {std::atan(std::sinh(n)) / kDegree, pixel.x / size * 360 - 180};
}

int wrapped_column(int x, int zoom) {
  const int columns = 1 << zoom;
  return ((x % columns) + columns) % columns;
}

TileZoom tile_zoom_for_step(int zoom_index, double latitude, int min_zoom, int max_zoom) {
  const double pixels_per_metre = kZoomFactors.at(static_cast<std::size_t>(zoom_index));
  const double lat = std::clamp(latitude, -kMaxLatitude, kMaxLatitude) * kDegree;
  return tile_zoom_for_resolution(
      kEquatorMetresPerPixel * kTileSize / (2 * std::numbers::pi) * std::cos(lat) * pixels_per_metre, min_zoom,
      max_zoom);
}

TileZoom tile_zoom_for_resolution(double pixels_per_radian, int min_zoom, int max_zoom) {
  // 2^exact tile pixels per metre-at-zoom-0 give one tile pixel per screen pixel.
  const double exact = std::log2(pixels_per_radian * 2 * std::numbers::pi / kTileSize);
  const int zoom = std::clamp(static_cast<int>(std::lround(exact)), min_zoom, max_zoom);
  return {zoom, std::exp2(exact - zoom)};
}

MapView::Point MapView::to_screen(LatLon position) const {
  const WorldPixel centre_pixel = world_pixel(centre, tile_zoom.zoom);
  const WorldPixel p = world_pixel(position, tile_zoom.zoom);
  return {(p.x - centre_pixel.x) * tile_zoom.scale + width / 2.0,
          (p.y - centre_pixel.y) * tile_zoom.scale + height / 2.0};
}

LatLon MapView::to_lat_lon(Point screen) const {
  const WorldPixel centre_pixel = world_pixel(centre, tile_zoom.zoom);
  return lat_lon({centre_pixel.x + (screen.x - width / 2.0) / tile_zoom.scale,
                  centre_pixel.y + (screen.y - height / 2.0) / tile_zoom.scale},
                 tile_zoom.zoom);
}

std::vector<TilePlacement> tiles_in_view(const MapView& view, int ring) {
  const int zoom = view.tile_zoom.zoom;
  const double scale = view.tile_zoom.scale;
  const WorldPixel centre = world_pixel(view.centre, zoom);
  const double left = centre.x - view.width / 2.0 / scale;
  const double top = centre.y - view.height / 2.0 / scale;
  const auto first_column = static_cast<int64_t>(std::floor(left / kTileSize)) - ring;
  const auto last_column = static_cast<int64_t>(std::floor((left + view.width / scale) / kTileSize)) + ring;
  const int rows = 1 << zoom;
  const auto first_row = std::max<int64_t>(static_cast<int64_t>(std::floor(top / kTileSize)) - ring, 0);
  const auto last_row =
      std::min<int64_t>(static_cast<int64_t>(std::floor((top + view.height / scale) / kTileSize)) + ring, rows - 1);

  std::vector<TilePlacement> placements;
  const double size = kTileSize * scale;
  for (int64_t row = first_row; row <= last_row; ++row) {
    for (int64_t column = first_column; column <= last_column; ++column) {
      const TileId tile{zoom, wrapped_column(static_cast<int>(column % rows), zoom), static_cast<int>(row)};
      placements.push_back({tile, (static_cast<double>(column) * kTileSize - left) * scale,
                            (static_cast<double>(row) * kTileSize - top) * scale, size});
    }
  }
  const double middle_x = view.width / 2.0 - size / 2;
  const double middle_y = view.height / 2.0 - size / 2;
  std::stable_sort(placements.begin(), placements.end(), [&](const TilePlacement& a, const TilePlacement& b) {
    return std::hypot(a.left - middle_x, a.top - middle_y) < std::hypot(b.left - middle_x, b.top - middle_y);
  });
  return placements;
}

}  // namespace viewer::map
