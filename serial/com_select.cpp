#include "serial/com_select.h"

#include "serial/com_error.h"
#include "serial/com_port.h"

#include <algorithm>
#include <utility>

namespace serial {
namespace {

// The entry naming `value`; when there is one, it becomes the pending value.
template <typename T>
int FindValue(const std::vector<std::string>& items, std::string_view name, T& pending, T (*parse)(std::string_view)) {
  const int index = IndexOfText(items, name);
  if (index >= 0) pending = parse(items[index]);
  return index;
}

}  // namespace

void ListPorts(PortLister& lister, std::vector<std::string>& target) {
  std::vector<std::string> names;
  if (const int error = lister.list(names)) throw EComPort(ComError::RegError, error);
  SortPortNames(names);
  target = std::move(names);
}

TComSelect::TComSelect(PortLister& ports) : ports_(ports) {}

TComSelect::~TComSelect() {
  if (com_port_) com_port_->RemoveRemovalListener(this);
}

void TComSelect::SetComProperty(TComProperty value) {
  com_property_ = value;
  items_.clear();
  if (value == cpPort) {
    ListPorts(ports_, items_);
    return;
  }
  for (std::string_view entry : SettingEntries(value)) items_.emplace_back(entry);
}

void TComSelect::SetComPort(TCustomComPort* value) {
  if (value == com_port_) return;
  // A port left behind must not call back into a selector that moved on.
  if (com_port_) com_port_->RemoveRemovalListener(this);
  com_port_ = value;
  if (!value) return;
  value->AddRemovalListener(this, [this] {
    com_port_ = nullptr;
    if (OnPortRemoved) OnPortRemoved();
  });
}

void TComSelect::TakeText(std::string_view text) {
  switch (com_property_) {
    case cpNone:
      break;
    case cpPort:
      pending_port_ = text;
      break;
    case cpBaudRate:
      pending_baud_rate_ = ParseBaudRate(text);
      break;
    case cpDataBits:
      pending_data_bits_ = ParseDataBits(text);
      break;
    case cpStopBits:
      pending_stop_bits_ = ParseStopBits(text);
      break;
    case cpParity:
      pending_parity_ = ParseParity(text);
      break;
    case cpFlowControl:
      pending_flow_control_ = ParseFlowControl(text);
      break;
  }
}

void TComSelect::ApplyToPort() {
  if (!com_port_) return;
  switch (com_property_) {
    case cpNone:
      break;
    case cpPort:
      // A name that no port has would only make the next open fail.
      if (!pending_port_.empty()) com_port_->SetPort(pending_port_);
      break;
    case cpBaudRate:
      com_port_->SetBaudRate(pending_baud_rate_);
      break;
    case cpDataBits:
      com_port_->SetDataBits(pending_data_bits_);
      break;
    case cpStopBits:
      com_port_->SetStopBits(pending_stop_bits_);
      break;
    case cpParity:
      com_port_->Parity().SetBits(pending_parity_);
      break;
    case cpFlowControl:
      com_port_->FlowControl().SetFlowControl(pending_flow_control_);
      break;
  }
}

int TComSelect::ReadFromPort() {
  if (!com_port_) return -1;
  switch (com_property_) {
    case cpNone:
      return -1;
    case cpPort: {
      int index = IndexOfText(items_, com_port_->Port());
      // The entry may name the device otherwise: "COM1" is listed as "ttyS0".
      if (index < 0 && !com_port_->Port().empty()) {
        const std::string device = ports_.device_of(com_port_->Port());
        const auto same = std::find_if(items_.begin(), items_.end(),
                                       [&](const std::string& item) { return ports_.device_of(item) == device; });
        if (same != items_.end()) index = static_cast<int>(same - items_.begin());
      }
      if (index >= 0) pending_port_ = items_[index];
      return index;
    }
    case cpBaudRate:
      return FindValue(items_, BaudRateName(com_port_->BaudRate()), pending_baud_rate_, ParseBaudRate);
    case cpDataBits:
      return FindValue(items_, DataBitsName(com_port_->DataBits()), pending_data_bits_, ParseDataBits);
    case cpStopBits:
      return FindValue(items_, StopBitsName(com_port_->StopBits()), pending_stop_bits_, ParseStopBits);
    case cpParity:
      return FindValue(items_, ParityName(com_port_->Parity().Bits()), pending_parity_, ParseParity);
    case cpFlowControl:
      return FindValue(items_, FlowControlName(com_port_->FlowControl().FlowControl()), pending_flow_control_,
                       ParseFlowControl);
  }
  return -1;
}

}  // namespace serial
