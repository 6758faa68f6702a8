#include "acquisition/clock_setting.h"

#include "support/fake_system_clock.h"
#include "support/system_time_values.h"

#include <gtest/gtest.h>

using platform::SystemTime;
using testing_support::FakeSystemClock;

using testing_support::at;
using testing_support::expect_same;

// Just before midnight on the computer, just after on GPS: the date moves on
// with GPS's, the milliseconds run on.
TEST(ClockSetting, TheDateFollowsGpsAcrossMidnight) {
  FakeSystemClock clock;
  clock.now = at(2024, 2, 29, 23, 59, 58, 737, 4);

  EXPECT_TRUE(acquisition::Regler_horloge_pc(clock, {0, 0, 3, 1, 3, 2024}, std::nullopt));
  ASSERT_EQ(clock.settings.size(), 1u);
  expect_same(clock.settings[0], at(2024, 3, 1, 0, 0, 3, 737, 5));
}

TEST(ClockSetting, RefusalIsReported) {
  FakeSystemClock clock;
  clock.now = at(2024, 6, 1, 10, 0, 0, 5);
  clock.accepts = false;

  EXPECT_FALSE(acquisition::Regler_horloge_pc(clock, {12, 35, 19, 1, 6, 2024}, std::nullopt));
  EXPECT_EQ(clock.settings.size(), 1u);
  expect_same(clock.now, at(2024, 6, 1, 10, 0, 0, 5));
}
