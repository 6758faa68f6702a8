// Setting selector: a drop-down list of the possible values of one port
// setting (port name, speed, data bits, stop bits, parity, flow control) that
// shows the linked port's value and gives the user's pick to the port.
//
// Only the user's pick takes a value (and applies it with AutoApply):
// programmatic moves of the selection (SetText, setCurrentIndex) never touch
// the port and never call OnChange, and the selector does not watch the port
// for later changes. Entries are built from ComProperty only.
#pragma once

#include "serial/com_select.h"

#include <QComboBox>
#include <functional>
#include <string>
#include <string_view>

namespace serial {

class TComComboBox;
using TComComboBoxEvent = std::function<void(TComComboBox* sender)>;

class TComComboBox : public QComboBox {
  Q_OBJECT
 public:
  // A drop-down list the user can only pick from. `ports` lists the entries
  // of a cpPort selector and must outlive it.
  explicit TComComboBox(PortLister& ports, QWidget* parent = nullptr);

  // Fills the entries of the kind (none for cpNone) and selects the linked
  // port's value, or entry 0 without a port. A failed port listing raises
  // EComPort code 23 and leaves no entry.
  TComProperty ComProperty() const { return select_.ComProperty(); }
  void SetComProperty(TComProperty value);

  // Links the port and selects its current value (no entry when none names
  // it). When the port is destroyed the selector unlinks and selects entry 0,
  // applying nothing.
  TCustomComPort* ComPort() const { return select_.ComPort(); }
  void SetComPort(TCustomComPort* value);

  bool AutoApply() const { return select_.AutoApply(); }
  void SetAutoApply(bool value) { select_.SetAutoApply(value); }

  // The selected entry's own bytes; empty when nothing is selected.
  std::string Text() const;
  // Selects the entry equal to `value` ignoring letter case; a text that is no
  // entry changes nothing.
  void SetText(std::string_view value);

  // Writes the value of the entry last taken into the port; the port's
  // exceptions pass to the caller and the selection stays.
  void ApplyToPort() { select_.ApplyToPort(); }
  // Selects the entry of the port's current value (with a linked port).
  void ReadFromPort();

  // Runs after the user's pick has been taken (and applied, with AutoApply).
  // A failure of the apply or of OnChange goes to the application exception
  // handler; after a failed apply the pick stays selected and OnChange does
  // not run.
  TComComboBoxEvent OnChange;

 protected:
  // A long entry (a gpsd address) that the closed selector cuts short is
  // named whole in its tooltip, above the selector's own hint.
  bool event(QEvent* e) override;

 private:
  // The user picked an entry.
  void Change();

  TComSelect select_;
};

}  // namespace serial
