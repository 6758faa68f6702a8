#include "acquisition/clock_log_text.h"

#include "support/system_time_values.h"

#include <gtest/gtest.h>

using acquisition::ClockOutcome;

// The line says which day the clock took and why, not only the rule.
TEST(ClockLogText, SaysWhichDayTheClockTookAndWhy) {
  const platform::UtcInstant noon = *platform::instant_of(testing_support::at(2024, 6, 1, 12, 0, 0, 0));
  const platform::UtcInstant after_midnight = *platform::instant_of(testing_support::at(2024, 6, 2, 0, 0, 1, 0));
  EXPECT_EQ(acquisition::clock_set_words({12, 0, 5, 1, 6, 2024}, ClockOutcome::set, noon, true),
            "clock set from GPS time 12:00:05, GPS date 01/06/24 (the receiver's date moved forward by whole "
            "1024-week periods: its week count had rolled over)");
  EXPECT_EQ(acquisition::clock_set_words({23, 59, 59, 15, 10, 2005}, ClockOutcome::set_on_computer_day, after_midnight,
                                         false),
            "clock set from GPS time 23:59:59 on the day nearest the computer's time, 01/06/24: the GPS date "
            "15/10/05 lies 6805 days before the computer's, more than the one day allowed");
  EXPECT_EQ(acquisition::clock_set_words({12, 0, 5, 31, 2, 2025}, ClockOutcome::set_on_computer_day, noon, false),
            "clock set from GPS time 12:00:05 on the day nearest the computer's time, 01/06/24: the GPS date "
            "31/02/25 names no real day");
}
