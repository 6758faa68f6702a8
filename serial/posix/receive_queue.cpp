#include "serial/posix/receive_queue.h"

#include "serial/posix/event_fd.h"

#include <algorithm>
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

int ReceiveQueue::fill_unlocked(size_t& placed, bool& budget_spent) {
  placed = 0;
  budget_spent = false;
  std::lock_guard fill_lock(fill_mutex_);
  size_t reads_left;
  {
    std::lock_guard lock(mutex_);
    if (gone_) return EIO;
    // Twice the queue: what a full queue cannot keep is lost anyway.
    reads_left = 2 * std::max(queue_.capacity(), kTtyQueueSize) / kTtyQueueSize;
  }
  char bytes[kTtyQueueSize];
  for (; reads_left > 0; --reads_left) {
    const ssize_t got = reader_(device_fd_, bytes, sizeof bytes);
    const int error = errno;
    if (got > 0) {
      Received received;
      std::lock_guard lock(mutex_);
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
    // 0 bytes only comes from a hung-up tty. An interrupted read counts
    // against the budget like any other.
    if (got < 0 && error == EINTR) continue;
    if (got < 0 && error == EAGAIN) return 0;
    if (got == 0 || error == EIO || error == ENODEV || error == ENXIO) {
      std::lock_guard lock(mutex_);
      gone_ = true;
      return EIO;
    }
    return error;
  }
  budget_spent = true;
  return 0;
}

void ReceiveQueue::set_served_by_event_wait(bool served) {
  std::lock_guard lock(mutex_);
  served_ = served;
}

int ReceiveQueue::fill() {
  size_t placed = 0;
  bool budget_spent = false;
  const int error = fill_unlocked(placed, budget_spent);
  {
    std::lock_guard lock(mutex_);
    if (placed > 0 && readers_waiting_ > 0) signal_event_fd(arrival_.get());
  }
  if (placed > 0 && arrival_listener_) arrival_listener_();
  return error;
}

int ReceiveQueue::fill(Arrivals& news) {
  size_t placed = 0;
  bool budget_spent = false;
  const int error = fill_unlocked(placed, budget_spent);
  std::lock_guard lock(mutex_);
  if (placed > 0 && readers_waiting_ > 0) signal_event_fd(arrival_.get());
  take_news_locked(news);
  news.budget_spent = budget_spent;
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
  bool served;
  {
    std::lock_guard lock(mutex_);
    served = served_;
  }
  const int error = served ? 0 : fill();
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

bool ReceiveQueue::gone() {
  std::lock_guard lock(mutex_);
  return gone_;
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
