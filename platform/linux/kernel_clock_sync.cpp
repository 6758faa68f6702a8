#include "platform/linux/kernel_clock_sync.h"

namespace platform {

std::optional<ClockSync> clock_sync_of(int state, const timex& tx) {
  if (state == -1) return std::nullopt;
  ClockSync sync;
  sync.synchronised = state != TIME_ERROR && (tx.status & STA_UNSYNC) == 0;
  sync.max_error = std::chrono::microseconds(tx.maxerror);
  return sync;
}

std::optional<ClockSync> KernelClockSync::read() {
  timex tx{};  // modes 0: read only
  const int state = adjtimex(&tx);
  return clock_sync_of(state, tx);
}

}  // namespace platform
