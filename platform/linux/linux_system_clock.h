// The real system clock (CLOCK_REALTIME). A process that holds CAP_SYS_TIME
// (root, a service) sets it itself; any other asks systemd-timedated
// (timedated.h). Either refusal makes set_utc return false, silently.
#pragma once

#include "platform/system_clock.h"

#include <ctime>
#include <optional>

namespace platform {

// The conversions between the kernel's time and the UTC record, kept apart
// from the clock so they can be checked without touching it.
SystemTime system_time_from_timespec(const timespec& ts);
// nullopt for a record that names no real instant (see instant_of).
std::optional<timespec> timespec_from_system_time(const SystemTime& time);

class LinuxSystemClock : public SystemClock {
 public:
  SystemTime now_utc() override;
  bool set_utc(const SystemTime& time) override;
  std::chrono::steady_clock::time_point monotonic_now() override;
};

}  // namespace platform
