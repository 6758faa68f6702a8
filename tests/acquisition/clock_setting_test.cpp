#include "acquisition/clock_setting.h"

#include "acquisition/linux_system_clock.h"
#include "support/fake_system_clock.h"

#include <gtest/gtest.h>

using acquisition::SystemTime;
using testing_support::FakeSystemClock;

namespace {

SystemTime at(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute, uint16_t second,
              uint16_t ms, uint16_t day_of_week = 0) {
  return {year, month, day_of_week, day, hour, minute, second, ms};
}

void expect_same(const SystemTime& a, const SystemTime& b) {
  EXPECT_EQ(std::tie(a.Year, a.Month, a.DayOfWeek, a.Day, a.Hour, a.Minute, a.Second, a.Milliseconds),
            std::tie(b.Year, b.Month, b.DayOfWeek, b.Day, b.Hour, b.Minute, b.Second, b.Milliseconds));
}

}  // namespace

// Just before midnight on the computer, just after on GPS: the date stays the
// computer's, the milliseconds run on.
TEST(ClockSetting, OnlyTheTimeOfDayComesFromGps) {
  FakeSystemClock clock;
  clock.now = at(2024, 2, 29, 23, 59, 58, 737, 4);

  EXPECT_TRUE(acquisition::Regler_horloge_pc(clock, 0, 0, 3));
  ASSERT_EQ(clock.settings.size(), 1u);
  expect_same(clock.settings[0], at(2024, 2, 29, 0, 0, 3, 737, 4));
}

TEST(ClockSetting, RefusalIsReported) {
  FakeSystemClock clock;
  clock.now = at(2024, 6, 1, 10, 0, 0, 5);
  clock.accepts = false;

  EXPECT_FALSE(acquisition::Regler_horloge_pc(clock, 12, 35, 19));
  EXPECT_EQ(clock.settings.size(), 1u);
  expect_same(clock.now, at(2024, 6, 1, 10, 0, 0, 5));
}

TEST(LinuxSystemClock, BreaksKernelTimeDownInUtcWithMilliseconds) {
  // 2000-02-29 00:00:00 UTC was a Tuesday; the milliseconds are truncated,
  // never rounded into the next second.
  const timespec ts{951782400 + 3600 * 13 + 60 * 7 + 5, 999'999'999};
  expect_same(acquisition::system_time_from_timespec(ts), at(2000, 2, 29, 13, 7, 5, 999, 2));

  const std::optional<timespec> back =
      acquisition::timespec_from_system_time(at(2000, 2, 29, 13, 7, 5, 999, 2));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->tv_sec, ts.tv_sec);
  EXPECT_EQ(back->tv_nsec, 999'000'000);
}

TEST(LinuxSystemClock, RecordsNamingNoInstantAreRefused) {
  const SystemTime impossible[] = {
      at(2023, 2, 29, 0, 0, 0, 0),  at(2024, 2, 30, 0, 0, 0, 0),  at(2024, 4, 31, 0, 0, 0, 0),
      at(2024, 0, 1, 0, 0, 0, 0),   at(2024, 13, 1, 0, 0, 0, 0),  at(2024, 1, 0, 0, 0, 0, 0),
      at(2024, 1, 1, 24, 0, 0, 0),  at(2024, 1, 1, 0, 60, 0, 0),  at(2024, 1, 1, 0, 0, 60, 0),
      at(2024, 1, 1, 0, 0, 0, 1000), at(1969, 12, 31, 23, 59, 59, 0),
  };
  for (const SystemTime& t : impossible) {
    SCOPED_TRACE(testing::Message() << t.Year << '-' << t.Month << '-' << t.Day << ' ' << t.Hour << ':'
                                    << t.Minute << ':' << t.Second << '.' << t.Milliseconds);
    EXPECT_FALSE(acquisition::timespec_from_system_time(t));
  }
}

// Reading only: no test ever sets the real clock.
TEST(LinuxSystemClock, ReadsTheCurrentTime) {
  acquisition::LinuxSystemClock clock;
  const time_t before = time(nullptr);
  const std::optional<timespec> now = acquisition::timespec_from_system_time(clock.now_utc());
  const time_t after = time(nullptr);
  ASSERT_TRUE(now);
  EXPECT_GE(now->tv_sec, before);
  EXPECT_LE(now->tv_sec, after);
}
