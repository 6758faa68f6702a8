#include "viewer/ui/up_down.h"

#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace {

constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 60;

}  // namespace

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
  connect(&repeat_, &QTimer::timeout, this, [this] {
    repeat_.setInterval(kRepeatMs);
    if (held_ != 0) Step(held_);
  });
}

void TUpDown::SetPosition(int position) {
  position_ = std::clamp(position, 0, max_);
  update();
}

void TUpDown::SetMax(int max) {
  max_ = std::max(max, 0);
  position_ = std::min(position_, max_);
}

void TUpDown::Step(int direction) {
  // The size is taken before the owner hears of the step, so a size changed
  // there applies from the next step on; a size of 0 still moves by one.
  const int step = std::max(increment_, 1);
  if (OnChangingEx) OnChangingEx();
  // The position wraps round modulo the range, whatever the step size.
  const int64_t range = int64_t{max_} + 1;
  const int64_t moved = (position_ + int64_t{direction} * step) % range;
  position_ = static_cast<int>(moved < 0 ? moved + range : moved);
}

void TUpDown::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  const int half = height() / 2;
  for (int direction : {1, -1}) {
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = direction > 0 ? QRect(0, 0, width(), half) : QRect(0, half, width(), height() - half);
    if (held_ == direction)
      button.state |= QStyle::State_Sunken;
    else
      button.state |= QStyle::State_Raised;
    painter.drawControl(QStyle::CE_PushButtonBevel, button);
    QStyleOption arrow = button;
    const int side = std::min(button.rect.width(), button.rect.height()) / 3;
    arrow.rect = QRect(0, 0, side, side);
    arrow.rect.moveCenter(button.rect.center());
    painter.drawPrimitive(direction > 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, arrow);
  }
}

void TUpDown::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  held_ = static_cast<int>(event->position().y()) < height() / 2 ? 1 : -1;
  update();
  Step(held_);
  repeat_.start(kFirstRepeatMs);
}

void TUpDown::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || held_ == 0) return;
  held_ = 0;
  repeat_.stop();
  update();
  if (OnMouseUp) OnMouseUp();
}

void TUpDown::changeEvent(QEvent* event) {
  // Disabled while an arrow is held (a reload starting): let go of it.
  if (event->type() == QEvent::EnabledChange && !isEnabled()) {
    held_ = 0;
    repeat_.stop();
  }
  QWidget::changeEvent(event);
}
