// The serial port component: one serial device with its line settings, its
// open/close life, its events (delivered by an event thread, com_thread.h),
// its transfers and line control, and the links of controls that follow it.
//
// Everything runs on the thread that owns the port (the GUI thread) except
// what the event thread runs in smNone mode. Failures raise EComPort
// (com_error.h). Handlers run on the GUI thread, one at a time, in
// smThreadSync (the default) and smWindowSync; in smThreadSync a handler must
// not close the port or change Port from inside an event dispatch (closing
// waits for the event thread, which waits for the handler).
//
// Removal listeners: a control that keeps a pointer to the port (a lamp, a
// selector) registers a callback with AddRemovalListener(key, fn). The port's
// destructor calls every remaining callback once, after the port has closed
// and while DetachLink and RemoveRemovalListener still work, so the control
// can forget the port. A control that goes away first calls
// RemoveRemovalListener(key).
#pragma once

#include "serial/com_link.h"
#include "serial/com_settings.h"
#include "serial/com_types.h"
#include "serial/pending_op.h"
#include "serial/serial_device.h"
#include "serial/transfer_counter.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace serial {

class TComThread;
class WakeSignal;

class TCustomComPort;
using TNotifyEvent = std::function<void(TCustomComPort* sender)>;
using TRxCharEvent = std::function<void(TCustomComPort* sender, int count)>;
using TRxBufEvent = std::function<void(TCustomComPort* sender, const char* buffer, int count)>;
using TComSignalEvent = std::function<void(TCustomComPort* sender, bool on_off)>;
using TComErrorEvent = std::function<void(TCustomComPort* sender, TComErrors errors)>;

class TCustomComPort {
 public:
  explicit TCustomComPort(SerialDeviceOpener& devices);
  virtual ~TCustomComPort();
  TCustomComPort(const TCustomComPort&) = delete;
  TCustomComPort& operator=(const TCustomComPort&) = delete;

  // --- Device life ---
  bool Connected() const { return connected_; }
  // Opens or closes; while loading only records the value (see Loaded).
  void SetConnected(bool value);
  // Opens the device, applies every setting, starts the event thread when
  // Events is not empty, then tells links and handlers (leConn, OnAfterOpen,
  // the current CTS, DSR and RLSD). Code 1 when the device cannot be opened;
  // a failure to apply closes the device again and passes the exception on.
  void Open();
  // Reports the lines off, OnBeforeClose, aborts transfers (code 5 on failure:
  // the port then stays open), stops the event thread while still serving its
  // hand-overs, closes the device, then leConn off and OnAfterClose. A Close
  // reached again while one is in progress returns at once. Called from a
  // handler of a smThreadSync hand-over it raises std::logic_error (the event
  // thread waits for that handler); smWindowSync handlers may close.
  void Close();

  // Loading: between SetLoading(true) and Loaded() property writes only store;
  // Loaded() opens a port whose Connected was written true, handing a failure
  // to the application exception handler.
  void SetLoading(bool value) { loading_ = value; }
  bool Loading() const { return loading_; }
  void Loaded();

  // Defer applying settings to the open device; the outermost EndUpdate
  // applies all of them.
  void BeginUpdate();
  void EndUpdate();

  // --- Settings (a changed value is applied at once to an open port) ---
  TBaudRate BaudRate() const { return baud_rate_; }
  void SetBaudRate(TBaudRate value);
  int32_t CustomBaudRate() const { return custom_baud_rate_; }  // used with brCustom
  void SetCustomBaudRate(int32_t value);
  // Compared exactly: a new spelling of an open port's name reopens it.
  const std::string& Port() const { return port_; }
  void SetPort(const std::string& value);
  TStopBits StopBits() const { return stop_bits_; }
  void SetStopBits(TStopBits value);
  TDataBits DataBits() const { return data_bits_; }
  void SetDataBits(TDataBits value);
  bool DiscardNull() const { return discard_null_; }
  void SetDiscardNull(bool value);
  char EventChar() const { return event_char_; }  // raises evRxFlag when received
  void SetEventChar(char value);
  // Takes effect at the next Open.
  TComEvents Events() const { return events_; }
  void SetEvents(TComEvents value) { events_ = value; }
  // Code 14 while open.
  TSyncMethod SyncMethod() const { return sync_method_; }
  void SetSyncMethod(TSyncMethod value);
  TThreadPriority EventThreadPriority() const { return event_thread_priority_; }
  void SetEventThreadPriority(TThreadPriority value);
  // When true and no link reads buffers, the port reads nothing itself and
  // OnRxChar gets the queue length. Code 22 on any write while HasLink.
  bool TriggersOnRxChar() const { return triggers_on_rx_char_; }
  void SetTriggersOnRxChar(bool value);
  // Groups of settings for a settings store; kept for the store's use.
  TStoredProps StoredProps() const { return stored_props_; }
  void SetStoredProps(TStoredProps value) { stored_props_ = value; }

