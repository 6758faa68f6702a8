// The real system clock (CLOCK_REALTIME). Setting it needs CAP_SYS_TIME;
// without it the system refuses and set_utc returns false, silently.
#pragma once

#include "platform/system_clock.h"

#include <ctime>
#include <optional>

namespace platform {

// The conversions between the kernel's time and the UTC record, kept apart
// from the clock so they can be checked without touching it.
SystemTime system_time_from_timespec(const timespec& ts);
// nullopt for a record that names no real instant (month 13, 30 February,
// hour 24, milliseconds 1000, before 1970...). The day of the week is ignored.
std::optional<timespec> timespec_from_system_time(const SystemTime& time);

class LinuxSystemClock : public SystemClock {
 public:
  SystemTime now_utc() override;
  bool set_utc(const SystemTime& time) override;
};

}  // namespace platform
