#include "serial/ui/com_led.h"

#include "serial/application_exceptions.h"
#include "serial/com_error.h"
#include "serial/com_port.h"

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
    {":/LEDREDON", ":/LEDREDOFF"},       {":/LEDGREENON", ":/LEDGREENOFF"},   {":/LEDBLUEON", ":/LEDBLUEOFF"},
    {":/LEDYELLOWON", ":/LEDYELLOWOFF"}, {":/LEDPURPLEON", ":/LEDPURPLEOFF"}, {":/LEDBULBON", ":/LEDBULBOFF"},
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
  FillLinkSlot();
}

TComLed::~TComLed() {
  // A lamp going away announces nothing: its owner's handler may belong to an
  // object already partly destroyed (a window's members go before its child
  // widgets).
  OnChange = nullptr;
  try {
    SetComPort(nullptr);
  } catch (...) {
    // Only a port that lost track of the link refuses to detach it.
    HandleApplicationException(std::current_exception());
  }
}

void TComLed::SetComPort(TCustomComPort* value) {
  if (value == com_port_) return;
  if (com_port_) {
    com_port_->DetachLink(&link_);
    com_port_->RemoveRemovalListener(this);
  }
  com_port_ = value;
  if (!value) {
    ChangeState(lsOff);
    return;
  }
  value->AddRemovalListener(this, [this] { SetComPort(nullptr); });
  value->AttachLink(&link_);
  if (value->Connected() && !loading_) {
    ChangeState(PortSignalState(true, [value] { return value->ReadModemSignals(); }));
  }
}

void TComLed::SetState(TLedState value) {
  if (com_port_) throw EComPort(ComError::LedStateFailed);
  ChangeState(value);
}

void TComLed::SetLedSignal(TComLedSignal value) {
  if (value == led_signal_) return;
  led_signal_ = value;
  FillLinkSlot();
}

void TComLed::FillLinkSlot() {
  link_.OnConn = nullptr;
  link_.OnCTSChange = nullptr;
  link_.OnDSRChange = nullptr;
  link_.OnRLSDChange = nullptr;
  link_.OnRing = nullptr;
  link_.OnRx = nullptr;
  link_.OnTx = nullptr;
  const TComLink::SignalHandler follow = [this](TCustomComPort*, bool on_off) { SignalHandler(on_off); };
  switch (led_signal_) {
    case lsConn:
      link_.OnConn = follow;
      break;
    case lsCTS:
      link_.OnCTSChange = follow;
      break;
    case lsDSR:
      link_.OnDSRChange = follow;
      break;
    case lsRLSD:
      link_.OnRLSDChange = follow;
      break;
    case lsRing:
      link_.OnRing = [this](TCustomComPort*) { RingHandler(); };
      break;
    case lsRx:
      link_.OnRx = follow;
      break;
    case lsTx:
      link_.OnTx = follow;
      break;
  }
}

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
    case lsConn:
      return lsOn;
    case lsCTS:
      return line(csCTS);
    case lsDSR:
      return line(csDSR);
    case lsRLSD:
      return line(csRLSD);
    case lsRing:
    case lsRx:
    case lsTx:
      return lsOff;
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
