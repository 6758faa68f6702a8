// The port's input queue: what the tty receives is moved out of the kernel
// into a bounded queue of the layer's own, so reception goes on however
// slowly the program reads. A tty whose kernel queue fills stops taking bytes
// and stops announcing them; this queue never stops. When the program falls
// behind, the oldest bytes give way: a receiver repeats its sentences, so the
// newest ones are what a reader wants, and what a full queue loses is
// superseded by what follows. The loss is reported as an input queue overflow.
//
// Filled by the event wait on each arrival while one serves the queue (so the
// window's thread, asking how much is queued, never reads the device); else
// by a queue query. A read that finds too few bytes fills too. The event wait
// announces each arrival once, whoever moved it in: arrivals moved in by
// another thread are announced to it through the arrival listener.
//
// No fill reads more than a budget of twice the queue's size: a peer
// that sends faster than the program reads (a socket at full speed) never
// runs dry, and a fill "until the device is empty" would never end. Bytes
// beyond the budget wait in the kernel, which holds the sender back. The
// device is read outside the queue's lock, so a reader taking bytes never
// waits for a device read.
#pragma once

#include "common/unique_fd.h"
#include "serial/posix/byte_ring.h"
#include "serial/posix/receive_decoder.h"

#include <cstddef>
#include <functional>
#include <mutex>
#include <sys/types.h>
#include <unistd.h>
#include <utility>

namespace serial {

// Reads what the device holds, as read(2) does on a non-blocking descriptor:
// the count read, 0 once the device has hung up, or -1 with errno (EAGAIN:
// nothing now; EINTR: nothing for the queue this time, ask again, within the
// fill's budget). A device that is no tty brings its own (a socket whose stream
// carries more than the receiver's bytes).
using DeviceReader = std::function<ssize_t(int fd, char* buffer, size_t size)>;

// What arrived since the event wait last asked.
struct Arrivals {
  bool arrived = false;       // bytes entered the queue
  bool event_char = false;    // the event character among them
  bool overflow = false;      // older bytes were dropped for them
  bool budget_spent = false;  // a fill stopped at its budget: the device holds more
  size_t queued = 0;          // the queue's length now
  size_t capacity = 0;
};

class ReceiveQueue {
 public:
  // `device_fd` stays owned by the caller and must outlive the queue.
  explicit ReceiveQueue(int device_fd, DeviceReader reader = ::read)
      : device_fd_(device_fd), reader_(std::move(reader)) {}

  // Returns 0 or an errno value; call once before use.
  int init();
  // Called on the thread of a fill that moved bytes in, other than the event
  // wait's own. Set before use.
  void set_arrival_listener(std::function<void()> listener) { arrival_listener_ = std::move(listener); }

  // A size of 0 keeps the tty's own queue size.
  void set_capacity(size_t capacity);
  void set_rules(const ReceiveRules& rules);

  // Whether an event wait fills the queue: queries then leave the device to it.
  void set_served_by_event_wait(bool served);

  // Moves what the tty holds, up to the budget, into the queue. Returns 0; EIO once the device
  // has gone (hung up, unplugged), for good; another errno value on failure.
  int fill();
  // The event wait's fill, which also takes what arrived since its last one.
  int fill(Arrivals& news);
  // What arrived since the event wait last asked, without reading the tty.
  void take_news(Arrivals& news);

  // Fills first, unless an event wait serves the queue; then returns its length.
  int queued(size_t& length);
  // Moves up to `count` bytes to `out`, filling first when fewer are queued.
  // A failed fill is reported only when it leaves nothing to take.
  int take(char* out, size_t count, size_t& taken);
  // Drops what is queued (the tty's own queue is the caller's to flush).
  void clear();
  // Whether bytes were lost to a full queue since the last call.
  bool take_overflow();
  // Whether a fill found the device gone.
  bool gone();

  // A reader that found nothing and must wait polls arrival_fd() next to the
  // tty between these two: bytes that another thread moves in meanwhile make
  // it readable. begin_wait returns false, and the reader need not wait, when
  // bytes are queued already.
  int arrival_fd() const { return arrival_.get(); }
  bool begin_wait();
  void end_wait();

 private:
  // Reads up to the budget and places what it read; the fill lock held, not the queue's.
  int fill_unlocked(size_t& placed, bool& budget_spent);
  void take_news_locked(Arrivals& news);

  const int device_fd_;
  const DeviceReader reader_;
  common::UniqueFd arrival_;
  std::function<void()> arrival_listener_;

  // Taken first by a fill, for the device read: bytes enter the queue in
  // the order they were read.
  std::mutex fill_mutex_;

  std::mutex mutex_;
  ByteRing queue_;
  ReceiveDecoder decoder_;
  Arrivals news_;          // for the event wait
  bool overflow_ = false;  // for take_overflow
  bool gone_ = false;
  bool served_ = false;
  int readers_waiting_ = 0;
};

}  // namespace serial
