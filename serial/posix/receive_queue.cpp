#include "serial/posix/receive_queue.h"

#include "serial/posix/event_fd.h"

#include <cerrno>
#include <unistd.h>

namespace serial {

namespace {
// The size of the kernel's own input queue of a tty.
constexpr size_t kTtyQueueSize = 4096;
}  // namespace

int ReceiveQueue::init() {
  queue_.set_capacity(kTtyQueueSize);
  return make_event_fd(arrival_);
}

void ReceiveQueue::set_capacity(size_t capacity) {
  std::lock_guard lock(mutex_);
  queue_.set_capacity(capacity > 0 ? capacity : kTtyQueueSize);
}

void ReceiveQueue::set_rules(const ReceiveRules& rules) {
  std::lock_guard lock(mutex_);
  decoder_.set_rules(rules);
}

int ReceiveQueue::fill_locked(size_t& placed) {
  placed = 0;
  if (gone_) return EIO;
  char bytes[kTtyQueueSize];
  for (;;) {
    const ssize_t got = reader_(device_fd_, bytes, sizeof bytes);
    if (got > 0) {
      Received received;
      decoder_.decode(bytes, static_cast<size_t>(got), queue_, received);
      placed += received.placed;
      if (received.placed > 0) news_.arrived = true;
      if (received.event_char) news_.event_char = true;
      if (received.dropped > 0) news_.overflow = overflow_ = true;
      // A short read emptied the device: asking again would only say so.
      if (static_cast<size_t>(got) < sizeof bytes) return 0;
      continue;
    }
    // The line is non-blocking with VMIN 1: no data is EAGAIN, and a read of
    // 0 bytes only comes from a hung-up tty.
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno == EAGAIN) return 0;
    if (got == 0 || errno == EIO || errno == ENODEV || errno == ENXIO) {
      gone_ = true;
      return EIO;
    }
    return errno;
  }
}

int ReceiveQueue::fill() {
  size_t placed = 0;
  int error;
  {
    std::lock_guard lock(mutex_);
    error = fill_locked(placed);
    if (placed > 0 && readers_waiting_ > 0) signal_event_fd(arrival_.get());
  }
  if (placed > 0 && arrival_listener_) arrival_listener_();
  return error;
}

int ReceiveQueue::fill(Arrivals& news) {
  std::lock_guard lock(mutex_);
  size_t placed = 0;
  const int error = fill_locked(placed);
  if (placed > 0 && readers_waiting_ > 0) signal_event_fd(arrival_.get());
  take_news_locked(news);
  return error;
}

void ReceiveQueue::take_news(Arrivals& news) {
  std::lock_guard lock(mutex_);
  take_news_locked(news);
}

void ReceiveQueue::take_news_locked(Arrivals& news) {
  news = news_;
  news.queued = queue_.size();
  news.capacity = queue_.capacity();
  news_ = Arrivals{};
}

int ReceiveQueue::queued(size_t& length) {
  const int error = fill();
  std::lock_guard lock(mutex_);
  length = queue_.size();
  return error;
}

int ReceiveQueue::take(char* out, size_t count, size_t& taken) {
  taken = 0;
  int error = 0;
  bool short_of_bytes;
  {
    std::lock_guard lock(mutex_);
    short_of_bytes = queue_.size() < count;
  }
  if (short_of_bytes) error = fill();
  std::lock_guard lock(mutex_);
  taken = queue_.pop(out, count);
  return taken > 0 ? 0 : error;
}

void ReceiveQueue::clear() {
  std::lock_guard lock(mutex_);
  queue_.clear();
  decoder_.reset();
  news_.arrived = false;
}

bool ReceiveQueue::take_overflow() {
  std::lock_guard lock(mutex_);
  const bool overflow = overflow_;
  overflow_ = false;
  return overflow;
}

bool ReceiveQueue::begin_wait() {
  std::lock_guard lock(mutex_);
  if (queue_.size() > 0) return false;
  ++readers_waiting_;
  return true;
}

void ReceiveQueue::end_wait() {
  std::lock_guard lock(mutex_);
  if (--readers_waiting_ == 0) drain_event_fd(arrival_.get());
}

}  // namespace serial
