// One raster tile of the XYZ scheme: row 0 at the north, as tile servers
// number them (MBTiles files count rows from the south; see tms_row).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace viewer::map {

struct TileId {
  int zoom = 0;
  int x = 0;
  int y = 0;
  friend bool operator==(const TileId&, const TileId&) = default;
};

struct TileIdHash {
  std::size_t operator()(const TileId& t) const noexcept {
    // zoom < 32, x and y < 2^29 at the deepest zoom served: packed losslessly.
    const auto key = (uint64_t(uint32_t(t.zoom)) << 58) ^ (uint64_t(uint32_t(t.x)) << 29) ^ uint64_t(uint32_t(t.y));
    return std::hash<uint64_t>{}(key);
  }
};

}  // namespace viewer::map
