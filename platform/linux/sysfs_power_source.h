// Battery level from the kernel's power-supply class (/sys/class/power_supply).
#pragma once

#include "platform/power_source.h"

#include <string>

namespace platform {

class SysfsPowerSource : public PowerSource {
 public:
  explicit SysfsPowerSource(std::string root = "/sys/class/power_supply");
  std::optional<uint8_t> battery_percent() override;

 private:
  std::string root_;
};

}  // namespace platform
