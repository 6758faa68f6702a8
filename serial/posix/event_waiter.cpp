#include "serial/posix/event_waiter.h"

#include "serial/posix/event_fd.h"
#include "serial/serial_device.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <system_error>
#include <utility>

namespace serial {
namespace {

enum Source : uint32_t { kDevice, kWake };

constexpr uint32_t kModemEvents = EventBit::Cts | EventBit::Dsr | EventBit::Rlsd | EventBit::Ring;
constexpr int kLongestDrainCheckMs = 1000;
// After a fill that stopped at its budget, the wait lets the device be for
// this long: a peer that never runs dry then costs a bounded share of a
// processor (a budget per pause, far above any receiver's rate), and the
// kernel holds the sender back meanwhile.
constexpr int kPauseAfterBudgetMs = 10;

int add_to_epoll(int epoll_fd, int fd, uint32_t events, Source source) {
  epoll_event entry{};
  entry.events = events;
  entry.data.u32 = source;
  return ::epoll_ctl(epoll_fd, EPOLL_CTL_ADD, fd, &entry) == 0 ? 0 : errno;
}

// The events that what the input queue took in gives.
uint32_t arrival_events(const Arrivals& news) {
  uint32_t events = 0;
  if (news.arrived && news.queued > 0) {
    events |= EventBit::RxChar;
    if (news.queued * 10 >= news.capacity * 8) events |= EventBit::Rx80Full;
  }
  if (news.event_char) events |= EventBit::RxFlag;
  if (news.overflow) events |= EventBit::Error;
  return events;
}

}  // namespace

int read_output_queue(int fd, int& queued) { return ::ioctl(fd, TIOCOUTQ, &queued) == 0 ? 0 : errno; }

int EventWaiter::init() {
  int raw = ::epoll_create1(EPOLL_CLOEXEC);
  if (raw < 0) return errno;
  epoll_.reset(raw);
  if (int error = make_event_fd(wake_)) return error;
  if (int error = add_to_epoll(epoll_.get(), wake_.get(), EPOLLIN, kWake)) return error;
  // Level-triggered: what a wake-up's budget left in the tty wakes the next
  // one, and a hung-up tty (unplugged adapter, closed pty master) keeps
  // reporting EPOLLHUP.
  if (int error = add_to_epoll(epoll_.get(), device_fd_, EPOLLIN, kDevice)) return error;
  input_.set_arrival_listener([wake = wake_.get()] { signal_event_fd(wake); });
  int error = read_line_counts(device_fd_, counters_);
  if (error != 0 && error != ENOTTY) return error;
  counters_supported_ = error == 0;
  return 0;
}

int EventWaiter::set_mask(uint32_t mask) {
  // Modem lines are only watched where the driver counts them; ptys have no
  // lines to watch.
  if ((mask & kModemEvents) && counters_supported_ && !modem_watcher_) {
    try {
      modem_watcher_ = std::make_unique<ModemWatcher>(
          [fd = device_fd_] {
            return ::ioctl(fd, TIOCMIWAIT, TIOCM_CTS | TIOCM_DSR | TIOCM_CD | TIOCM_RNG) == 0 ? 0 : errno;
          },
          [wake = wake_.get()] { signal_event_fd(wake); });
    } catch (const std::system_error& e) {
      return e.code().value();
    }
  }
  input_.set_served_by_event_wait(mask != 0);
  {
    std::lock_guard lock(mutex_);
    mask_ = mask;
    ++mask_generation_;
    // A wait in progress ends for the new mask anyway; a cancel that no wait
    // took (it came just after the wait it was meant for returned) belongs to
    // that wait, not to the next one.
    cancel_pending_ = false;
  }
  signal_event_fd(wake_.get());
  return 0;
}

void EventWaiter::cancel() {
  {
    std::lock_guard lock(mutex_);
    cancel_pending_ = true;
  }
  signal_event_fd(wake_.get());
}

void EventWaiter::note_output() {
  {
    std::lock_guard lock(mutex_);
    tx_pending_ = true;
  }
  signal_event_fd(wake_.get());
}

void EventWaiter::set_byte_time_us(int64_t byte_time_us) {
  std::lock_guard lock(mutex_);
  byte_time_us_ = byte_time_us;
}

int EventWaiter::wait(uint32_t& events) {
  events = 0;
  uint64_t generation;
  {
    std::lock_guard lock(mutex_);
    // A cancel that came while nobody waited ends this wait: a stop must win.
    if (std::exchange(cancel_pending_, false)) return 0;
    generation = mask_generation_;
  }
  // Bytes another thread moved in since the last wait are announced now.
  {
    Arrivals news;
    input_.take_news(news);
    std::lock_guard lock(mutex_);
    events = arrival_events(news) & mask_;
    if (events != 0) return 0;
  }

  for (;;) {
    int timeout_ms = -1;
    bool drained = false;
    if (int error = wait_tx_drain(timeout_ms, drained)) return error;
    if (drained) {
      events = EventBit::TxEmpty;
      return 0;
    }

    if (std::exchange(pause_, false)) {
      // Only a wake-up (cancel, mask change) ends the pause early.
      pollfd wake{wake_.get(), POLLIN, 0};
      ::poll(&wake, 1, timeout_ms < 0 ? kPauseAfterBudgetMs : std::min(timeout_ms, kPauseAfterBudgetMs));
    }
    epoll_event ready[2];
    int count = ::epoll_wait(epoll_.get(), ready, 2, timeout_ms);
    if (count < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bool readable = false;
    for (int i = 0; i < count; ++i) {
      if (ready[i].data.u32 == kWake) {
        drain_event_fd(wake_.get());
      } else if (ready[i].events & (EPOLLHUP | EPOLLERR)) {
        return EIO;
      } else {
        readable = true;
      }
    }
    {
      std::lock_guard lock(mutex_);
      if (std::exchange(cancel_pending_, false)) return 0;
      if (mask_generation_ != generation) return 0;
    }
    uint32_t found = 0;
    if (int error = take_events(readable, found)) return error;
    std::lock_guard lock(mutex_);
    events = found & mask_;
    if (events != 0) return 0;
  }
}

// TxEmpty is due when output was handed over and the driver's queue is empty.
// While it drains, the wait wakes after the time the queued characters need
// (at most a second) to look again: nothing signals the end of a transmission.
// A queue that has not moved since the last look is held up (CTS low, XOFF)
// and may stay so for good: each further look waits twice as long, up to the
// second, instead of waking every few milliseconds.
int EventWaiter::wait_tx_drain(int& timeout_ms, bool& drained) {
  int64_t byte_time_us;
  {
    std::lock_guard lock(mutex_);
    if (!tx_pending_ || !(mask_ & EventBit::TxEmpty)) return 0;
    byte_time_us = byte_time_us_;
  }
  int queued = 0;
  if (int error = output_queue_(device_fd_, queued)) return error;
  if (queued == 0) {
    std::lock_guard lock(mutex_);
    tx_pending_ = false;
    drained = true;
    drain_last_queued_ = -1;
    return 0;
  }
  int64_t next_ms = queued * byte_time_us / 1000 + 1;
  if (queued == drain_last_queued_) next_ms = std::max<int64_t>(next_ms, 2 * int64_t{drain_interval_ms_});
  drain_interval_ms_ = static_cast<int>(std::min<int64_t>(next_ms, kLongestDrainCheckMs));
  drain_last_queued_ = queued;
  timeout_ms = drain_interval_ms_;
  return 0;
}

int EventWaiter::take_events(bool readable, uint32_t& found) {
  Arrivals news;
  if (readable) {
    if (int error = input_.fill(news)) return error;
    pause_ = news.budget_spent;
  } else {
    input_.take_news(news);
  }
  found |= arrival_events(news);
  if (counters_supported_) {
    LineCounts now;
    if (int error = read_line_counts(device_fd_, now)) return error;
    found |= line_events_between(counters_, now);
    counters_ = now;
  }
  return 0;
}

}  // namespace serial
