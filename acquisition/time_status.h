// What the time panel and the time report show: the time of the last fix
// against the computer's, the receiver's delay, the clock's keeper, what came
// of setting the clock, and the samples handed to chronyd.
#pragma once

#include "acquisition/receiver_delay.h"
#include "platform/clock_sync.h"
#include "platform/system_clock.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace acquisition {

// What came of an attempt to set the clock from a fix.
enum class ClockOutcome {
  set,
  // Set to the time of day on the computer's own day: the receiver's date
  // lies more than a day away from it.
  set_on_computer_day,
  void_fix,      // status V: the receiver has no fix, its time is not sure
  bad_checksum,  // the sentence did not arrive intact
  no_right,      // the system refused the new time
};

inline bool clock_was_set(ClockOutcome outcome) {
  return outcome == ClockOutcome::set || outcome == ClockOutcome::set_on_computer_day;
}

struct ClockAttempt {
  ClockOutcome outcome = ClockOutcome::set;
  platform::UtcInstant at{};
};

struct ChronyFeed {
  std::string socket;  // empty: no samples are sent
  uint64_t sent = 0;
  uint64_t accepted = 0;
  // Whether the last sample was taken; nullopt before the first.
  std::optional<bool> reachable;
};

struct TimeStatus {
  // The last trusted fix: its time, and the computer's time when its first
  // byte arrived minus that time.
  std::optional<platform::UtcInstant> gps_time;
  std::optional<std::chrono::milliseconds> difference;
  platform::UtcInstant computer_time{};
  std::optional<DelayFigures> delay;
  std::optional<platform::ClockSync> sync;  // nullopt: the system does not tell
  // The last time the clock was set, and the last time it was not.
  std::optional<ClockAttempt> last_clock_set;
  std::optional<ClockAttempt> last_clock_refusal;
  ChronyFeed chrony;
};

}  // namespace acquisition
