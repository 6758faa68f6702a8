#include "acquisition/receiver_delay.h"

#include <gtest/gtest.h>

using namespace std::chrono;
using acquisition::ReceiverDelay;

namespace {

// A fix every 3 s, arriving `delay` after its second by the computer's clock,
// which reads `clock_error` ahead of the monotonic clock's count.
void add_fix(ReceiverDelay& r, int index, milliseconds delay, milliseconds clock_error = {}) {
  const acquisition::Arrival arrival{seconds(3 * index)};
  const platform::UtcInstant local = sys_days(2026y / 12 / 7) + seconds(3 * index) + delay + clock_error;
  r.add(arrival, {local, -delay - clock_error});
}

}  // namespace

TEST(ReceiverDelay, MedianAndTheTenToNinetyRangeOfTheLastSixtyFixes) {
  ReceiverDelay r;
  EXPECT_FALSE(r.figures());
  // Five fixes of 50 ms, then 70 of 10 ... 100 ms that push them out.
  for (int i = 0; i < 5; ++i) add_fix(r, i, milliseconds(50));
  for (int i = 0; i < 70; ++i) add_fix(r, 5 + i, milliseconds(10 * (1 + i % 10)));
  const acquisition::DelayFigures f = *r.figures();
  EXPECT_EQ(f.count, ReceiverDelay::kWindow);
  EXPECT_EQ(f.median, milliseconds(55));
  EXPECT_EQ(f.low, milliseconds(20));  // six of each: the 10 % rank is the seventh
  EXPECT_EQ(f.high, milliseconds(90));
  EXPECT_EQ(f.spread(), f.high - f.low);
}

// The computer's clock stepped by 2 s between two fixes (set by Orvanta, or
// by a time service): what came before says nothing of the receiver now. A
// slew within what chronyd does keeps the window.
TEST(ReceiverDelay, AClockStepStartsTheWindowAfreshASlewDoesNot) {
  ReceiverDelay r;
  for (int i = 0; i < 20; ++i) add_fix(r, i, milliseconds(300), milliseconds(i * 20));
  EXPECT_EQ(r.figures()->count, 20u);
  add_fix(r, 20, milliseconds(300), milliseconds(2000));
  EXPECT_EQ(r.figures()->count, 1u);
  EXPECT_EQ(r.figures()->median, milliseconds(2300));
  r.clear();
  EXPECT_FALSE(r.figures());
}
