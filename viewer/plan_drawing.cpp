#include "viewer/plan_drawing.h"

#include "viewer/speed_colours.h"
#include "viewer/track_lines.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace viewer {

namespace {

const QColor kGrey(192, 192, 192);

// A line is drawn from the pen to p, or the pen only moves there.
bool grid_line_drawn(const PlanScale& scale, const PixelPosition& p) {
  return (p.x >= 0 && p.x <= scale.width) || (p.y >= 0 && p.y <= scale.height);
}

QPoint point(const PixelPosition& p) { return QPoint(p.x, p.y); }

// Draws one grid line through `count` points given by `at(i)`, then returns
// its last point.
template <typename At>
PixelPosition grid_line(QPainter& painter, const PlanScale& scale, int count, const At& at) {
  PixelPosition pen = at(0);
  for (int i = 1; i < count; ++i) {
    const PixelPosition p = at(i);
    if (grid_line_drawn(scale, p)) painter.drawLine(point(pen), point(p));
    pen = p;
  }
  return pen;
}

int64_t floor_mod(int64_t a, int64_t b) { return (a % b + b) % b; }

// Whole degrees of longitude, both ends included.
struct DegreeRange {
  int64_t first;
  int64_t last;
};

// The longitudes the grid covers: those of the drawing and of a margin on
// each side from which a meridian's label still reaches in, but no more than
// a turn either side of the centre (near a pole at a small zoom the drawing
// spans many turns, and one is all a grid can show).
DegreeRange grid_longitudes(const PlanScale& scale) {
  constexpr int kMargin = 100;
  const double units_per_pixel = 1 / lon_pixels_per_unit(scale);  // inf at a pole
  const double centre = std::floor(static_cast<double>(scale.Centre_lon) / track::kUnitsPerDegree);
  const double reach = std::min(360.0, (scale.half_width() + kMargin) * units_per_pixel / track::kUnitsPerDegree + 1);
  return {static_cast<int64_t>(centre - std::ceil(reach)), static_cast<int64_t>(centre + std::ceil(reach))};
}

}  // namespace

QImage new_plan_bitmap(QSize size) {
  QImage bitmap(size, QImage::Format_RGB32);
  bitmap.fill(Qt::white);
  return bitmap;
}

void draw_plan(QImage& bitmap, const PlanScale& scale, const track::TrackPoints& points, std::size_t pas,
               std::optional<double> speed_top, const Ground& ground) {
  bitmap.fill(Qt::white);
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  std::vector<GridLabel> labels;
  {
    QPainter painter(&bitmap);
    if (ground.under) ground.under(painter);
    painter.setFont(font);
    labels = Tracer_grille(painter, scale);
  }
  Tracer_parcours(bitmap, scale, points, pas, speed_top, ground.northings);
  QPainter painter(&bitmap);
  painter.setFont(font);
  draw_grid_labels(painter, labels);
  if (speed_top) draw_speed_legend(painter, scale, *speed_top);
  if (ground.over) ground.over(painter);
}

void Tracer_parcours(QImage& bitmap, const PlanScale& scale, const track::TrackPoints& points, std::size_t pas,
                     std::optional<double> speed_top, std::span<const double> northings) {
  const QRgb colours[2] = {qRgb(255, 0, 0), qRgb(0, 0, 255)};
  const PlanProjection projection(scale);
  // Northings not of this many points are never read (past their end): each
  // is then worked out.
  if (!scale.on_map || northings.size() != points.size()) northings = {};
  auto y_of = [&](std::size_t i) {
    return northings.empty() ? projection.y(points.position(i).lat) : projection.y_at_northing(northings[i]);
  };
  CosmeticLines lines(bitmap);
  bool none_visible_yet = true;
  // The pen: the pixel of the point before, known when that point was in view.
  bool pen_known = false;
  int32_t pen_x = 0, pen_y = 0;
  std::size_t step = 0;
  for (std::size_t i = 0; i < points.size(); i += pas, ++step) {
    const track::PointPosition& p = points.position(i);
    if (!projection.visible(p)) {
      pen_known = false;
      continue;
    }
    const int32_t x = projection.x(p.lon);
    const int32_t y = y_of(i);
    if (none_visible_yet) {
      none_visible_yet = false;
    } else {
      if (!pen_known) {
        // Coming in from outside: the segment is clipped at the border.
        const track::PointPosition& before = points.position(i - pas);
        pen_x = projection.x(before.lon);
        pen_y = y_of(i - pas);
      }
      // The colour changes at every step, drawn or not.
      lines.line(pen_x, pen_y, x, y, speed_top ? speed_colour(points.speed_knots(i), *speed_top) : colours[step % 2]);
    }
    pen_known = true;
    pen_x = x;
    pen_y = y;
  }
}

std::vector<GridLabel> Tracer_grille(QPainter& painter, const PlanScale& scale) {
  const GridSteps steps = grid_steps(scale);
  const DegreeRange lons = grid_longitudes(scale);
  const QFontMetrics metrics = painter.fontMetrics();
  std::vector<GridLabel> labels;
  // Meridians every `steps.lon` degrees from -180, and on past 180 where the
  // plan goes round the globe, each labelled with the place it passes.
  const int64_t first = lons.first + floor_mod(-180 - lons.first, steps.lon);
  for (int64_t lon = first; lon <= lons.last; lon += steps.lon) {
    const int64_t place = longitude_on_the_globe(lon * track::kUnitsPerDegree) / track::kUnitsPerDegree;
    painter.setPen(QPen(place == 0 ? QColor(Qt::black) : kGrey, 0));
    const PixelPosition end = grid_line(painter, scale, 181, [&](int i) {
      return Vers_pixel(scale, int64_t{i - 90} * track::kUnitsPerDegree, lon * track::kUnitsPerDegree);
    });
    const QString text = place >= 0 ? QString::number(place) + QString::fromUtf8(" °E")
                                    : QString::number(-place) + QString::fromUtf8(" °O");
    labels.push_back({end.x - metrics.horizontalAdvance(text) / 2, scale.height - 20, text});
  }
  const int count = static_cast<int>(lons.last - lons.first + 1);
  for (int32_t lat = -90; lat <= 90; lat += steps.lat) {
    painter.setPen(QPen(lat == 0 ? QColor(Qt::black) : kGrey, 0));
    const PixelPosition end = grid_line(painter, scale, count, [&](int i) {
      return Vers_pixel(scale, int64_t{lat} * track::kUnitsPerDegree, (lons.first + i) * track::kUnitsPerDegree);
    });
    const QString text =
        lat >= 0 ? QString::number(lat) + QString::fromUtf8(" °N") : QString::number(-lat) + QString::fromUtf8(" °S");
    labels.push_back({6, end.y - metrics.height() / 2, text});
  }
  return labels;
}

void draw_grid_labels(QPainter& painter, const std::vector<GridLabel>& labels) {
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(Qt::white);
  painter.setPen(Qt::black);
  for (const GridLabel& l : labels) painter.drawText(QPoint(l.left, l.top + painter.fontMetrics().ascent()), l.text);
}

}  // namespace viewer
