#include "fake_system_clock.h"

namespace testing_support {

platform::SystemTime FakeSystemClock::now_utc() { return now; }

bool FakeSystemClock::set_utc(const platform::SystemTime& time) {
  settings.push_back(time);
  if (accepts) now = time;
  return accepts;
}

}  // namespace testing_support