  TComParity& Parity() { return parity_; }
  const TComParity& Parity() const { return parity_; }
  TComFlowControl& FlowControl() { return flow_control_; }
  const TComFlowControl& FlowControl() const { return flow_control_; }
  TComTimeouts& Timeouts() { return timeouts_; }
  const TComTimeouts& Timeouts() const { return timeouts_; }
  TComBuffer& Buffer() { return buffer_; }
  const TComBuffer& Buffer() const { return buffer_; }
  // Copy every field of `value` (no rounding), then apply the group once.
  void SetParity(const TComParity& value);
  void SetFlowControl(const TComFlowControl& value);
  void SetTimeouts(const TComTimeouts& value);
  void SetBuffer(const TComBuffer& value);

  bool ThreadCreated() const { return thread_created_; }
  // When the event thread woke for the bytes that the running OnRxChar (or
  // OnRxBuf) announces, before any gathering: the arrival of their first
  // byte as near as the port can tell, by the monotonic clock. Whatever the
  // device behind the port, so a handler can tell how old its bytes are.
  std::chrono::steady_clock::time_point RxArrival() const { return rx_arrival_; }
  bool HasLink() const { return has_link_; }

  // --- Applying settings (nothing happens unless open, outside BeginUpdate
  // and not loading) ---
  void ApplyAllSettings();
  void ApplyBufferSizes();      // code 9
  void ApplyLineSettings();     // code 7
  void ApplyTimeoutSettings();  // code 8

  // --- Queries (open port only) ---
  int QueuedInput();   // code 10
  int QueuedOutput();  // code 10
  // Fetches and clears the device's error flags (code 10). Flags that a queue
  // query took from the device in between are reported here too.
  TComErrors TakeLineErrors();
  TComSignals ReadModemSignals();  // code 11
  // Ends the reads and writes in flight and waits (at most a second) until
  // they have returned; code 5.
  void AbortTransfers();

  // --- Links ---
  void AttachLink(TComLink* link);  // code 18 if already attached
  void DetachLink(TComLink* link);  // code 18 if not attached

  // --- Removal listeners (see the top of this file) ---
  void AddRemovalListener(void* key, std::function<void()> on_removal);
  void RemoveRemovalListener(void* key);

  // --- Transfers (open port only). Blocking forms wait for the transfer;
  // Start forms return at once with the bytes moved so far and the record
  // tracks the transfer, whose buffer must stay valid until it completes.
  int ReadBytes(void* buffer, int count);
  // `text` ends with exactly the characters read.
  int ReadText(std::string& text, int count);
  int WriteBytes(const void* buffer, int count);
  int WriteText(const std::string& text);
  int StartRead(void* buffer, int count, TPendingOp* op);  // code 3, 4
  // Sizes `text` to `count` and reads into it; the caller trims it to the
  // count WaitForCompletion returns.
  int StartReadText(std::string& text, int count, TPendingOp* op);
  int StartWrite(const void* buffer, int count, TPendingOp* op);  // code 2, 4
  int StartWriteText(const std::string& text, TPendingOp* op);
  int WaitForCompletion(TPendingOp* op);  // code 2, 3, 4
  bool IsCompleted(TPendingOp* op);       // code 4, 6

  // --- Line control (open port only) ---
  void SetDTRLine(bool on);                   // code 12
  void SetRTSLine(bool on);                   // code 12
  void SetFlowState(bool xon);                // as if XON (true) / XOFF (false) was received; code 12
  void SetBreakState(bool on);                // code 12
  void ClearQueues(bool input, bool output);  // code 5
  void SendCharNow(char c);                   // ahead of the output queue; code 13
  // Waits up to `timeout_ms` (negative: no limit) for one of `events`, or until
  // `extra` (may be null) is set; on return `events` holds what the device
  // reported (empty on a timeout). Code 20 while an event thread exists, 21
  // when the device wait fails.
  void WaitForEvent(TComEvents& events, WakeSignal* extra, int timeout_ms);

