// The statistics window beside the viewer: the figures of the whole track,
// and of the stretch between the two markers the user set, side by side.
#pragma once

#include "viewer/statistics_text.h"

#include <QWidget>
#include <vector>

class QLabel;

class TStatistiques : public QWidget {
  Q_OBJECT
 public:
  explicit TStatistiques(QWidget* parent = nullptr);

  // `between` empty: no markers set yet, the column says how to set them.
  void show_lines(const std::vector<viewer::StatisticsLine>& whole, const std::vector<viewer::StatisticsLine>& between,
                  const QString& between_title);

  // The value shown on `row` (from 0) of column 0 (whole track) or 1.
  QString value(int column, int row) const;

 private:
  std::vector<QLabel*> captions_;
  std::vector<QLabel*> values_[2];
  QLabel* between_title_;
};
