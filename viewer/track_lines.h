// One-pixel lines written straight into a 32-bit image, pixel for pixel as
// QPainter draws them with an aliased cosmetic pen (width 0, square caps).
// Handing a million short segments to QPainter one by one costs far more
// than drawing them: every call sets up clipping, a stroker and a blend.
#pragma once

#include <QImage>
#include <cstdint>

namespace viewer {

class CosmeticLines {
 public:
  // `image` is Format_RGB32 or Format_ARGB32_Premultiplied and outlives this.
  explicit CosmeticLines(QImage& image);

  // From (x1, y1) to (x2, y2), both ends included; the parts outside the
  // image are clipped away. Points equal: that one pixel.
  void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, QRgb colour);

 private:
  bool inside(int32_t x, int32_t y) const {
    return static_cast<uint32_t>(x) < static_cast<uint32_t>(width_) &&
           static_cast<uint32_t>(y) < static_cast<uint32_t>(height_);
  }
  // Ends in 26.6 fixed point, already within a pixel of the image.
  template <bool kClip>
  void stroke(int x1, int y1, int x2, int y2, QRgb colour);

  QRgb* bits_;
  qsizetype stride_;  // pixels per row
  int width_;
  int height_;
};

}  // namespace viewer
