#include "serial/posix/event_waiter.h"

#include "serial/posix/event_fd.h"
#include "serial/serial_device.h"

#include <poll.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

namespace serial {
namespace {

enum Source : uint32_t { kDevice, kWake };

constexpr uint32_t kModemEvents = EventBit::Cts | EventBit::Dsr | EventBit::Rlsd | EventBit::Ring;
constexpr int kLongestDrainCheckMs = 1000;

int add_to_epoll(int epoll_fd, int fd, uint32_t events, Source source) {
  epoll_event entry{};
  entry.events = events;
  entry.data.u32 = source;
  return ::epoll_ctl(epoll_fd, EPOLL_CTL_ADD, fd, &entry) == 0 ? 0 : errno;
}

// A hung-up tty (unplugged adapter, closed pty master) reports POLLHUP for good.
bool device_gone(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

}  // namespace

int read_output_queue(int fd, int& queued) { return ::ioctl(fd, TIOCOUTQ, &queued) == 0 ? 0 : errno; }

int EventWaiter::init() {
  int raw = ::epoll_create1(EPOLL_CLOEXEC);
  if (raw < 0) return errno;
  epoll_.reset(raw);
  if (int error = make_event_fd(wake_)) return error;
  if (int error = add_to_epoll(epoll_.get(), wake_.get(), EPOLLIN, kWake)) return error;
  if (int error = add_to_epoll(epoll_.get(), device_fd_, EPOLLIN | EPOLLET, kDevice)) return error;
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

void EventWaiter::set_input_queue_size(int size) {
  std::lock_guard lock(mutex_);
  input_queue_size_ = size;
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
  // The edge that announced a hang-up may have been taken by an earlier wait.
  if (device_gone(device_fd_)) return EIO;

  for (;;) {
    int timeout_ms = -1;
    bool drained = false;
    if (int error = wait_tx_drain(timeout_ms, drained)) return error;
    if (drained) {
      events = EventBit::TxEmpty;
      return 0;
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
  if (readable) {
    int queued = 0;
    if (::ioctl(device_fd_, FIONREAD, &queued) != 0) return errno;
    if (queued > 0) {
      found |= EventBit::RxChar;
      std::lock_guard lock(mutex_);
      if (input_queue_size_ > 0 && int64_t{queued} * 10 >= int64_t{input_queue_size_} * 8) found |= EventBit::Rx80Full;
    }
  }
  if (counters_supported_) {
    LineCounts now;
    if (int error = read_line_counts(device_fd_, now)) return error;
    found |= line_events_between(counters_, now);
    counters_ = now;
  }
  return 0;
}

}  // namespace serial
