#include "acquisition/receiver_delay.h"

#include <gtest/gtest.h>

using namespace std::chrono;
using acquisition::ReceiverDelay;

namespace {

// Fix `index` arrives 3 s after the one before, `delay` after its second by
// the computer's clock, which reads `clock_error` ahead of the monotonic one.
void add_fix(ReceiverDelay& r, int index, milliseconds delay, milliseconds clock_error = {}) {
  const platform::UtcInstant local = sys_days(2026y / 12 / 7) + seconds(3 * index) + delay + clock_error;
  r.add(acquisition::Arrival(seconds(3 * index)), {local, -delay - clock_error});
}

}  // namespace

TEST(ReceiverDelay, MedianAndTheTenToNinetyRangeOfTheLastSixtyFixes) {
  ReceiverDelay r;
  EXPECT_FALSE(r.figures());
  // Five fixes of 50 ms, then 70 of 10 ... 100 ms that push them out.
  for (int i = 0; i < 75; ++i) add_fix(r, i, i < 5 ? 50ms : milliseconds(10 * (1 + i % 10)));
  const acquisition::DelayFigures f = *r.figures();
  EXPECT_EQ(f.count, ReceiverDelay::kWindow);
  EXPECT_EQ(f.median, 55ms);
  EXPECT_EQ(f.low, 20ms);  // six of each: the 10 % rank is the seventh
  EXPECT_EQ(f.high, 90ms);
}

// A clock stepped by 2 s between two fixes (set by Orvanta, or by a time
// service) makes the earlier delays meaningless; a slew as chronyd's keeps them.
TEST(ReceiverDelay, AClockStepStartsTheWindowAfreshASlewDoesNot) {
  ReceiverDelay r;
  for (int i = 0; i < 20; ++i) add_fix(r, i, 300ms, milliseconds(i * 20));
  EXPECT_EQ(r.figures()->count, 20u);
  add_fix(r, 20, 300ms, 2000ms);
  EXPECT_EQ(r.figures()->count, 1u);
  EXPECT_EQ(r.figures()->median, 2300ms);
}
