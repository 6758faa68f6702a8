// The port's settings, device life, queries and links.
#include "serial/com_port.h"

#include "serial/application_exceptions.h"
#include "serial/com_error.h"
#include "serial/com_thread.h"
#include "serial/device_records.h"
#include "serial/serial_log.h"
#include "serial/store_if_changed.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace serial {

namespace {

// Stands for the invalid handle of a closed port.
class ClosedDevice final : public SerialDevice {
 public:
  int setup_queues(int, int) override { return EBADF; }
  int set_state(const Dcb&) override { return EBADF; }
  int set_timeouts(const CommTimeouts&) override { return EBADF; }
  int clear_error(uint32_t&, uint32_t&, uint32_t&) override { return EBADF; }
  int modem_status(uint32_t&) override { return EBADF; }
  int purge(uint32_t) override { return EBADF; }
  int escape(int) override { return EBADF; }
  int transmit_char(char) override { return EBADF; }
  int read(void*, int, int&) override { return EBADF; }
  int write(const void*, int, int&, const std::function<void()>&) override { return EBADF; }
  int set_event_mask(uint32_t) override { return EBADF; }
  int wait_event(uint32_t&) override { return EBADF; }
  void cancel_wait() override {}
};

}  // namespace

TCustomComPort::TCustomComPort(SerialDeviceOpener& devices) : devices_(devices) {
  buffer_.ComPort = this;
  parity_.ComPort = this;
  timeouts_.ComPort = this;
  flow_control_.ComPort = this;
}

TCustomComPort::~TCustomComPort() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot pass the failure on; release the thread and the
    // device regardless.
    StopEventThread();
    device_.reset();
    connected_ = false;
  }
  // Listeners may detach links and remove themselves while being told.
  while (!removal_listeners_.empty()) {
    std::function<void()> on_removal = std::move(removal_listeners_.front().second);
    removal_listeners_.erase(removal_listeners_.begin());
    try {
      if (on_removal) on_removal();
    } catch (...) {
      HandleApplicationException(std::current_exception());
    }
  }
}

// --- Device life ---

void TCustomComPort::SetConnected(bool value) {
  if (loading_) {
    connected_ = value;
    return;
  }
  if (value)
    Open();
  else
    Close();
}

void TCustomComPort::Open() {
  if (connected_) return;
  FireBeforeOpen();
  OpenDevice();
  // Errors a queue query took from the previous session's device are not
  // this one's.
  unreported_errors_ = 0;
  connected_ = true;
  // A port that cannot be set up, or whose event thread cannot start (no
  // thread, no descriptor left), is closed again rather than left connected
  // and deaf.
  try {
    ApplyAllSettings();
    if (!events_.empty()) {
      event_thread_ = std::make_unique<TComThread>(*this, device_);
      thread_created_ = true;
    }
  } catch (...) {
    CloseDevice();
    connected_ = false;
    throw;
  }
  SendToLinks(leConn, true);
  FireAfterOpen();
  const bool cts = ReadModemSignals().contains(csCTS);
  SendToLinks(leCTS, cts);
  FireCTSChange(cts);
  const bool dsr = ReadModemSignals().contains(csDSR);
  SendToLinks(leDSR, dsr);
  FireDSRChange(dsr);
  const bool rlsd = ReadModemSignals().contains(csRLSD);
  SendToLinks(leRLSD, rlsd);
  FireRLSDChange(rlsd);
}

void TCustomComPort::Close() {
  // A Close that waits for the event thread serves its hand-overs, whose
  // handlers may process events and so reach Close again: the outer one
  // finishes the job.
  if (!connected_ || closing_) return;
  // The thread waits for that very handler to return: waiting for the thread
  // there would never end.
  if (event_thread_ && event_thread_->InsideHandover())
    throw std::logic_error("A port cannot be closed from inside its own event handler");
  closing_ = true;
  try {
    SendToLinks(leCTS, false);
    SendToLinks(leDSR, false);
    SendToLinks(leRLSD, false);
    FireCTSChange(false);
    FireDSRChange(false);
    FireRLSDChange(false);
    FireBeforeClose();
    AbortTransfers();
  } catch (...) {
    closing_ = false;
    throw;
  }
  StopEventThread();
  CloseDevice();
  connected_ = false;
  closing_ = false;
  SendToLinks(leConn, false);
  FireAfterClose();
}

void TCustomComPort::CloseLostDevice() {
  // A Close of the user's may have come first; it served this request while
  // waiting for the thread.
  if (!connected_ || closing_) return;
  Close();
  if (OnDeviceLost) OnDeviceLost(this);
}

void TCustomComPort::StopEventThread() {
  event_thread_.reset();
  thread_created_ = false;
}

void TCustomComPort::OpenDevice() {
  int error = 0;
  std::unique_ptr<SerialDevice> device = devices_.open(port_, error);
  if (!device) {
    qCDebug(serial_log, "port \"%s\" not opened: %s (errno %d)", port_.c_str(), std::strerror(error), error);
    throw EComPort(ComError::OpenFailed, error, port_);
  }
  qCDebug(serial_log, "port \"%s\" opened", port_.c_str());
  device_ = std::move(device);
}

