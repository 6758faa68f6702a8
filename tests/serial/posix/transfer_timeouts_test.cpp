#include "serial/posix/transfer_timeouts.h"

#include <gtest/gtest.h>

namespace serial {
namespace {

CommTimeouts reads(int32_t interval, int32_t multiplier, int32_t constant) {
  CommTimeouts t;
  t.ReadInterval = interval;
  t.ReadTotalMultiplier = multiplier;
  t.ReadTotalConstant = constant;
  return t;
}

TEST(TransferTimeouts, ReadLimits) {
  // The port's defaults: hand back what is queued.
  ReadLimits at_once = read_limits(CommTimeouts{}, 100);
  EXPECT_TRUE(at_once.return_at_once);

  // Wait for the first bytes, at most the constant.
  ReadLimits first = read_limits(reads(-1, -1, 500), 100);
  EXPECT_FALSE(first.return_at_once);
  EXPECT_TRUE(first.return_on_first_bytes);
  EXPECT_EQ(first.total_ms, 500);
  EXPECT_EQ(first.interval_ms, -1);

  // All zero: no limit at all.
  ReadLimits forever = read_limits(reads(0, 0, 0), 100);
  EXPECT_FALSE(forever.return_at_once || forever.return_on_first_bytes);
  EXPECT_EQ(forever.total_ms, -1);
  EXPECT_EQ(forever.interval_ms, -1);

  ReadLimits both = read_limits(reads(20, 10, 300), 7);
  EXPECT_EQ(both.total_ms, 10 * 7 + 300);
  EXPECT_EQ(both.interval_ms, 20);

  // Record values are unsigned: the largest ones neither wrap nor go negative.
  ReadLimits huge = read_limits(reads(1, -1, -1), 0x7FFFFFFF);
  EXPECT_EQ(huge.total_ms, int64_t{0xFFFFFFFF} * 0x7FFFFFFF + 0xFFFFFFFF);
}

TEST(TransferTimeouts, WriteLimit) {
  CommTimeouts defaults;
  EXPECT_EQ(write_limit_ms(defaults, 10), 100 * 10 + 1000);
  CommTimeouts none;
  none.WriteTotalMultiplier = 0;
  none.WriteTotalConstant = 0;
  EXPECT_EQ(write_limit_ms(none, 10), -1);
}

}  // namespace
}  // namespace serial
