// The words of the clock log (orvanta.clock) for an acting cycle with a
// trusted time: what became of the clock and which day it took, said
// outright, since a user reading the log wants to know why the clock's date
// is not the receiver's.
#pragma once

#include "acquisition/gps_time.h"
#include "acquisition/time_status.h"
#include "platform/system_clock.h"

#include <string>

namespace acquisition {

// `computer`: the computer's time before the setting; `mended`: the
// week-rollover rule moved the receiver's date in this cycle.
std::string clock_set_words(const GpsTime& gps, ClockOutcome outcome, platform::UtcInstant computer, bool mended);

}  // namespace acquisition
