#include "acquisition/time_keeping.h"

#include "support/fake_system_clock.h"
#include "support/fake_time_sample_sink.h"
#include "support/system_time_values.h"

#include <gtest/gtest.h>

using namespace std::chrono;
using acquisition::ClockOutcome;
using acquisition::TimeTrust;
using testing_support::at;

// What the watch learns of a clock setting: set, set on the computer's day
// (a GPS date years off), or refused by the system or for the sentence.
TEST(TimeKeeping, EveryClockSettingIsToldWithItsOutcome) {
  const acquisition::HeureCycle heure{{10, 0, 3, 1, 6, 2024}, std::nullopt};
  const acquisition::HeureCycle years_off{{10, 0, 3, 15, 10, 2005}, std::nullopt};
  const struct {
    std::optional<acquisition::HeureCycle> heure;
    TimeTrust trust;
    bool accepts;
    ClockOutcome outcome;
    platform::SystemTime at;
  } cases[] = {
      {heure, TimeTrust::trusted, true, ClockOutcome::set, at(2024, 6, 1, 10, 0, 3, 250)},
      {years_off, TimeTrust::trusted, true, ClockOutcome::set_on_computer_day, at(2024, 6, 1, 10, 0, 3, 250)},
      {heure, TimeTrust::trusted, false, ClockOutcome::no_right, at(2024, 6, 1, 10, 0, 0, 250)},
      {std::nullopt, TimeTrust::void_fix, true, ClockOutcome::void_fix, at(2024, 6, 1, 10, 0, 0, 250)},
  };
  for (const auto& c : cases) {
    testing_support::FakeSystemClock clock;
    clock.now = at(2024, 6, 1, 10, 0, 0, 250);
    clock.accepts = c.accepts;
    acquisition::TimeWatch watch;
    acquisition::set_clock_from_cycle(clock, c.heure, c.trust, false, watch);
    const acquisition::TimeStatus s = watch.status({}, std::nullopt, "");
    const std::optional<acquisition::ClockAttempt> told = s.last_clock_set ? s.last_clock_set : s.last_clock_refusal;
    ASSERT_TRUE(told);
    EXPECT_EQ(told->outcome, c.outcome);
    EXPECT_EQ(told->at, platform::instant_of(c.at));
  }
}
