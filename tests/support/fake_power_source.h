// A battery whose level the test sets; nullopt plays an unreadable status.
#pragma once

#include "platform/power_source.h"

namespace testing_support {

class FakePowerSource : public platform::PowerSource {
 public:
  std::optional<uint8_t> battery_percent() override { return percent; }
  std::optional<uint8_t> percent = uint8_t{255};
};

}  // namespace testing_support
