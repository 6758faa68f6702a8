// Status lamp.
//
// NOTE: first cut: an unlinked two-state lamp drawn as a plain disc. The lamp
// work completes it (port link, pictures, ring timer).
#pragma once

#include <QWidget>
#include <functional>

namespace serial {

enum TLedState : uint8_t { lsOff, lsOn };
enum TLedKind : uint8_t { lkRedLight, lkGreenLight, lkBlueLight, lkYellowLight, lkPurpleLight, lkBulb, lkCustom };

class TComLed;
using TLedStateEvent = std::function<void(TComLed* sender, TLedState state)>;

class TComLed : public QWidget {
  Q_OBJECT
 public:
  explicit TComLed(QWidget* parent = nullptr);

  TLedState State() const { return state_; }
  void SetState(TLedState value);
  TLedKind Kind() const { return kind_; }
  void SetKind(TLedKind value);

  TLedStateEvent OnChange;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  TLedState state_ = lsOff;
  TLedKind kind_ = lkRedLight;
};

}  // namespace serial
