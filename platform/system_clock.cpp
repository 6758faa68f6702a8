#include "platform/system_clock.h"

namespace platform {

using namespace std::chrono;

std::optional<UtcInstant> instant_of(const SystemTime& time) {
  const year_month_day date{year(time.Year), month(time.Month), day(time.Day)};
  if (time.Year < 1970 || !date.ok() || time.Hour > 23 || time.Minute > 59 || time.Second > 59 ||
      time.Milliseconds > 999) {
    return std::nullopt;
  }
  return sys_days(date) + hours(time.Hour) + minutes(time.Minute) + seconds(time.Second) +
         milliseconds(time.Milliseconds);
}

SystemTime system_time_of(UtcInstant instant) {
  const sys_days days = floor<std::chrono::days>(instant);
  const year_month_day date(days);
  const hh_mm_ss<milliseconds> clock(instant - days);
  SystemTime time;
  time.Year = static_cast<uint16_t>(static_cast<int>(date.year()));
  time.Month = static_cast<uint16_t>(static_cast<unsigned>(date.month()));
  time.DayOfWeek = static_cast<uint16_t>(weekday(days).c_encoding());
  time.Day = static_cast<uint16_t>(static_cast<unsigned>(date.day()));
  time.Hour = static_cast<uint16_t>(clock.hours().count());
  time.Minute = static_cast<uint16_t>(clock.minutes().count());
  time.Second = static_cast<uint16_t>(clock.seconds().count());
  time.Milliseconds = static_cast<uint16_t>(clock.subseconds().count());
  return time;
}

}  // namespace platform
