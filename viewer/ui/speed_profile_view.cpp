#include "viewer/ui/speed_profile_view.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QMouseEvent>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

// The chart goes to the view's constructor: one given later to setChart()
// would release, and so leak, the default chart the view makes without it.
TProfilVitesse::TProfilVitesse(QWidget* parent) : QChartView(new QChart(), parent) {
  QChart* chart = this->chart();
  chart->legend()->hide();
  chart->setMargins(QMargins(2, 2, 2, 2));
  speeds_ = new QLineSeries(chart);
  speeds_->setPen(QPen(QColor(0, 0, 255), 1));
  cursor_ = new QLineSeries(chart);
  cursor_->setPen(QPen(QColor(255, 0, 0), 1));
  chart->addSeries(speeds_);
  chart->addSeries(cursor_);
  setRenderHint(QPainter::Antialiasing, false);
}

void TProfilVitesse::set_track(const track::TrackPoints* points) {
  points_ = points;
  rebuild();
}

void TProfilVitesse::set_axis(viewer::ProfileAxis axis) {
  axis_ = axis;
  rebuild();
}

void TProfilVitesse::resizeEvent(QResizeEvent* event) {
  QChartView::resizeEvent(event);
  rebuild();
}

void TProfilVitesse::rebuild() {
  QChart* c = chart();
  for (QAbstractAxis* a : c->axes()) {
    c->removeAxis(a);
    delete a;
  }
  const int width = std::max(1, static_cast<int>(c->plotArea().width()));
  const std::vector<viewer::ProfileColumn> columns =
      points_ ? viewer::speed_profile(*points_, axis_, width) : std::vector<viewer::ProfileColumn>();
  columns_drawn_ = static_cast<int>(columns.size());
  // Each column a stroke from its lowest to its highest speed; one line
  // through them all is one polyline for QPainter.
  QList<QPointF> line;
  line.reserve(static_cast<qsizetype>(columns.size()) * 2);
  double top = 1;
  const double scale = axis_ == viewer::ProfileAxis::Distance ? 0.001 : 1;  // km on the distance axis
  for (const viewer::ProfileColumn& column : columns) {
    line.append({column.x * scale, column.low});
    line.append({column.x * scale, column.high});
    top = std::max(top, column.high);
  }
  speeds_->replace(line);
  QAbstractAxis* x = nullptr;
  if (axis_ == viewer::ProfileAxis::Time) {
    auto* time = new QDateTimeAxis();
    // The axis reads the instants in the computer's time zone: the clock
    // time the user lived the track in, where the journal holds UTC.
    time->setFormat("HH:mm");
    x = time;
  } else {
    auto* distance = new QValueAxis();
    distance->setLabelFormat("%.1f km");
    x = distance;
  }
  auto* y = new QValueAxis();
  y->setRange(0, std::ceil(top / 10) * 10);
  y->setLabelFormat("%d km/h");
  y->setTickCount(3);
  c->addAxis(x, Qt::AlignBottom);
  c->addAxis(y, Qt::AlignLeft);
  for (QLineSeries* s : {speeds_, cursor_}) {
    s->attachAxis(x);
    s->attachAxis(y);
  }
  if (!columns.empty()) {
    if (axis_ == viewer::ProfileAxis::Time) {
      static_cast<QDateTimeAxis*>(x)->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(columns.front().x)),
                                               QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(columns.back().x)));
    } else {
      x->setRange(columns.front().x * scale, columns.back().x * scale);
    }
  }
  if (cursor_record_) show_cursor(*cursor_record_);
}

void TProfilVitesse::show_cursor(std::size_t record) {
  cursor_record_ = record;
  if (!points_ || record >= points_->size()) {
    cursor_->clear();
    return;
  }
  const std::optional<double> at = viewer::profile_position(*points_, record, axis_);
  if (!at) {
    cursor_->clear();
    return;
  }
  const double x = *at * (axis_ == viewer::ProfileAxis::Distance ? 0.001 : 1);
  const auto* y = qobject_cast<QValueAxis*>(chart()->axes(Qt::Vertical).value(0));
  cursor_->replace({{x, 0}, {x, y ? y->max() : 1}});
}

void TProfilVitesse::mousePressEvent(QMouseEvent* event) {
  if (!points_ || !OnRecordChosen) return;
  const QPointF value = chart()->mapToValue(event->position());
  const double x = value.x() / (axis_ == viewer::ProfileAxis::Distance ? 0.001 : 1);
  if (const std::optional<std::size_t> record = viewer::record_at(*points_, axis_, x)) OnRecordChosen(*record);
}
