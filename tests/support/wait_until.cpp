#include "wait_until.h"

#include <QCoreApplication>
#include <QTimer>
#include <thread>

namespace testing_support {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
               const std::function<void()>& between) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (between)
      between();
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool PumpUntil(const std::function<bool()>& done, int timeout_ms) {
  // Each wait for events ends at the next tick at the latest.
  QTimer tick;
  tick.start(2);
  return WaitUntil(done, std::chrono::milliseconds(timeout_ms),
                   [] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); });
}

}  // namespace testing_support
