#include "viewer/ui/plan_image.h"

#include "viewer/plan_drawing.h"

#include <QMouseEvent>
#include <QPainter>

TPlanImage::TPlanImage(QWidget* parent) : QWidget(parent), bitmap_(viewer::new_plan_bitmap()) {
  setFixedSize(bitmap_.size());
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

void TPlanImage::set_plan_size(QSize size) {
  bitmap_ = viewer::new_plan_bitmap(size);
  setFixedSize(size);
}

void TPlanImage::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), bitmap_, event->rect());
}

void TPlanImage::mousePressEvent(QMouseEvent* event) {
  if (OnMouseDown) OnMouseDown(event->position().toPoint().x(), event->position().toPoint().y());
}

void TPlanImage::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove) OnMouseMove(event->position().toPoint().x(), event->position().toPoint().y(), event->buttons());
}

void TPlanImage::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && OnMouseUp) {
    OnMouseUp(event->position().toPoint().x(), event->position().toPoint().y());
  }
}

void TPlanImage::wheelEvent(QWheelEvent* event) {
  constexpr int kStep = 120;  // eighths of a degree in one notch
  wheel_angle_ += event->angleDelta().y();
  const int steps = wheel_angle_ / kStep;
  wheel_angle_ -= steps * kStep;
  if (steps != 0 && OnWheel) OnWheel(event->position().toPoint().x(), event->position().toPoint().y(), steps);
  event->accept();
}

void TPlanImage::enterEvent(QEnterEvent* event) {
  if (OnMouseEnter) OnMouseEnter(event->position().toPoint().x(), event->position().toPoint().y());
}

void TPlanImage::leaveEvent(QEvent*) {
  if (OnMouseLeave) OnMouseLeave();
}
