// Tile files to images, on a worker thread so the window never waits for it.
#pragma once

#include <QByteArray>
#include <QImage>

namespace viewer::map {

inline constexpr int kLargestTileSide = 1024;

// The image of a tile's file (PNG, JPEG…), in the format painting is fastest
// from; null when it is no image or larger than kLargestTileSide. Safe on any thread.
QImage decode_tile(const QByteArray& bytes);

}  // namespace viewer::map