void TCustomComPort::CloseDevice() { device_.reset(); }

void TCustomComPort::Loaded() {
  loading_ = false;
  if (!connected_) return;
  connected_ = false;
  try {
    Open();
  } catch (...) {
    HandleApplicationException(std::current_exception());
  }
}

void TCustomComPort::BeginUpdate() { ++update_count_; }

void TCustomComPort::EndUpdate() {
  if (update_count_ < 1) return;
  if (--update_count_ == 0) ApplyAllSettings();
}

// --- Settings ---

void TCustomComPort::SetBaudRate(TBaudRate value) {
  if (StoreIfChanged(baud_rate_, value)) ApplyLineSettings();
}
void TCustomComPort::SetCustomBaudRate(int32_t value) {
  if (StoreIfChanged(custom_baud_rate_, value)) ApplyLineSettings();
}
void TCustomComPort::SetStopBits(TStopBits value) {
  if (StoreIfChanged(stop_bits_, value)) ApplyLineSettings();
}
void TCustomComPort::SetDataBits(TDataBits value) {
  if (StoreIfChanged(data_bits_, value)) ApplyLineSettings();
}
void TCustomComPort::SetDiscardNull(bool value) {
  if (StoreIfChanged(discard_null_, value)) ApplyLineSettings();
}
void TCustomComPort::SetEventChar(char value) {
  if (StoreIfChanged(event_char_, value)) ApplyLineSettings();
}

void TCustomComPort::SetPort(const std::string& value) {
  if (!StoreIfChanged(port_, value)) return;
  if (connected_ && !loading_) {
    Close();
    Open();
  }
}

void TCustomComPort::SetSyncMethod(TSyncMethod value) {
  if (value == sync_method_) return;
  if (connected_ && !loading_) throw EComPort(ComError::ConnChangeProp);
  sync_method_ = value;
}

void TCustomComPort::SetEventThreadPriority(TThreadPriority value) {
  if (value == event_thread_priority_) return;
  if (connected_ && !loading_) throw EComPort(ComError::ConnChangeProp);
  event_thread_priority_ = value;
}

void TCustomComPort::SetTriggersOnRxChar(bool value) {
  if (has_link_) throw EComPort(ComError::HasLink);
  triggers_on_rx_char_ = value;
}

void TCustomComPort::SetParity(const TComParity& value) {
  CopyStoredFields(parity_, value);
  ApplyLineSettings();
}
void TCustomComPort::SetFlowControl(const TComFlowControl& value) {
  CopyStoredFields(flow_control_, value);
  ApplyLineSettings();
}
void TCustomComPort::SetTimeouts(const TComTimeouts& value) {
  CopyStoredFields(timeouts_, value);
  ApplyTimeoutSettings();
}
void TCustomComPort::SetBuffer(const TComBuffer& value) {
  CopyStoredFields(buffer_, value);
  ApplyBufferSizes();
}

// --- Applying settings ---

bool TCustomComPort::CanApply() const { return connected_ && update_count_ == 0 && !loading_; }

void TCustomComPort::ApplyAllSettings() {
  ApplyBufferSizes();
  ApplyLineSettings();
  ApplyTimeoutSettings();
}

void TCustomComPort::ApplyBufferSizes() {
  if (!CanApply()) return;
  if (int e = Device().setup_queues(buffer_.InputSize(), buffer_.OutputSize()))
    throw EComPort(ComError::SetupComFailed, e);
}

void TCustomComPort::ApplyLineSettings() {
  if (!CanApply()) return;
  if (int e = Device().set_state(BuildDcb(*this))) throw EComPort(ComError::SetStateFailed, e);
}

void TCustomComPort::ApplyTimeoutSettings() {
  if (!CanApply()) return;
  if (int e = Device().set_timeouts(BuildCommTimeouts(timeouts_))) throw EComPort(ComError::SetTimeoutsFailed, e);
}

// --- Queries ---

SerialDevice& TCustomComPort::Device() {
  // Operations on a closed port fail as a system call fails on an invalid
  // handle, each raising its own code.
  static ClosedDevice closed;
  return device_ ? *device_ : closed;
}

void TCustomComPort::ClearError(uint32_t& errors, uint32_t& in_queue, uint32_t& out_queue) {
  if (int e = Device().clear_error(errors, in_queue, out_queue)) throw EComPort(ComError::ClearComFailed, e);
}

int TCustomComPort::QueuedInput() {
  uint32_t errors = 0, in_queue = 0, out_queue = 0;
  ClearError(errors, in_queue, out_queue);
  unreported_errors_ |= errors;
  return static_cast<int>(in_queue);
}

int TCustomComPort::QueuedOutput() {
  uint32_t errors = 0, in_queue = 0, out_queue = 0;
  ClearError(errors, in_queue, out_queue);
  unreported_errors_ |= errors;
  return static_cast<int>(out_queue);
}

