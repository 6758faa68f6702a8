// A manual-reset signal that another thread sets to end a
// TCustomComPort::WaitForEvent early (the wait's "extra object").
#pragma once

#include <condition_variable>
#include <mutex>

namespace serial {

class WakeSignal {
 public:
  void Set() {
    {
      std::lock_guard lock(mutex_);
      set_ = true;
    }
    changed_.notify_all();
  }
  void Reset() {
    std::lock_guard lock(mutex_);
    set_ = false;
  }

 private:
  friend class EventWaitTimer;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
};

}  // namespace serial
