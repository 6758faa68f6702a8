#include "platform/linux/kernel_clock_sync.h"

#include <gtest/gtest.h>

TEST(KernelClockSync, KeptOnlyWithoutErrorStateOrUnsyncFlag) {
  // state, status, then synchronised: 1, not: 0, unknown: -1
  const int cases[][3] = {
      {TIME_OK, 0, 1}, {TIME_OK, STA_UNSYNC, 0}, {TIME_ERROR, 0, 0}, {TIME_INS, STA_PLL, 1}, {-1, 0, -1}};
  for (const auto& [state, status, synchronised] : cases) {
    timex tx{};
    tx.status = status;
    tx.maxerror = 12000;
    const std::optional<platform::ClockSync> sync = platform::clock_sync_of(state, tx);
    EXPECT_EQ(sync ? int(sync->synchronised) : -1, synchronised) << state << " " << status;
    EXPECT_EQ(sync.value_or(platform::ClockSync{false, std::chrono::milliseconds(12)}).max_error,
              std::chrono::milliseconds(12));
  }
  // Reading only: it answers on any machine, without a right.
  EXPECT_TRUE(platform::KernelClockSync().read());
}
