// Building and comparing clock records in tests.
#pragma once

#include "platform/system_clock.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <tuple>

namespace testing_support {

inline platform::SystemTime at(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute,
                               uint16_t second, uint16_t ms, uint16_t day_of_week = 0) {
  return {year, month, day_of_week, day, hour, minute, second, ms};
}

inline void expect_same(const platform::SystemTime& a, const platform::SystemTime& b) {
  EXPECT_EQ(std::tie(a.Year, a.Month, a.DayOfWeek, a.Day, a.Hour, a.Minute, a.Second, a.Milliseconds),
            std::tie(b.Year, b.Month, b.DayOfWeek, b.Day, b.Hour, b.Minute, b.Second, b.Milliseconds));
}

}  // namespace testing_support