TComErrors TCustomComPort::TakeLineErrors() {
  uint32_t errors = 0, in_queue = 0, out_queue = 0;
  ClearError(errors, in_queue, out_queue);
  errors |= unreported_errors_.exchange(0);
  return LineErrorsToSet(errors, parity_.Check());
}

TComSignals TCustomComPort::ReadModemSignals() {
  uint32_t lines = 0;
  if (int e = Device().modem_status(lines)) throw EComPort(ComError::ModemStatusFailed, e);
  return ModemLinesToSet(lines);
}

void TCustomComPort::AbortTransfers() {
  constexpr uint32_t kAbort = Purge::TxAbort | Purge::RxAbort;
  if (int e = Device().purge(kAbort)) throw EComPort(ComError::PurgeFailed, e);
  transfers_->WaitUntilIdle(std::chrono::seconds(1), [this] { Device().purge(kAbort); });
}

// --- Links ---

void TCustomComPort::AttachLink(TComLink* link) {
  if (!link || std::find(links_.begin(), links_.end(), link) != links_.end()) throw EComPort(ComError::RegFailed);
  links_.push_back(link);
  has_link_ = std::any_of(links_.begin(), links_.end(), [](TComLink* l) { return bool(l->OnRxBuf); });
}

void TCustomComPort::DetachLink(TComLink* link) {
  auto it = std::find(links_.begin(), links_.end(), link);
  if (it == links_.end()) throw EComPort(ComError::RegFailed);
  links_.erase(it);
  has_link_ = std::any_of(links_.begin(), links_.end(), [](TComLink* l) { return bool(l->OnRxBuf); });
}

void TCustomComPort::ForEachLink(const std::function<void(TComLink&)>& fn) {
  // A handler may detach links (its own or others): walk a snapshot and skip
  // the links that left meanwhile.
  const std::vector<TComLink*> snapshot = links_;
  for (TComLink* link : snapshot)
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) fn(*link);
}

void TCustomComPort::SendToLinks(TComLinkEvent event, bool on_off) {
  ForEachLink([&](TComLink& link) {
    auto call = [&](const TComLink::SignalHandler& h) {
      if (h) h(this, on_off);
    };
    auto notify = [&](const TComLink::NotifyHandler& h) {
      if (h) h(this);
    };
    switch (event) {
      case leConn:
        call(link.OnConn);
        break;
      case leCTS:
        call(link.OnCTSChange);
        break;
      case leDSR:
        call(link.OnDSRChange);
        break;
      case leRLSD:
        call(link.OnRLSDChange);
        break;
      case leRing:
        notify(link.OnRing);
        break;
      case leRx:
        call(link.OnRx);
        break;
      case leTx:
        call(link.OnTx);
        break;
      case leTxEmpty:
        notify(link.OnTxEmpty);
        break;
      case leRxFlag:
        notify(link.OnRxFlag);
        break;
    }
  });
}

void TCustomComPort::AddRemovalListener(void* key, std::function<void()> on_removal) {
  RemoveRemovalListener(key);
  removal_listeners_.emplace_back(key, std::move(on_removal));
}

void TCustomComPort::RemoveRemovalListener(void* key) {
  std::erase_if(removal_listeners_, [key](const auto& entry) { return entry.first == key; });
}

// --- Notifications ---

void TCustomComPort::FireAfterClose() {
  if (OnAfterClose) OnAfterClose(this);
}
void TCustomComPort::FireAfterOpen() {
  if (OnAfterOpen) OnAfterOpen(this);
}
void TCustomComPort::FireBeforeClose() {
  if (OnBeforeClose) OnBeforeClose(this);
}
void TCustomComPort::FireBeforeOpen() {
  if (OnBeforeOpen) OnBeforeOpen(this);
}
void TCustomComPort::FireRxChar(int count) {
  if (OnRxChar) OnRxChar(this, count);
}
void TCustomComPort::FireRxBuf(const char* buffer, int count) {
  if (OnRxBuf) OnRxBuf(this, buffer, count);
}
void TCustomComPort::FireTxEmpty() {
  if (OnTxEmpty) OnTxEmpty(this);
}
void TCustomComPort::FireBreak() {
  if (OnBreak) OnBreak(this);
}
void TCustomComPort::FireRing() {
  if (OnRing) OnRing(this);
}
void TCustomComPort::FireRxFlag() {
  if (OnRxFlag) OnRxFlag(this);
}
void TCustomComPort::FireCTSChange(bool on_off) {
  if (OnCTSChange) OnCTSChange(this, on_off);
}
void TCustomComPort::FireDSRChange(bool on_off) {
  if (OnDSRChange) OnDSRChange(this, on_off);
}
void TCustomComPort::FireError(TComErrors errors) {
  if (OnError) OnError(this, errors);
}
void TCustomComPort::FireRLSDChange(bool on_off) {
  if (OnRLSDChange) OnRLSDChange(this, on_off);
}
void TCustomComPort::FireRx80Full() {
  if (OnRx80Full) OnRx80Full(this);
}

}  // namespace serial
