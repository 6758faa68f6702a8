#include "viewer/map/tile_decoding.h"

#include <QBuffer>
#include <QImageReader>

namespace viewer::map {

QImage decode_tile(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  QImageReader reader(&buffer);
  // A tile is 256 or 512 pixels square: a file announcing far more is no
  // tile, and is refused before memory is spent on it.
  const QSize size = reader.size();
  if (!size.isValid() || size.width() > kLargestTileSide || size.height() > kLargestTileSide) return {};
  QImage image = reader.read();
  if (image.isNull()) return image;
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace viewer::map
