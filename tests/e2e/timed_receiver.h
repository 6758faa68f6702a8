// A receiver that keeps time: a pseudo-terminal linked into /dev, sending one
// RMC sentence a second, stamped with the real UTC second, `delay` after that
// second began. It sends only while `port_held` says a program holds the
// port, so nothing stale waits for the program when it opens it; it keeps no
// end of the port open itself, which a port's user would take for another
// program holding it.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace testing_support {

class TimedReceiver {
 public:
  TimedReceiver(std::string link, std::chrono::milliseconds delay, std::function<bool()> port_held);
  // Stops sending and removes the link.
  ~TimedReceiver();
  TimedReceiver(const TimedReceiver&) = delete;
  TimedReceiver& operator=(const TimedReceiver&) = delete;

  bool ok() const { return master_ >= 0; }

 private:
  void run();

  const std::string link_;
  const std::chrono::milliseconds delay_;
  const std::function<bool()> port_held_;
  int master_ = -1;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace testing_support
