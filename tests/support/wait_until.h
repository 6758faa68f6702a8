// Waiting in a test for what another thread, a timer or another process
// brings about, without sleeping for a fixed time.
#pragma once

#include <chrono>
#include <functional>

namespace testing_support {

// Checks `done` until it holds (true) or `timeout` has passed (false).
// Between two checks runs `between`: by default a millisecond's sleep.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(5),
               const std::function<void()>& between = {});

// The same, serving the GUI thread's events between checks: hand-overs from
// an event thread and timers run meanwhile.
bool PumpUntil(const std::function<bool()>& done, int timeout_ms = 5000);

}  // namespace testing_support
