// The clock's synchronisation as a test chooses it.
#pragma once

#include "platform/clock_sync.h"

namespace testing_support {

struct FakeClockSync : platform::ClockSyncSource {
  std::optional<platform::ClockSync> read() override { return sync; }
  std::optional<platform::ClockSync> sync;
};

}  // namespace testing_support
