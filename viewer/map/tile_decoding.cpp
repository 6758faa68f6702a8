#include "viewer/map/tile_decoding.h"

namespace viewer::map {

QImage decode_tile(const QByteArray& bytes) {
  QImage image = QImage::fromData(bytes);
  if (image.isNull()) return image;
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace viewer::map
