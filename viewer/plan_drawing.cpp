#include "viewer/plan_drawing.h"

#include "viewer/track_lines.h"

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

void draw_plan(QImage& bitmap, const PlanScale& scale, const track::TrackPoints& points, std::size_t pas) {
  bitmap.fill(Qt::white);
  Tracer_parcours(bitmap, scale, points, pas);
  QPainter painter(&bitmap);
  painter.setRenderHint(QPainter::Antialiasing, false);
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  painter.setFont(font);
  Tracer_grille(painter, scale);
}

void Tracer_parcours(QImage& bitmap, const PlanScale& scale, const track::TrackPoints& points, std::size_t pas) {
  const QRgb colours[2] = {qRgb(255, 0, 0), qRgb(0, 0, 255)};
  const PlanProjection projection(scale);
  CosmeticLines lines(bitmap);
  bool none_visible_yet = true;
  // The pen: the pixel of the point before, known when that point was in view.
  bool pen_known = false;
  int32_t pen_x = 0, pen_y = 0;
  std::size_t step = 0;
  for (std::size_t i = 0; i < points.size(); i += pas, ++step) {
    const track::PointPosition& p = points.position(i);
    if (!projection.visible(p.lat_seconds, p.lon_seconds)) {
      pen_known = false;
      continue;
    }
    const int32_t x = projection.x(p.lon_seconds);
    const int32_t y = projection.y(p.lat_seconds);
    if (none_visible_yet) {
      none_visible_yet = false;
    } else {
      if (!pen_known) {
        // Coming in from outside: the segment is clipped at the border.
        const track::PointPosition& before = points.position(i - pas);
        pen_x = projection.x(before.lon_seconds);
        pen_y = projection.y(before.lat_seconds);
      }
      // The colour changes at every step, drawn or not.
      lines.line(pen_x, pen_y, x, y, colours[step % 2]);
    }
    pen_known = true;
    pen_x = x;
    pen_y = y;
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
    const QString text =
        lon >= 0 ? QString::number(lon) + QString::fromUtf8(" °E") : QString::number(-lon) + QString::fromUtf8(" °O");
    label(painter, end.x - metrics.horizontalAdvance(text) / 2, kPlanHeight - 20, text);
  }
  for (int32_t lat = -90; lat <= 90; lat += steps.lat) {
    painter.setPen(QPen(lat == 0 ? QColor(Qt::black) : kGrey, 0));
    const PixelPosition end =
        grid_line(painter, 361, [&](int i) { return Vers_pixel(scale, lat * 3600, (i - 180) * 3600); });
    const QString text =
        lat >= 0 ? QString::number(lat) + QString::fromUtf8(" °N") : QString::number(-lat) + QString::fromUtf8(" °S");
    label(painter, 6, end.y - metrics.height() / 2, text);
  }
}

}  // namespace viewer
