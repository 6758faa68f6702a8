// A system clock for tests: shows a chosen time and records every setting,
// so no test ever touches the machine's real clock.
#pragma once

#include "platform/system_clock.h"

#include <vector>

namespace testing_support {

class FakeSystemClock : public platform::SystemClock {
 public:
  platform::SystemTime now_utc() override;
  // Records the request; when accepted, the clock shows the new time.
  bool set_utc(const platform::SystemTime& time) override;
  std::chrono::steady_clock::time_point monotonic_now() override { return monotonic; }

  platform::SystemTime now{};
  bool accepts = true;  // false plays a system without the right to set it
  std::vector<platform::SystemTime> settings;
  std::chrono::steady_clock::time_point monotonic{};
};

}  // namespace testing_support
