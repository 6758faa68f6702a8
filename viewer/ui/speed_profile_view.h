// The speed profile graph under the plan (Qt Charts): the speed against
// clock time or distance, as min/max columns of its pixel width, with the
// cursor record marked; a click on it picks the record at that place.
#pragma once

#include "track/track_points.h"
#include "viewer/speed_profile.h"

#include <QChartView>
#include <cstddef>
#include <functional>
#include <optional>

class QLineSeries;
class QAbstractAxis;

class TProfilVitesse : public QChartView {
  Q_OBJECT
 public:
  explicit TProfilVitesse(QWidget* parent = nullptr);

  // The track to show (it outlives the graph's use of it), nullptr: none.
  void set_track(const track::TrackPoints* points);
  void set_axis(viewer::ProfileAxis axis);
  viewer::ProfileAxis axis() const { return axis_; }
  void show_cursor(std::size_t record);
  // Columns drawn now, for the tests: never more than the graph is wide.
  int columns_drawn() const { return columns_drawn_; }

  std::function<void(std::size_t record)> OnRecordChosen;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void rebuild();

  const track::TrackPoints* points_ = nullptr;
  viewer::ProfileAxis axis_ = viewer::ProfileAxis::Time;
  QLineSeries* speeds_;
  QLineSeries* cursor_;
  std::optional<std::size_t> cursor_record_;
  int columns_drawn_ = 0;
};
