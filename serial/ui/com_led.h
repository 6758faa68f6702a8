// Status lamp: a two-state picture that its owner switches through State, or
// that follows one signal of a serial port it is linked to (ComPort): the
// lamp's own link carries that signal to the handlers below.
#pragma once

#include "serial/com_link.h"
#include "serial/com_types.h"

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace serial {

enum TLedState : uint8_t { lsOff, lsOn };
enum TLedKind : uint8_t { lkRedLight, lkGreenLight, lkBlueLight, lkYellowLight, lkPurpleLight, lkBulb, lkCustom };
// The port signal a linked lamp follows.
enum TComLedSignal : uint8_t { lsConn, lsCTS, lsDSR, lsRLSD, lsRing, lsRx, lsTx };

class TComLed;
class TCustomComPort;
using TLedStateEvent = std::function<void(TComLed* sender, TLedState state)>;

class TComLed : public QWidget {
  Q_OBJECT
 public:
  explicit TComLed(QWidget* parent = nullptr);
  // Unlinks from the port, so that it never calls a lamp that is gone; no
  // OnChange is called from here.
  ~TComLed() override;

  // The port whose signal the lamp follows; none by default. Linking to an
  // open port shows its current signal at once (the modem-line read may fail
  // with EComPort code 11, the lamp being linked by then); a closed port
  // leaves the state as it is; unlinking turns the lamp off. The lamp unlinks
  // by itself when the port is destroyed.
  TCustomComPort* ComPort() const { return com_port_; }
  void SetComPort(TCustomComPort* value);

  TLedState State() const { return state_; }
  // Refused with EComPort code 19 while linked: the port owns the state then.
  void SetState(TLedState value);
  TComLedSignal LedSignal() const { return led_signal_; }
  // Moves the lamp's handler to the link slot of the signal; the state stays.
  void SetLedSignal(TComLedSignal value);
  TLedKind Kind() const { return kind_; }
  void SetKind(TLedKind value);

  // The lamp's own pictures, the bottom-left pixel's colour made transparent.
  // Only a lkCustom lamp takes pictures from outside; the other kinds draw
  // their built-in pair.
  const QPixmap& GlyphOn() const { return glyph_on_; }
  void SetGlyphOn(const QPixmap& value);
  const QPixmap& GlyphOff() const { return glyph_off_; }
  void SetGlyphOff(const QPixmap& value);

  // How long a ring keeps the lamp lit, in milliseconds.
  int RingDuration() const { return ring_timer_.interval(); }
  void SetRingDuration(int value);
  const QTimer& RingTimer() const { return ring_timer_; }

  // While a form is being set up its state changes are not announced.
  bool Loading() const { return loading_; }
  void SetLoading(bool value) { loading_ = value; }

  // Called after every state change, also to the state the lamp already had.
  TLedStateEvent OnChange;

  // Called by the port for the signal the lamp follows. Pending events are
  // processed before returning, so the lamp is seen to change even while the
  // port keeps the user-interface thread busy.
  void SignalHandler(bool OnOff);
  // A ring lights the lamp for RingDuration; rings meanwhile do not prolong it.
  void RingHandler();
  void TimerHandler();
  // The state the lamp takes when it is linked to a port that is open.
  // `read_modem_signals` is only called for the modem lines, since reading
  // them can fail.
  TLedState PortSignalState(bool port_open, const std::function<TComSignals()>& read_modem_signals) const;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  void ChangeState(TLedState value);
  void LoadKindImages();
  // Empties the link slots a lamp may use and fills the one of LedSignal.
  void FillLinkSlot();

  TCustomComPort* com_port_ = nullptr;
  TComLink link_;
  TComLedSignal led_signal_ = lsConn;
  TLedKind kind_ = lkRedLight;
  TLedState state_ = lsOff;
  bool loading_ = false;
  QPixmap glyph_off_;
  QPixmap glyph_on_;
  QTimer ring_timer_;
};

}  // namespace serial
