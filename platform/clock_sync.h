// Whether a time service keeps the computer's clock (NTP, chronyd with other
// sources): a delay measured against an unkept clock says as much about the
// clock as about the receiver.
#pragma once

#include <chrono>
#include <optional>

namespace platform {

struct ClockSync {
  bool synchronised = false;
  // The kernel's bound on the clock's error, which grows while no service
  // corrects it.
  std::chrono::microseconds max_error{};
};

class ClockSyncSource {
 public:
  virtual ~ClockSyncSource() = default;
  // nullopt when the system does not tell.
  virtual std::optional<ClockSync> read() = 0;
};

}  // namespace platform
