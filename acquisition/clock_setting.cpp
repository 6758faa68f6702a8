#include "acquisition/clock_setting.h"

namespace acquisition {

bool Regler_horloge_pc(platform::SystemClock& clock, int hour, int minute, int second) {
  platform::SystemTime time = clock.now_utc();
  time.Hour = static_cast<uint16_t>(hour);
  time.Minute = static_cast<uint16_t>(minute);
  time.Second = static_cast<uint16_t>(second);
  return clock.set_utc(time);
}

}  // namespace acquisition
