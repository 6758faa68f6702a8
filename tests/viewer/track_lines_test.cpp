#include "viewer/track_lines.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <random>

namespace {

// Pixels in which two images differ.
int differing(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

// Each segment drawn alone both ways; the count of segments whose pixels differ.
template <typename Segment>
int segments_unlike_qpainter(int count, const Segment& segment) {
  std::mt19937 random(7);
  QImage ours(97, 61, QImage::Format_RGB32);
  QImage theirs(ours.size(), QImage::Format_RGB32);
  int unlike = 0;
  for (int i = 0; i < count; ++i) {
    const QLine l = segment(random, ours.width(), ours.height());
    ours.fill(Qt::white);
    theirs.fill(Qt::white);
    viewer::CosmeticLines(ours).line(l.x1(), l.y1(), l.x2(), l.y2(), qRgb(255, 0, 0));
    QPainter painter(&theirs);
    painter.setPen(QPen(QColor(255, 0, 0), 0));
    painter.drawLine(l);
    painter.end();
    unlike += differing(ours, theirs) != 0;
  }
  return unlike;
}

int within(std::mt19937& random, int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

}  // namespace

TEST(CosmeticLines, DrawTheSamePixelsAsQPaintersOnePixelPen) {
  // Anywhere in the image, at every slope and in both directions.
  EXPECT_EQ(segments_unlike_qpainter(3000,
                                     [](std::mt19937& r, int w, int h) {
                                       return QLine(within(r, 0, w - 1), within(r, 0, h - 1), within(r, 0, w - 1),
                                                    within(r, 0, h - 1));
                                     }),
            0);
  // A few pixels long, single points included: most of a whole track's segments.
  EXPECT_EQ(segments_unlike_qpainter(3000,
                                     [](std::mt19937& r, int w, int h) {
                                       const int x = within(r, 0, w - 1), y = within(r, 0, h - 1);
                                       return QLine(x, y, std::clamp(x + within(r, -3, 3), 0, w - 1),
                                                    std::clamp(y + within(r, -3, 3), 0, h - 1));
                                     }),
            0);
}

TEST(CosmeticLines, ClipSegmentsComingFromFarOutsideAsQPainterDoes) {
  for (int reach : {200, 100'000, 2'000'000'000}) {
    EXPECT_EQ(segments_unlike_qpainter(2000,
                                       [reach](std::mt19937& r, int w, int h) {
                                         return QLine(within(r, -reach, reach), within(r, -reach, reach),
                                                      within(r, 0, w - 1), within(r, 0, h - 1));
                                       }),
              0)
        << reach;
  }
  // Both ends outside, the segment crossing the image or passing by.
  EXPECT_EQ(segments_unlike_qpainter(2000,
                                     [](std::mt19937& r, int, int) {
                                       return QLine(within(r, -300, 400), within(r, -300, 400), within(r, -300, 400),
                                                    within(r, -300, 400));
                                     }),
            0);
}
