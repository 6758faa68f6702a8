// The time limits of one read or write, from the device's timeout record.
// Record values are unsigned milliseconds; -1 stands for the largest value.
#pragma once

#include "serial/serial_device.h"

#include <cstdint>
#include <mutex>

namespace serial {

struct ReadLimits {
  // Hand back what is queued without waiting (possibly nothing).
  bool return_at_once = false;
  // Wait for the first bytes only, then hand back what is queued.
  bool return_on_first_bytes = false;
  // Milliseconds from the start of the read; -1: no limit.
  int64_t total_ms = -1;
  // Longest silence between two bytes once the first has come; -1: no limit.
  int64_t interval_ms = -1;
};

ReadLimits read_limits(const CommTimeouts& timeouts, int count);

// Milliseconds a write of `count` bytes may take; -1: no limit.
int64_t write_limit_ms(const CommTimeouts& timeouts, int count);

// A device's timeout record: the port sets it, and each transfer, on a thread
// of its own, takes it as it stands when the transfer starts.
class SharedTimeouts {
 public:
  void set(const CommTimeouts& timeouts) {
    std::lock_guard lock(mutex_);
    timeouts_ = timeouts;
  }
  CommTimeouts now() {
    std::lock_guard lock(mutex_);
    return timeouts_;
  }

 private:
  std::mutex mutex_;
  CommTimeouts timeouts_;
};

}  // namespace serial
