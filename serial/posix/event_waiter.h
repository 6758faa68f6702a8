// Waits for device events on one open tty: one epoll set holding the device
// and a wake-up counter (mask change, cancel, modem helper, output handed to
// the driver, bytes moved into the input queue by another thread). Each time
// the tty is readable the wait moves what it holds, up to the queue's budget,
// into the port's input queue (receive_queue.h), whatever the mask: the tty
// never fills up, so it never stops announcing arrivals, and a readable tty
// cannot wake the wait twice for the same bytes.
//
// What each event rests on:
//   RxChar    new bytes entered the input queue and it is not empty (bytes
//             left unread are not announced again until more arrive)
//   Rx80Full  such an arrival finds the queue at 80 % of its size
//   RxFlag    the event character entered the queue
//   TxEmpty   output was handed over and TIOCOUTQ has drained to 0; checked
//             after each character time the queue needs, less and less often
//             while the queue stands still, not polled otherwise
//   Error     the full input queue dropped bytes, or as below
//   Error, Break, Cts, Dsr, Rlsd, Ring
//             TIOCGICOUNT counters grew, looked at on every wake-up: errors
//             and breaks come with the bytes they spoil, and a helper blocked
//             in TIOCMIWAIT wakes the wait on modem line changes (ptys keep no
//             counters and have no lines: none of these there)
#pragma once

#include "common/unique_fd.h"
#include "serial/posix/line_counters.h"
#include "serial/posix/modem_watcher.h"
#include "serial/posix/receive_queue.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace serial {

// Bytes the driver still holds for output (TIOCOUTQ); returns 0 or an errno value.
int read_output_queue(int fd, int& queued);
// Tests stand in for a UART whose output is held up, which a pty cannot be.
using OutputQueueProbe = std::function<int(int fd, int& queued)>;

class EventWaiter {
 public:
  // `device_fd` and `input` stay owned by the caller and must outlive the
  // waiter.
  EventWaiter(int device_fd, ReceiveQueue& input, OutputQueueProbe output_queue = read_output_queue)
      : device_fd_(device_fd), input_(input), output_queue_(std::move(output_queue)) {}

  // Returns 0 or an errno value; call once before use, after the input
  // queue's init.
  int init();

  int set_mask(uint32_t mask);
  // Blocks until an event in the mask (returns 0 with the events), a mask
  // change or cancel (0 with no events), or the device vanishing (EIO).
  int wait(uint32_t& events);
  void cancel();

  // Output was handed to the driver: TxEmpty is due when it has drained.
  void note_output();
  void set_byte_time_us(int64_t byte_time_us);

 private:
  int wait_tx_drain(int& timeout_ms, bool& drained);
  int take_events(bool readable, uint32_t& found);

  int device_fd_;
  ReceiveQueue& input_;
  OutputQueueProbe output_queue_;
  common::UniqueFd epoll_;
  common::UniqueFd wake_;
  bool counters_supported_ = false;
  LineCounts counters_;  // the wait's own baseline, apart from clear_error's

  std::mutex mutex_;
  uint32_t mask_ = 0;
  uint64_t mask_generation_ = 0;
  bool cancel_pending_ = false;
  bool tx_pending_ = false;
  int64_t byte_time_us_ = 0;

  // The last look at a draining output queue; the waiting thread's own.
  int drain_last_queued_ = -1;
  int drain_interval_ms_ = 0;
  // The last fill stopped at its budget; the waiting thread's own.
  bool pause_ = false;

  // Declared last: stopped before the wake-up counter it signals is closed.
  std::unique_ptr<ModemWatcher> modem_watcher_;
};

}  // namespace serial
