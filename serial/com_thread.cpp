#include "serial/com_thread.h"

#include "serial/com_port.h"
#include "serial/device_records.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>

namespace serial {

namespace {

// Niceness of each level. Raising a thread above normal needs CAP_SYS_NICE;
// without it the thread keeps the normal level.
constexpr int kNiceness[] = {19, 10, 5, 0, -5, -10, -20};

// The gathering window, in characters: bytes handed over one at a time reach
// the handlers four at a time, on average half a window (two character
// times, 4 ms at 4800 bit/s) after they arrived. Each hand-over wakes two
// threads; fewer bytes per hand-over would cost more than a reader that
// wakes once per byte.
constexpr int kGatherCharacters = 4;
// Start, eight data and stop bits: near enough for every frame format.
constexpr int kBitsPerCharacter = 10;

}  // namespace

TComThread::TComThread(TCustomComPort& port, std::shared_ptr<SerialDevice> device)
    : port_(port), device_(std::move(device)), watched_(port.Events()), gather_window_(GatherWindow()) {
  device_->set_event_mask(EventsToMask(watched_));
  thread_ = std::thread([this] { Execute(); });
}

TComThread::~TComThread() {
  SignalStop();
  handover_.ServeUntilWorkerFinished();
  thread_.join();
}

void TComThread::SignalStop() {
  stop_ = true;
  handover_.Hurry();
  device_->cancel_wait();
  // The event thread, just woken by the cancel, may take this processor and
  // leave its wait before this thread goes on to wait for it: closing then
  // costs one wake-up less, as the hand-over's own yield saves one per
  // delivery (bench/README.md, "Hand-over").
  std::this_thread::yield();
}

void TComThread::ApplyPriority() {
  const TThreadPriority priority = port_.EventThreadPriority();
  if (priority == tpNormal) return;
  const auto tid = static_cast<id_t>(syscall(SYS_gettid));
  setpriority(PRIO_PROCESS, tid, kNiceness[priority]);
}

void TComThread::Execute() {
  ApplyPriority();
  bool ended_by_exception = false;
  int wait_error = 0;
  try {
    for (;;) {
      if (stop_) break;
      uint32_t mask = 0;
      const int result = device_->wait_event(mask);
      // The stop request wins over an event that completed at the same time.
      if (stop_) break;
      if (result != 0) {
        wait_error = result;
        break;
      }
      events_ = MaskToEvents(mask);
      if (!events_.empty() && watched_.contains(evError) && port_.HasUnreportedErrors()) events_.insert(evError);
      if (!events_.empty()) Dispatch(Clock::now());
    }
  } catch (...) {
    ended_by_exception = true;
  }
  // A device that went away (its wait failed for it, or a step's query did)
  // closes its port, on the thread that owns the port: Close waits for this
  // thread, so the request goes as a send, which does not wait for the close.
  if (!stop_ && DeviceGone(ended_by_exception ? ProbeDevice() : wait_error))
    handover_.Send([port = &port_] { port->CloseLostDevice(); });
  if (!ended_by_exception) {
    handover_.WaitForSends();
    device_->set_event_mask(0);
    device_->purge(Purge::TxClear | Purge::RxClear);
  }
  handover_.WorkerFinished();
}

int TComThread::ProbeDevice() {
  uint32_t lines = 0;
  return device_->modem_status(lines);
}

TComThread::Clock::duration TComThread::GatherWindow() const {
  const uint32_t bits_per_second = BaudRateValue(port_.BaudRate(), port_.CustomBaudRate());
  if (bits_per_second == 0) return {};
  return std::chrono::microseconds(int64_t{kGatherCharacters} * kBitsPerCharacter * 1'000'000 / bits_per_second);
}

void TComThread::Dispatch(Clock::time_point woken_at) {
  switch (port_.SyncMethod()) {
    case smThreadSync: {
      // A timed sleep costs more than being woken when the handlers return:
      // only worth it when it saves hand-overs.
      const bool trickling = woken_at < back_from_handover_ + gather_window_;
      handover_.Call(
          [this, woken_at] {
            DeliverEvents(woken_at);
            // The speed may have changed while the port was open.
            gather_window_ = GatherWindow();
          },
          trickling ? woken_at + gather_window_ : Clock::time_point{});
      back_from_handover_ = Clock::now();
      break;
    }
    case smWindowSync:
      SendEventMessages(woken_at);
      break;
    case smNone:
      DeliverEvents(woken_at);
      break;
  }
}

void TComThread::DeliverEvents(Clock::time_point woken_at) {
  for (TComEvent event : kDispatchOrder)
    if (events_.contains(event)) port_.RunEventStep(event, woken_at);
}

void TComThread::SendEventMessages(Clock::time_point woken_at) {
  for (TComEvent event : kDispatchOrder)
    // The step may close the port, which destroys this thread object.
    if (events_.contains(event))
      handover_.Send([port = &port_, event, woken_at] { port->WindowStep(event, woken_at); });
}

}  // namespace serial
