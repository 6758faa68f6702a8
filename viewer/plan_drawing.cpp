#include "viewer/plan_drawing.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

namespace viewer {

namespace {

const QColor kGrey(192, 192, 192);

// A line is drawn from the pen to p, or the pen only moves there.
bool grid_line_drawn(const PixelPosition& p) {
  return (p.x >= 0 && p.x <= kPlanWidth) || (p.y >= 0 && p.y <= kPlanHeight);
}

QPoint point(const PixelPosition& p) { return QPoint(p.x, p.y); }

// Draws one grid line through `count` points given by `at(i)`, then returns
// its last point.
template <typename At>
PixelPosition grid_line(QPainter& painter, int count, const At& at) {
  PixelPosition pen = at(0);
  for (int i = 1; i < count; ++i) {
    const PixelPosition p = at(i);
    if (grid_line_drawn(p)) painter.drawLine(point(pen), point(p));
    pen = p;
  }
  return pen;
}

void label(QPainter& painter, int left, int top, const QString& text) {
  painter.setPen(Qt::black);
  painter.drawText(QPoint(left, top + painter.fontMetrics().ascent()), text);
}

}  // namespace

QImage new_plan_bitmap() {
  QImage bitmap(kPlanWidth, kPlanHeight, QImage::Format_RGB32);
  bitmap.fill(Qt::white);
  return bitmap;
}

void draw_plan(QImage& bitmap, const PlanScale& scale, const TrackPoints& points, std::size_t pas) {
  bitmap.fill(Qt::white);
  QPainter painter(&bitmap);
  painter.setRenderHint(QPainter::Antialiasing, false);
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  painter.setFont(font);
  Tracer_parcours(painter, scale, points, pas);
  Tracer_grille(painter, scale);
}

void Tracer_parcours(QPainter& painter, const PlanScale& scale, const TrackPoints& points, std::size_t pas) {
  // Width 0: the cosmetic one-pixel pen, the fastest the raster engine has.
  const QPen pens[2] = {QPen(QColor(255, 0, 0), 0), QPen(QColor(0, 0, 255), 0)};
  int pen_set = -1;
  bool none_visible_yet = true;
  QPoint pen;
  std::size_t step = 0;
  for (std::size_t i = 0; i < points.size(); i += pas, ++step) {
    const PointPosition& position = points.position(i);
    const PixelPosition p = Vers_pixel(scale, position.lat_seconds, position.lon_seconds);
    if (p.visible) {
      if (none_visible_yet) {
        none_visible_yet = false;
      } else {
        // The colour changes at every step, drawn or not.
        const int colour = static_cast<int>(step % 2);
        if (colour != pen_set) {
          painter.setPen(pens[colour]);
          pen_set = colour;
        }
        painter.drawLine(pen, point(p));
      }
    }
    pen = point(p);
  }
}

void Tracer_grille(QPainter& painter, const PlanScale& scale) {
  const GridSteps steps = grid_steps(scale);
  const QFontMetrics metrics = painter.fontMetrics();
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(Qt::white);
  for (int32_t lon = -180; lon <= 180; lon += steps.lon) {
    painter.setPen(QPen(lon == 0 ? QColor(Qt::black) : kGrey, 0));
    const PixelPosition end =
        grid_line(painter, 181, [&](int i) { return Vers_pixel(scale, (i - 90) * 3600, lon * 3600); });
    const QString text = lon >= 0 ? QString::number(lon) + QString::fromUtf8(" °E")
                                  : QString::number(-lon) + QString::fromUtf8(" °O");
    label(painter, end.x - metrics.horizontalAdvance(text) / 2, kPlanHeight - 20, text);
  }
  for (int32_t lat = -90; lat <= 90; lat += steps.lat) {
    painter.setPen(QPen(lat == 0 ? QColor(Qt::black) : kGrey, 0));
    const PixelPosition end =
        grid_line(painter, 361, [&](int i) { return Vers_pixel(scale, lat * 3600, (i - 180) * 3600); });
    const QString text = lat >= 0 ? QString::number(lat) + QString::fromUtf8(" °N")
                                  : QString::number(-lat) + QString::fromUtf8(" °S");
    label(painter, 6, end.y - metrics.height() / 2, text);
  }
}

}  // namespace viewer
