// A vertical up/down control without a text box: two arrow buttons that step
// a position between 0 and a maximum, wrapping round at either end. Pressing
// an arrow steps once, holding it steps again and again; every step first
// tells the owner (OnChangingEx) before the move is applied; a step size the
// owner changes then counts from the next step. The release is told too
// (OnMouseUp).
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

class TUpDown : public QWidget {
  Q_OBJECT
 public:
  explicit TUpDown(QWidget* parent = nullptr);

  int Position() const { return position_; }
  void SetPosition(int position);
  int Max() const { return max_; }
  void SetMax(int max);  // below 0 counts as 0
  int Increment() const { return increment_; }
  void SetIncrement(int increment) { increment_ = increment; }

  // One notification and move: +1 for the up arrow, -1 for the down arrow.
  void Step(int direction);

  std::function<void()> OnChangingEx;
  std::function<void()> OnMouseUp;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  int position_ = 0;
  int max_ = 0;
  int increment_ = 1;
  int held_ = 0;  // direction of the arrow held down, 0 when none
  QTimer repeat_;
};
