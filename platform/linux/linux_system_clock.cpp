#include "platform/linux/linux_system_clock.h"

namespace platform {

SystemTime system_time_from_timespec(const timespec& ts) {
  tm broken{};
  gmtime_r(&ts.tv_sec, &broken);
  SystemTime time;
  time.Year = static_cast<uint16_t>(broken.tm_year + 1900);
  time.Month = static_cast<uint16_t>(broken.tm_mon + 1);
  time.DayOfWeek = static_cast<uint16_t>(broken.tm_wday);
  time.Day = static_cast<uint16_t>(broken.tm_mday);
  time.Hour = static_cast<uint16_t>(broken.tm_hour);
  time.Minute = static_cast<uint16_t>(broken.tm_min);
  time.Second = static_cast<uint16_t>(broken.tm_sec);
  time.Milliseconds = static_cast<uint16_t>(ts.tv_nsec / 1'000'000);
  return time;
}

std::optional<timespec> timespec_from_system_time(const SystemTime& time) {
  if (time.Year < 1970 || time.Month < 1 || time.Month > 12 || time.Day < 1 || time.Hour > 23 || time.Minute > 59 ||
      time.Second > 59 || time.Milliseconds > 999) {
    return std::nullopt;
  }
  tm broken{};
  broken.tm_year = time.Year - 1900;
  broken.tm_mon = time.Month - 1;
  broken.tm_mday = time.Day;
  broken.tm_hour = time.Hour;
  broken.tm_min = time.Minute;
  broken.tm_sec = time.Second;
  const time_t seconds = timegm(&broken);
  // timegm rolls an impossible day over into the next month; such a record
  // is refused rather than set to another date.
  if (seconds == static_cast<time_t>(-1) || broken.tm_mday != time.Day) return std::nullopt;
  timespec ts{};
  ts.tv_sec = seconds;
  ts.tv_nsec = static_cast<long>(time.Milliseconds) * 1'000'000;
  return ts;
}

SystemTime LinuxSystemClock::now_utc() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return system_time_from_timespec(ts);
}

bool LinuxSystemClock::set_utc(const SystemTime& time) {
  const std::optional<timespec> ts = timespec_from_system_time(time);
  return ts && clock_settime(CLOCK_REALTIME, &*ts) == 0;
}

}  // namespace platform
