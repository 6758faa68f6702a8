// The track viewer window.
//
// NOTE: first cut: the window with its caption and size, and the three
// controls whose values the settings file keeps.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QSlider;

class TTrace : public QWidget {
  Q_OBJECT
 public:
  explicit TTrace(QWidget* parent = nullptr);

  QComboBox* Bt_zoom;
  QSlider* Bt_maj;
  QCheckBox* Bt_maj_on;
};
