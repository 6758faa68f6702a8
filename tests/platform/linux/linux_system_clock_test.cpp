#include "platform/linux/linux_system_clock.h"

#include "support/system_time_values.h"

#include <ctime>
#include <gtest/gtest.h>

using platform::SystemTime;

using testing_support::at;
using testing_support::expect_same;

TEST(LinuxSystemClock, BreaksKernelTimeDownInUtcWithMilliseconds) {
  // 2000-02-29 00:00:00 UTC was a Tuesday; the milliseconds are truncated,
  // never rounded into the next second.
  const timespec ts{951782400 + 3600 * 13 + 60 * 7 + 5, 999'999'999};
  expect_same(platform::system_time_from_timespec(ts), at(2000, 2, 29, 13, 7, 5, 999, 2));

  const std::optional<timespec> back = platform::timespec_from_system_time(at(2000, 2, 29, 13, 7, 5, 999, 2));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->tv_sec, ts.tv_sec);
  EXPECT_EQ(back->tv_nsec, 999'000'000);
}

TEST(LinuxSystemClock, RecordsNamingNoInstantAreRefused) {
  const SystemTime impossible[] = {
      at(2023, 2, 29, 0, 0, 0, 0),   at(2024, 2, 30, 0, 0, 0, 0),     at(2024, 4, 31, 0, 0, 0, 0),
      at(2024, 0, 1, 0, 0, 0, 0),    at(2024, 13, 1, 0, 0, 0, 0),     at(2024, 1, 0, 0, 0, 0, 0),
      at(2024, 1, 1, 24, 0, 0, 0),   at(2024, 1, 1, 0, 60, 0, 0),     at(2024, 1, 1, 0, 0, 60, 0),
      at(2024, 1, 1, 0, 0, 0, 1000), at(1969, 12, 31, 23, 59, 59, 0),
  };
  for (const SystemTime& t : impossible) {
    SCOPED_TRACE(testing::Message() << t.Year << '-' << t.Month << '-' << t.Day << ' ' << t.Hour << ':' << t.Minute
                                    << ':' << t.Second << '.' << t.Milliseconds);
    EXPECT_FALSE(platform::timespec_from_system_time(t));
  }
}

// Reading only: no test ever sets the real clock.
TEST(LinuxSystemClock, ReadsTheCurrentTime) {
  platform::LinuxSystemClock clock;
  const time_t before = time(nullptr);
  const std::optional<timespec> now = platform::timespec_from_system_time(clock.now_utc());
  const time_t after = time(nullptr);
  ASSERT_TRUE(now);
  EXPECT_GE(now->tv_sec, before);
  EXPECT_LE(now->tv_sec, after);
}
