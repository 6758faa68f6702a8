// TComThread: while a port is open with events, waits for the device's events
// on a thread of its own and has the port run one step per event, in the
// dispatch order, on the thread its SyncMethod chooses:
//   smThreadSync  on the GUI thread; this thread blocks until the steps ran,
//                 and an exception raised there ends this thread silently;
//   smWindowSync  on the GUI thread, one hand-over per event that returns as
//                 soon as the GUI thread takes it; exceptions go to the
//                 application exception handler and delivery goes on;
//   smNone        on this thread; an exception ends it silently.
// A failed device wait ends the thread (the port stays open), except when the
// device has gone away: then the thread also has the port close itself on the
// GUI thread (TCustomComPort::CloseLostDevice), as it does when a step failed
// for that reason. Created by the port's Open on the GUI thread and destroyed
// by its Close there.
//
// Gathering (smThreadSync): a line that hands its bytes over one or two at a
// time (a pty, a UART without FIFO, a USB adapter polled every millisecond)
// would cost a hand-over to the GUI thread per byte. When a wake-up comes
// within a gathering window (a few character times) of the return from the
// previous hand-over, the thread goes back to the device only once the window
// has passed since that wake-up, so what arrives meanwhile reaches the
// handlers in one hand-over; it sleeps through the window and the handlers in
// one go. An arrival on a quiet line is handed over at once, and the thread
// goes back to the device as soon as the handlers have returned.
//
// Each wake-up is stamped by the monotonic clock before any gathering or
// hand-over, and the stamp goes with its events to the port (RxArrival): the
// handlers learn when their bytes came, however long the hand-over waited.
#pragma once

#include "serial/com_types.h"
#include "serial/gui_handover.h"
#include "serial/serial_device.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace serial {

class TCustomComPort;

class TComThread {
 public:
  // Sets the device's event mask from the port's Events and starts. The
  // thread shares the device, which stays open until the thread has ended.
  TComThread(TCustomComPort& port, std::shared_ptr<SerialDevice> device);
  // SignalStop, then waits for the body to end while serving its hand-overs.
  ~TComThread();
  TComThread(const TComThread&) = delete;
  TComThread& operator=(const TComThread&) = delete;

  // Stops the loop even when a device event completes at the same time.
  void SignalStop();

  // Whether the GUI thread is running a smThreadSync hand-over of this
  // thread, which then waits for it: such a hand-over cannot wait for the
  // thread to end.
  bool InsideHandover() { return handover_.InsideCall(); }

 private:
  using Clock = GuiHandover::Clock;

  void Execute();
  void ApplyPriority();
  // The errno value of a cheap query: tells whether the device is still there.
  int ProbeDevice();
  // Gathering window for the port's line speed; run on the GUI thread.
  Clock::duration GatherWindow() const;
  void Dispatch(Clock::time_point woken_at);
  void DeliverEvents(Clock::time_point woken_at);
  void SendEventMessages(Clock::time_point woken_at);

  TCustomComPort& port_;
  const std::shared_ptr<SerialDevice> device_;
  std::atomic<bool> stop_{false};
  const TComEvents watched_;  // the port's Events when it opened
  TComEvents events_;         // of the current wake-up
  // Written on the GUI thread during a hand-over, read by this thread after it.
  Clock::duration gather_window_;
  Clock::time_point back_from_handover_ = Clock::time_point::min();
  GuiHandover handover_;
  std::thread thread_;
};

}  // namespace serial