  // --- Handlers (called by the Fire operations when set) ---
  TRxCharEvent OnRxChar;
  TRxBufEvent OnRxBuf;
  TNotifyEvent OnTxEmpty;
  TNotifyEvent OnBreak;
  TNotifyEvent OnRing;
  TComSignalEvent OnCTSChange;
  TComSignalEvent OnDSRChange;
  TComSignalEvent OnRLSDChange;
  TComErrorEvent OnError;
  TNotifyEvent OnRxFlag;
  TNotifyEvent OnAfterOpen;
  TNotifyEvent OnAfterClose;
  TNotifyEvent OnBeforeOpen;
  TNotifyEvent OnBeforeClose;
  TNotifyEvent OnRx80Full;
  // The device went away while open (an unplugged adapter): the port has
  // closed itself, with every notification of Close, and then calls this.
  TNotifyEvent OnDeviceLost;

 private:
  friend class TComThread;

  void OpenDevice();  // code 1
  void CloseDevice();

  void FireAfterClose();
  void FireAfterOpen();
  void FireBeforeClose();
  void FireBeforeOpen();
  void FireRxChar(int count);
  void FireRxBuf(const char* buffer, int count);
  void FireTxEmpty();
  void FireBreak();
  void FireRing();
  void FireRxFlag();
  void FireCTSChange(bool on_off);
  void FireDSRChange(bool on_off);
  void FireError(TComErrors errors);
  void FireRLSDChange(bool on_off);
  void FireRx80Full();

  // Closes a port whose device has gone, unless it is closed or closing
  // already, then tells OnDeviceLost. Run on the GUI thread at the event
  // thread's request.
  void CloseLostDevice();

  // Line errors that a queue query took from the device since the last
  // TakeLineErrors: the event thread reports them with its next wake-up, as
  // the device will not raise their error event again.
  bool HasUnreportedErrors() const { return unreported_errors_.load() != 0; }
  // The step of one event, run on the dispatching thread.
  void RunEventStep(TComEvent event, std::chrono::steady_clock::time_point woken_at);
  void ReceiveStep();
  void SignalStep(TComSignal signal, TComLinkEvent link_event);
  // The hidden receiver's handling of one event (smWindowSync).
  void WindowStep(TComEvent event, std::chrono::steady_clock::time_point woken_at);

  void SendToLinks(TComLinkEvent event, bool on_off);
  void ForEachLink(const std::function<void(TComLink&)>& fn);
  bool CanApply() const;
  void ClearError(uint32_t& errors, uint32_t& in_queue, uint32_t& out_queue);
  SerialDevice& Device();
  void EscapeFunction(int function);
  void StopEventThread();
  static void AwaitTransfer(TPendingOp& op);
  void PrepareRead(TPendingOp* op);
  void PrepareWrite(TPendingOp* op, const void* buffer, int count);
  int Launch(TPendingOp& op, void* read_into, int count, bool background);
  TPendingOp::Result FinishTransfer(TPendingOp& op);

  SerialDeviceOpener& devices_;
  std::unique_ptr<TComThread> event_thread_;
  bool thread_created_ = false;
  // Shared with transfers running in the background, which keep the device
  // alive until they return.
  std::shared_ptr<SerialDevice> device_;
  std::shared_ptr<TransferCounter> transfers_ = std::make_shared<TransferCounter>();
  int update_count_ = 0;
  std::vector<TComLink*> links_;
  bool triggers_on_rx_char_ = true;
  TThreadPriority event_thread_priority_ = tpNormal;
  bool has_link_ = false;
  bool connected_ = false;
  bool closing_ = false;  // a Close is in progress
  TBaudRate baud_rate_ = br9600;
  int32_t custom_baud_rate_ = 9600;
  std::string port_ = "COM1";
  TStopBits stop_bits_ = sbOneStopBit;
  TDataBits data_bits_ = dbEight;
  bool discard_null_ = false;
  char event_char_ = 0;
  TComEvents events_ = TComEvents::from_bits(0x03FF);
  TComBuffer buffer_;
  TComParity parity_;
  TComTimeouts timeouts_;
  TComFlowControl flow_control_;
  TSyncMethod sync_method_ = smThreadSync;
  TStoredProps stored_props_{spBasic};
  bool loading_ = false;
  // Line errors taken out of the device by a queue query, for TakeLineErrors.
  std::atomic<uint32_t> unreported_errors_{0};
  std::chrono::steady_clock::time_point rx_arrival_;
  std::vector<std::pair<void*, std::function<void()>>> removal_listeners_;
};

class TComPort : public TCustomComPort {
 public:
  using TCustomComPort::TCustomComPort;
};

}  // namespace serial
