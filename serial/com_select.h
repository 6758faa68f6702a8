// What a setting selector knows besides its widget: which setting it offers,
// its entries, the value last taken from an entry (pending until applied), and
// the port it shows and writes. Free of widgets; TComComboBox shows it.
#pragma once

#include "serial/com_select_text.h"
#include "serial/com_types.h"
#include "serial/serial_device.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace serial {

class TCustomComPort;

// Replaces `target` with the machine's serial ports, sorted with
// SortPortNames. A listing failure raises EComPort code 23 with the lister's
// errno, and `target` keeps what it held.
void ListPorts(PortLister& lister, std::vector<std::string>& target);

class TComSelect {
 public:
  // `ports` lists the entries of a cpPort selector; it must outlive the
  // selector.
  explicit TComSelect(PortLister& ports);
  ~TComSelect();
  TComSelect(const TComSelect&) = delete;
  TComSelect& operator=(const TComSelect&) = delete;

  // The entries, the text forms of the kind's values in ordinal order, or the
  // port names; empty for cpNone.
  const std::vector<std::string>& Items() const { return items_; }

  // Stores the kind and rebuilds the entries. The entries are emptied first,
  // so a failed port listing (code 23) leaves none.
  TComProperty ComProperty() const { return com_property_; }
  void SetComProperty(TComProperty value);

  // Not owned. The selector forgets a port that is destroyed, then calls
  // OnPortRemoved.
  TCustomComPort* ComPort() const { return com_port_; }
  void SetComPort(TCustomComPort* value);
  std::function<void()> OnPortRemoved;

  // Whether a taken entry is written into the port at once.
  bool AutoApply() const { return auto_apply_; }
  void SetAutoApply(bool value) { auto_apply_ = value; }

  // Makes the text the pending value of the kind: the port name as it
  // stands, or the parse of the text.
  void TakeText(std::string_view text);
  // Writes the pending value of the kind into the linked port (nothing
  // without one). The port's exceptions pass to the caller; the pending value
  // stays.
  void ApplyToPort();
  // The index of the entry naming the port's current value (its text form),
  // found ignoring letter case, or for a port name the entry that opens the
  // same device; it also becomes the pending value. -1 when no entry names
  // it, or without a port or kind.
  int ReadFromPort();

 private:
  PortLister& ports_;
  std::vector<std::string> items_;
  TComProperty com_property_ = cpNone;
  TCustomComPort* com_port_ = nullptr;
  bool auto_apply_ = false;
  // Until an entry is taken or read, applying writes what parsing a text that
  // names no entry gives; an empty port name is never written.
  std::string pending_port_;
  TBaudRate pending_baud_rate_ = ParseBaudRate({});
  TDataBits pending_data_bits_ = ParseDataBits({});
  TStopBits pending_stop_bits_ = ParseStopBits({});
  TParityBits pending_parity_ = ParseParity({});
  TFlowControl pending_flow_control_ = ParseFlowControl({});
};

}  // namespace serial
