// The progress window shown while the viewer reads a track.
#pragma once

#include <QWidget>

class QProgressBar;

class TCalcul : public QWidget {
  Q_OBJECT
 public:
  explicit TCalcul(QWidget* parent = nullptr);

  QProgressBar* ProgressBar1;
};
