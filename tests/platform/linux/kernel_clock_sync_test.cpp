#include "platform/linux/kernel_clock_sync.h"

#include <gtest/gtest.h>

TEST(KernelClockSync, KeptOnlyWithoutErrorStateOrUnsyncFlag) {
  struct Case {
    int state;
    int status;
    bool known;
    bool synchronised;
  };
  for (const Case c :
       {Case{TIME_OK, 0, true, true}, Case{TIME_OK, STA_UNSYNC, true, false}, Case{TIME_ERROR, 0, true, false},
        Case{TIME_INS, STA_PLL, true, true}, Case{-1, 0, false, false}}) {
    timex tx{};
    tx.status = c.status;
    tx.maxerror = 12000;
    const std::optional<platform::ClockSync> sync = platform::clock_sync_of(c.state, tx);
    ASSERT_EQ(sync.has_value(), c.known) << c.state;
    if (!sync) continue;
    EXPECT_EQ(sync->synchronised, c.synchronised) << c.state << " " << c.status;
    EXPECT_EQ(sync->max_error, std::chrono::milliseconds(12));
  }
  // Reading only: it answers on any machine, without a right.
  EXPECT_TRUE(platform::KernelClockSync().read());
}
