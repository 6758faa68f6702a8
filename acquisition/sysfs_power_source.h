// Battery level from the kernel's power-supply class (/sys/class/power_supply).
#pragma once

#include "acquisition/power_source.h"

#include <string>

namespace acquisition {

class SysfsPowerSource : public PowerSource {
 public:
  explicit SysfsPowerSource(std::string root = "/sys/class/power_supply");
  std::optional<uint8_t> battery_percent() override;

 private:
  std::string root_;
};

}  // namespace acquisition
