#include "acquisition/time_keeping.h"

#include "support/fake_system_clock.h"
#include "support/system_time_values.h"

#include <gtest/gtest.h>

using acquisition::ClockOutcome;
using testing_support::at;

// What the watch learns of a clock setting: set (dated by the clock as set),
// set on the computer's day (a GPS date years off), or refused.
TEST(TimeKeeping, EveryClockSettingIsToldWithItsOutcome) {
  const acquisition::HeureCycle heure{{10, 0, 3, 1, 6, 2024}, std::nullopt};
  const struct {
    std::optional<acquisition::HeureCycle> heure;
    bool accepts;
    ClockOutcome outcome;
    platform::SystemTime at;
  } cases[] = {
      {heure, true, ClockOutcome::set, at(2024, 6, 1, 10, 0, 3, 250)},
      {acquisition::HeureCycle{{10, 0, 3, 15, 10, 2005}, {}}, true, ClockOutcome::set_on_computer_day,
       at(2024, 6, 1, 10, 0, 3, 250)},
      {heure, false, ClockOutcome::no_right, at(2024, 6, 1, 10, 0, 0, 250)},
      {std::nullopt, true, ClockOutcome::void_fix, at(2024, 6, 1, 10, 0, 0, 250)},
  };
  for (const auto& c : cases) {
    testing_support::FakeSystemClock clock;
    clock.now = at(2024, 6, 1, 10, 0, 0, 250);
    clock.accepts = c.accepts;
    acquisition::TimeWatch watch;
    EXPECT_EQ(acquisition::set_clock_from_cycle(clock, c.heure, acquisition::TimeTrust::void_fix, false, watch),
              c.outcome);
    const acquisition::TimeStatus s = watch.status({}, std::nullopt, "");
    const std::optional<acquisition::ClockAttempt> told = s.last_clock_set ? s.last_clock_set : s.last_clock_refusal;
    ASSERT_TRUE(told);
    EXPECT_EQ(told->outcome, c.outcome);
    EXPECT_EQ(told->at, platform::instant_of(c.at));
  }
}
