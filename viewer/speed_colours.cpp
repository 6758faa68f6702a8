#include "viewer/speed_colours.h"

#include <QColor>
#include <QPainter>
#include <algorithm>

namespace viewer {

namespace {
constexpr double kKmhPerKnot = 1.852;
const QRgb kNoSpeed = qRgb(160, 160, 160);
}  // namespace

std::optional<double> top_speed_knots(const track::TrackPoints& points) {
  double top = 0;
  for (std::size_t i = 0; i < points.size(); ++i) top = std::max(top, points.speed_knots(i).value_or(0));
  if (top <= 0) return std::nullopt;
  return top;
}

QRgb speed_colour(std::optional<double> knots, double top_knots) {
  if (!knots) return kNoSpeed;
  const double share = std::clamp(*knots / top_knots, 0.0, 1.0);
  return QColor::fromHsv(static_cast<int>(240 * (1 - share)), 255, 220).rgb();
}

void draw_speed_legend(QPainter& painter, const PlanScale& scale, double top_knots) {
  constexpr int kBar = 120, kHeight = 8, kRight = 12, kTop = 12;
  const int left = scale.width - kRight - kBar;
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(Qt::white);
  painter.fillRect(left - 6, kTop - 4, kBar + 12, kHeight + 22, Qt::white);
  for (int x = 0; x < kBar; ++x) {
    painter.setPen(QColor(speed_colour(top_knots * x / (kBar - 1), top_knots)));
    painter.drawLine(left + x, kTop, left + x, kTop + kHeight - 1);
  }
  painter.setPen(Qt::black);
  const int baseline = kTop + kHeight + painter.fontMetrics().ascent() + 1;
  painter.drawText(QPoint(left, baseline), "0");
  const QString top = QString::number(top_knots * kKmhPerKnot, 'f', 0) + " km/h";
  painter.drawText(QPoint(left + kBar - painter.fontMetrics().horizontalAdvance(top), baseline), top);
}

}  // namespace viewer
