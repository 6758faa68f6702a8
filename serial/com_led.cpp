#include "serial/com_led.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <iterator>
#include <utility>

// The pictures are compiled into the static library, whose linker drops the
// resource object unless something refers to it.
static void register_lamp_images() { Q_INIT_RESOURCE(lamps); }

namespace serial {
namespace {

constexpr int kDefaultSize = 25;
constexpr int kDefaultRingDuration = 1000;

// Resource names of the built-in pictures (on, off), by kind.
constexpr std::pair<const char*, const char*> kKindImages[] = {
    {":/LEDREDON", ":/LEDREDOFF"},       {":/LEDGREENON", ":/LEDGREENOFF"},
    {":/LEDBLUEON", ":/LEDBLUEOFF"},     {":/LEDYELLOWON", ":/LEDYELLOWOFF"},
    {":/LEDPURPLEON", ":/LEDPURPLEOFF"}, {":/LEDBULBON", ":/LEDBULBOFF"},
};
static_assert(std::size(kKindImages) == lkCustom);

// Pictures mark their background with the colour of their bottom-left pixel.
QPixmap with_background_transparent(const QImage& source) {
  if (source.isNull()) return {};
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = image.pixel(0, image.height() - 1);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == key) image.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
  }
  return QPixmap::fromImage(image);
}

}  // namespace

TComLed::TComLed(QWidget* parent) : QWidget(parent) {
  static const bool registered = (register_lamp_images(), true);
  (void)registered;
  resize(kDefaultSize, kDefaultSize);
  ring_timer_.setInterval(kDefaultRingDuration);
  connect(&ring_timer_, &QTimer::timeout, this, &TComLed::TimerHandler);
}

void TComLed::SetState(TLedState value) { ChangeState(value); }

void TComLed::ChangeState(TLedState value) {
  state_ = value;
  if (!loading_ && OnChange) OnChange(this, value);
  update();
}

void TComLed::SetKind(TLedKind value) {
  if (value == kind_) return;
  kind_ = value;
  LoadKindImages();
  update();
}

void TComLed::LoadKindImages() {
  if (kind_ == lkCustom) return;
  const auto& [on, off] = kKindImages[kind_];
  glyph_on_ = with_background_transparent(QImage(QString::fromLatin1(on)));
  glyph_off_ = with_background_transparent(QImage(QString::fromLatin1(off)));
}

void TComLed::SetGlyphOn(const QPixmap& value) {
  if (kind_ != lkCustom) return;
  glyph_on_ = with_background_transparent(value.toImage());
  update();
}

void TComLed::SetGlyphOff(const QPixmap& value) {
  if (kind_ != lkCustom) return;
  glyph_off_ = with_background_transparent(value.toImage());
  update();
}

void TComLed::SetRingDuration(int value) {
  // QTimer restarts a running timer on every interval write, also an
  // unchanged one; only a new duration may restart the ring.
  if (value != ring_timer_.interval()) ring_timer_.setInterval(value);
}

void TComLed::SignalHandler(bool OnOff) {
  ChangeState(OnOff ? lsOn : lsOff);
  QCoreApplication::processEvents();
}

void TComLed::RingHandler() {
  if (!ring_timer_.isActive()) ring_timer_.start();
  ChangeState(lsOn);
}

void TComLed::TimerHandler() {
  ring_timer_.stop();
  ChangeState(lsOff);
}

TLedState TComLed::PortSignalState(bool port_open, const std::function<TComSignals()>& read_modem_signals) const {
  if (!port_open) return lsOff;
  auto line = [&](TComSignal s) { return read_modem_signals().contains(s) ? lsOn : lsOff; };
  switch (led_signal_) {
    case lsConn: return lsOn;
    case lsCTS: return line(csCTS);
    case lsDSR: return line(csDSR);
    case lsRLSD: return line(csRLSD);
    case lsRing:
    case lsRx:
    case lsTx: return lsOff;
  }
  return lsOff;
}

// QWidget repaints by itself when the lamp is enabled or disabled, which is
// all a disabled lamp's off picture needs.
void TComLed::paintEvent(QPaintEvent*) {
  if (glyph_on_.isNull() || glyph_off_.isNull()) LoadKindImages();
  // Placed by the picture of the state, so a lamp keeps its place when it is
  // greyed out; halves round toward zero, a picture too big starts at 0.
  const QPixmap& placed = state_ == lsOn ? glyph_on_ : glyph_off_;
  const int x = std::max(0, (width() - placed.width()) / 2);
  const int y = std::max(0, (height() - placed.height()) / 2);
  QPainter(this).drawPixmap(x, y, isEnabled() ? placed : glyph_off_);
}

}  // namespace serial
