#include "viewer/track_lines.h"

#include <cstdlib>
#include <utility>

namespace viewer {

namespace {

// 16.16 fixed-point quotient of two 26.6 lengths, truncated toward zero.
int fixed_div(int a, int b) { return static_cast<int>(int64_t{a} * 65536 / b); }

int to_26_6(double v) { return static_cast<int>(v * 64); }

// Moves whichever end lies beyond [low, high] on axis a along the line onto
// that side, b following. False when the segment lies wholly beyond a side.
bool clip_axis(double& a1, double& b1, double& a2, double& b2, double low, double high) {
  if (a1 < low) {
    if (a2 <= low) return false;
    b1 += (b2 - b1) / (a2 - a1) * (low - a1);
    a1 = low;
  } else if (a1 > high) {
    if (a2 >= high) return false;
    b1 += (b2 - b1) / (a2 - a1) * (high - a1);
    a1 = high;
  }
  if (a2 < low) {
    b2 += (b2 - b1) / (a2 - a1) * (low - a2);
    a2 = low;
  } else if (a2 > high) {
    b2 += (b2 - b1) / (a2 - a1) * (high - a2);
    a2 = high;
  }
  return true;
}

// A DDA along the major axis a, one pixel per step, from a1 to a2 each
// extended by half a pixel for the square caps. The minor coordinate b is
// sampled in the middle of a step when it grows and at the step's start when
// it shrinks; that asymmetry and the truncations are the stroker's own, and
// keeping them keeps every pixel where QPainter puts it.
template <typename Plot>
void along_major_axis(int a1, int b1, int a2, int b2, const Plot& plot) {
  if (a1 > a2) {
    std::swap(a1, a2);
    std::swap(b1, b2);
  }
  const int binc = fixed_div(b2 - b1, a2 - a1);
  int b = b1 * 1024 - (binc >> 1);  // 16.16
  a1 -= 32;
  a2 += 32;
  const int first = (a1 + 32) >> 6;
  const int end = (a2 + 32) >> 6;
  b += static_cast<int>(int64_t{first * 64 + (binc > 0 ? 32 : 0) - a1} * binc >> 6);
  for (int a = first; a < end; ++a, b += binc) plot(a, b >> 16);
}

}  // namespace

CosmeticLines::CosmeticLines(QImage& image)
    : bits_(reinterpret_cast<QRgb*>(image.bits())),
      stride_(image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb))),
      width_(image.width()),
      height_(image.height()) {}

void CosmeticLines::line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, QRgb colour) {
  if (x1 == x2 && y1 == y2) {
    if (inside(x1, y1)) bits_[y1 * stride_ + x1] = colour;
    return;
  }
  if (inside(x1, y1) && inside(x2, y2)) {
    stroke<false>(x1 * 64, y1 * 64, x2 * 64, y2 * 64, colour);
    return;
  }
  // Clipped roughly in floating point first, so that ends far out (a point
  // thousands of kilometres off at 1000 %) cannot overflow the fixed-point
  // steps: onto a box a pixel beyond the image, whose own edges are then kept
  // pixel by pixel.
  double fx1 = x1, fy1 = y1, fx2 = x2, fy2 = y2;
  if (!clip_axis(fx1, fy1, fx2, fy2, -1, width_ + 1) || !clip_axis(fy1, fx1, fy2, fx2, -1, height_ + 1)) return;
  stroke<true>(to_26_6(fx1), to_26_6(fy1), to_26_6(fx2), to_26_6(fy2), colour);
}

template <bool kClip>
void CosmeticLines::stroke(int x1, int y1, int x2, int y2, QRgb colour) {
  auto plot = [&](int x, int y) {
    if (!kClip || inside(x, y)) bits_[y * stride_ + x] = colour;
  };
  if (std::abs(x2 - x1) < std::abs(y2 - y1)) {
    along_major_axis(y1, x1, y2, x2, [&](int y, int x) { plot(x, y); });
  } else if (x1 != x2) {  // equal: both ends in the same 1/64 pixel
    along_major_axis(x1, y1, x2, y2, plot);
  }
}

}  // namespace viewer
