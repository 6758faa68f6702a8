// The computer's clock in UTC, read and set field by field, and its monotonic
// clock, which dates received bytes.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace platform {

struct SystemTime {
  uint16_t Year = 0;
  uint16_t Month = 0;
  uint16_t DayOfWeek = 0;
  uint16_t Day = 0;
  uint16_t Hour = 0;
  uint16_t Minute = 0;
  uint16_t Second = 0;
  uint16_t Milliseconds = 0;
};

using UtcInstant = std::chrono::sys_time<std::chrono::milliseconds>;

// nullopt for a record that names no real instant (month 13, 30 February,
// hour 24, milliseconds 1000, before 1970...). The day of the week is ignored.
std::optional<UtcInstant> instant_of(const SystemTime& time);
// The record of an instant from 1970 on, day of the week included.
SystemTime system_time_of(UtcInstant instant);

class SystemClock {
 public:
  virtual ~SystemClock() = default;
  virtual SystemTime now_utc() = 0;
  // False when the system refuses (no right to set the time, bad record).
  virtual bool set_utc(const SystemTime& time) = 0;
  // The clock the serial component stamps received bytes with.
  virtual std::chrono::steady_clock::time_point monotonic_now() = 0;
};

}  // namespace platform
