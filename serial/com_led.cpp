#include "serial/com_led.h"

#include <QPainter>

namespace serial {

TComLed::TComLed(QWidget* parent) : QWidget(parent) { resize(25, 25); }

void TComLed::SetState(TLedState value) {
  state_ = value;
  if (OnChange) OnChange(this, value);
  update();
}

void TComLed::SetKind(TLedKind value) {
  kind_ = value;
  update();
}

void TComLed::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QColor on = kind_ == lkGreenLight ? QColor(0, 220, 0) : QColor(255, 0, 0);
  p.setBrush(state_ == lsOn && isEnabled() ? on : on.darker(300));
  p.drawEllipse(QRect((width() - 15) / 2, (height() - 15) / 2, 14, 14));
}

}  // namespace serial
