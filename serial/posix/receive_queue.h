// The port's input queue: what the tty receives is moved out of the kernel
// into a bounded queue of the layer's own, so reception goes on however
// slowly the program reads. A tty whose kernel queue fills stops taking bytes
// and stops announcing them; this queue never stops. When the program falls
// behind, the oldest bytes give way: a receiver repeats its sentences, so the
// newest ones are what a reader wants, and what a full queue loses is
// superseded by what follows. The loss is reported as an input queue overflow.
//
// Filled by whoever needs its contents first: the event wait on each arrival,
// a queue query, a read that finds too few bytes. The event wait announces
// each arrival once, whoever moved it in: arrivals moved in by another thread
// are announced to it through the arrival listener.
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
// nothing now). A device that is no tty brings its own (a socket whose stream
// carries more than the receiver's bytes).
using DeviceReader = std::function<ssize_t(int fd, char* buffer, size_t size)>;

// What arrived since the event wait last asked.
struct Arrivals {
  bool arrived = false;     // bytes entered the queue
  bool event_char = false;  // the event character among them
  bool overflow = false;    // older bytes were dropped for them
  size_t queued = 0;        // the queue's length now
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

  // Moves what the tty holds into the queue. Returns 0; EIO once the device
  // has gone (hung up, unplugged), for good; another errno value on failure.
  int fill();
  // The event wait's fill, which also takes what arrived since its last one.
  int fill(Arrivals& news);
  // What arrived since the event wait last asked, without reading the tty.
  void take_news(Arrivals& news);

  // Fills first, then returns the queue's length.
  int queued(size_t& length);
  // Moves up to `count` bytes to `out`, filling first when fewer are queued.
  // A failed fill is reported only when it leaves nothing to take.
  int take(char* out, size_t count, size_t& taken);
  // Drops what is queued (the tty's own queue is the caller's to flush).
  void clear();
  // Whether bytes were lost to a full queue since the last call.
  bool take_overflow();

  // A reader that found nothing and must wait polls arrival_fd() next to the
  // tty between these two: bytes that another thread moves in meanwhile make
  // it readable. begin_wait returns false, and the reader need not wait, when
  // bytes are queued already.
  int arrival_fd() const { return arrival_.get(); }
  bool begin_wait();
  void end_wait();

 private:
  int fill_locked(size_t& placed);
  void take_news_locked(Arrivals& news);

  const int device_fd_;
  const DeviceReader reader_;
  common::UniqueFd arrival_;
  std::function<void()> arrival_listener_;

  std::mutex mutex_;
  ByteRing queue_;
  ReceiveDecoder decoder_;
  Arrivals news_;          // for the event wait
  bool overflow_ = false;  // for take_overflow
  bool gone_ = false;
  int readers_waiting_ = 0;
};

}  // namespace serial
