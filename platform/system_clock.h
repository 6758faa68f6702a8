// The computer's clock in UTC, read and set field by field.
#pragma once

#include <cstdint>

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

class SystemClock {
 public:
  virtual ~SystemClock() = default;
  virtual SystemTime now_utc() = 0;
  // False when the system refuses (no right to set the time, bad record).
  virtual bool set_utc(const SystemTime& time) = 0;
};

}  // namespace platform
