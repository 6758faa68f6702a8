// Sets the computer's clock to the GPS time of day.
#pragma once

#include "platform/system_clock.h"

namespace acquisition {

// Only the time of day comes from GPS: the date, the day of the week and the
// milliseconds stay those the clock has at the moment it is read. True when
// the system accepted the new time.
bool Regler_horloge_pc(platform::SystemClock& clock, int hour, int minute, int second);

}  // namespace acquisition
