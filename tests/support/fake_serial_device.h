// A scripted serial line for tests.
//
//   FakeSerialLine line;                 // the line and the opener at once
//   serial::TComPort port(line);         // the port opens devices through it
//   port.Open();
//   line.Feed("$GPRMC,...\r\n");         // bytes arrive: RxChar for a waiting wait_event
//   line.RaiseLineErrors(serial::LineError::Frame);  // Error event, reported by clear_error
//   line.SetModemLines(serial::ModemLine::Cts);      // Cts event for the changed line
//   line.HoldWrites(true);               // writes block until HoldWrites(false) or an abort
//   line.SetFailure(FakeOp::Read, EIO);  // every read fails until SetFailure(FakeOp::Read, 0)
//   line.SetWriteFailureUnderWay(EIO);   // writes start, then fail
//   line.SetOpenError(ENOENT);           // opening fails
//   line.Vanish();                       // the device is gone: waits and queries fail with EIO
//   line.LastDcb(), line.Calls(), line.Written() ...  // what the port did
//
// One line stands for every port name; the devices it opens all talk to it,
// and it outlives them, so a test can inspect it after the port closed.
// Thread-safe: the port's event thread and background transfers use it too.
#pragma once

#include "serial/serial_device.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

enum class FakeOp {
  SetupQueues,
  SetState,
  SetTimeouts,
  ClearError,
  ModemStatus,
  Purge,
  Escape,
  TransmitChar,
  Read,
  Write,
  SetEventMask,
  WaitEvent
};

class FakeSerialLine : public serial::SerialDeviceOpener {
 public:
  FakeSerialLine() = default;
  FakeSerialLine(const FakeSerialLine&) = delete;
  FakeSerialLine& operator=(const FakeSerialLine&) = delete;

  // --- Scripting ---
  // Queues input (event RxChar); line errors given with it are raised in the
  // same wake-up (event Error).
  void Feed(const std::string& bytes, uint32_t line_errors = 0);
  // LineError bits for clear_error to report, with the Error event unless
  // `raise_event` is false.
  void RaiseLineErrors(uint32_t line_errors, bool raise_event = true);
  void SetModemLines(uint32_t modem_lines);  // ModemLine bits; events for the changed lines
  void RaiseEvents(uint32_t event_bits);     // any EventBit (those in the mask)
  void SetOutputQueue(uint32_t bytes);       // what clear_error reports as queued output
  // A write sends at most this many bytes, as when its time limit runs out
  // (-1, the default: all of them).
  void SetWriteRoom(int bytes);
  // While held, writes wait (until released or aborted) before they send.
  void HoldWrites(bool held);
  void SetFailure(FakeOp op, int error);  // errno for every call of `op`; 0 clears
  // errno for every write once it has started (sending nothing); 0 clears.
  void SetWriteFailureUnderWay(int error);
  void SetOpenError(int error);  // errno for open; 0 clears
  // The device is gone: wait_event and every operation but purge and
  // set_event_mask fail with EIO until the next open.
  void Vanish();

  // --- What happened ---
  bool IsOpen();
  int OpenCount();
  std::string LastOpenedName();
  // One entry per device call, e.g. "setup_queues 1024 1024", "set_state",
  // "set_timeouts", "purge 3", "escape 5", "set_event_mask 0x3ff",
  // "transmit_char 65", "read 12", "write 5", "clear_error", "modem_status".
  // wait_event and cancel_wait are counted, not logged.
  std::vector<std::string> Calls();
  void ClearCalls();
  int CountCalls(const std::string& prefix);
  serial::Dcb LastDcb();
  serial::CommTimeouts LastTimeouts();
  std::string Written();
  uint32_t EventMask();
  int WaitEventCalls();
  // True while a wait_event blocks.
  bool Waiting();
  // Blocks until a wait_event blocks, up to `timeout_ms`.
  bool WaitUntilWaiting(int timeout_ms = 5000);
  // Blocks until the thread that took the last wait_event's events sleeps
  // elsewhere: an event thread, in its hand-over to the GUI thread.
  bool WaitUntilHandingOver(int timeout_ms = 5000);

  std::unique_ptr<serial::SerialDevice> open(const std::string& port, int& error) override;

 private:
  class Device;
  friend class Device;

  int Fail(FakeOp op);
  void Log(std::string call);
  void Raise(uint32_t event_bits);  // with mutex_ held

  std::mutex mutex_;
  std::condition_variable changed_;
  std::string rx_;
  uint32_t line_errors_ = 0;
  uint32_t modem_lines_ = 0;
  uint32_t out_queue_ = 0;
  int write_room_ = -1;
  bool writes_held_ = false;
  int write_failure_under_way_ = 0;
  uint32_t mask_ = 0;
  uint32_t pending_events_ = 0;
  uint64_t mask_generation_ = 0;
  uint64_t abort_generation_ = 0;
  bool cancel_pending_ = false;
  bool vanished_ = false;
  int waiting_ = 0;
  int wait_event_calls_ = 0;
  pid_t waiter_ = 0;  // the thread id of the last wait_event
  int failures_[12] = {};
  int open_error_ = 0;
  int open_devices_ = 0;
  int open_count_ = 0;
  std::string last_opened_;
  std::vector<std::string> calls_;
  serial::Dcb last_dcb_;
  serial::CommTimeouts timeouts_;
  std::string written_;
};
