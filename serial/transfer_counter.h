// Counts a port's reads and writes that are running on the device, so that
// aborting them can make sure they all returned: a started transfer may reach
// the device only after the abort that was meant to end it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace serial {

class TransferCounter {
 public:
  void Begin() {
    std::lock_guard lock(mutex_);
    ++running_;
  }
  void End() {
    {
      std::lock_guard lock(mutex_);
      --running_;
    }
    idle_.notify_all();
  }
  // Calls `nudge` (which ends the transfers in flight) every few milliseconds
  // until none runs; gives up after `limit` so that a device ignoring the
  // nudge cannot hang its caller. Returns whether none runs.
  bool WaitUntilIdle(std::chrono::milliseconds limit, const std::function<void()>& nudge) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::unique_lock lock(mutex_);
    while (running_ > 0) {
      if (idle_.wait_for(lock, std::chrono::milliseconds(5), [this] { return running_ == 0; })) break;
      if (std::chrono::steady_clock::now() >= deadline) return false;
      lock.unlock();
      nudge();
      lock.lock();
    }
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable idle_;
  int running_ = 0;
};

}  // namespace serial
