// The drawing control: shows the plan bitmap and tells its owner about the
// mouse (press, move, enter, leave) in bitmap coordinates.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

class TPlanImage : public QWidget {
  Q_OBJECT
 public:
  explicit TPlanImage(QWidget* parent = nullptr);

  // A new white bitmap of `size`, and the control of its size.
  void set_plan_size(QSize size);
  // The bitmap the plan is drawn into; call update() after drawing.
  QImage& Bitmap() { return bitmap_; }
  const QImage& Bitmap() const { return bitmap_; }

  std::function<void(int x, int y)> OnMouseDown;
  std::function<void(int x, int y)> OnMouseUp;
  // Whole wheel steps, away from the user positive; a touchpad's small
  // turns are added up until they make one.
  std::function<void(int x, int y, int steps)> OnWheel;
  std::function<void(int x, int y, Qt::MouseButtons buttons)> OnMouseMove;
  std::function<void(int x, int y)> OnMouseEnter;
  std::function<void()> OnMouseLeave;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QImage bitmap_;
  int wheel_angle_ = 0;
};
