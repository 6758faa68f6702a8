// A receiver that keeps time: a pseudo-terminal linked into /dev, sending one
// RMC sentence a second, stamped with the real UTC second, `delay` after that
// second began. It sends only while a program holds the port (exclusively, as
// Orvanta does), so nothing stale waits for the program when it opens it.
#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace testing_support {

class TimedReceiver {
 public:
  TimedReceiver(std::string link, std::chrono::milliseconds delay);
  // Stops sending and removes the link.
  ~TimedReceiver();
  TimedReceiver(const TimedReceiver&) = delete;
  TimedReceiver& operator=(const TimedReceiver&) = delete;

  bool ok() const { return master_ >= 0; }

 private:
  void run();

  const std::string link_;
  const std::chrono::milliseconds delay_;
  int master_ = -1;
  int slave_ = -1;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace testing_support
