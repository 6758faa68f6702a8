// The machine's battery level, as the acquisition cycle reads it every tick.
#pragma once

#include <cstdint>
#include <optional>

namespace platform {

class PowerSource {
 public:
  virtual ~PowerSource() = default;
  // Battery life percentage 0..100, 255 when unknown or when the machine has
  // no battery; nullopt when the status cannot be read at all (the caller then
  // keeps its previous reading). Must never block.
  virtual std::optional<uint8_t> battery_percent() = 0;
};

}  // namespace platform
