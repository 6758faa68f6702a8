#include "platform/linux/linux_system_clock.h"

#include "platform/linux/timedated.h"

#include <cerrno>

namespace platform {

using namespace std::chrono;

SystemTime system_time_from_timespec(const timespec& ts) {
  return system_time_of(UtcInstant(floor<milliseconds>(seconds(ts.tv_sec) + nanoseconds(ts.tv_nsec))));
}

std::optional<timespec> timespec_from_system_time(const SystemTime& time) {
  const std::optional<UtcInstant> instant = instant_of(time);
  if (!instant) return std::nullopt;
  const milliseconds since_epoch = instant->time_since_epoch();
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(floor<seconds>(since_epoch).count());
  ts.tv_nsec = static_cast<long>(nanoseconds(since_epoch - floor<seconds>(since_epoch)).count());
  return ts;
}

SystemTime LinuxSystemClock::now_utc() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return system_time_from_timespec(ts);
}

bool LinuxSystemClock::set_utc(const SystemTime& time) {
  const std::optional<timespec> ts = timespec_from_system_time(time);
  if (!ts) return false;
  if (clock_settime(CLOCK_REALTIME, &*ts) == 0) return true;
  if (errno != EPERM) return false;
  return timedated_set_time(QDBusConnection::systemBus(),
                            duration_cast<microseconds>(instant_of(time)->time_since_epoch()));
}

steady_clock::time_point LinuxSystemClock::monotonic_now() { return steady_clock::now(); }

}  // namespace platform
