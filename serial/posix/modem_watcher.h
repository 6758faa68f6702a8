// A helper thread that sits in a blocking "wait for a modem line change" call
// (TIOCMIWAIT) and reports each change. Such a call cannot be polled next to
// other descriptors, so the thread is ended by a signal whose handler is
// installed without SA_RESTART: the call returns EINTR and the thread sees
// that it must stop.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace serial {

class ModemWatcher {
 public:
  // `wait_for_change` blocks until a line changes and returns 0, or returns an
  // errno value: EINTR goes round again, anything else (the call unsupported,
  // the device gone) ends the watch. `on_change` runs on the helper thread.
  // Throws std::system_error when the thread cannot start.
  ModemWatcher(std::function<int()> wait_for_change, std::function<void()> on_change);
  // Stops the helper and waits for it.
  ~ModemWatcher();
  ModemWatcher(const ModemWatcher&) = delete;
  ModemWatcher& operator=(const ModemWatcher&) = delete;

 private:
  void run();

  std::function<int()> wait_for_change_;
  std::function<void()> on_change_;
  std::mutex mutex_;
  std::condition_variable finished_changed_;
  bool stopping_ = false;
  bool finished_ = false;
  std::thread thread_;
};

}  // namespace serial
