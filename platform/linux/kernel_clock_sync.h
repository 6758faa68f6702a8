// The clock's synchronisation as the kernel keeps it for NTP daemons
// (chronyd, ntpd, systemd-timesyncd all report to it): adjtimex in read-only
// mode, which needs no right and never touches the clock. timedated's
// NTPSynchronized property is read from the same place.
#pragma once

#include "platform/clock_sync.h"

#include <sys/timex.h>

namespace platform {

// `state` is adjtimex's result: TIME_ERROR, or STA_UNSYNC in the status,
// means no service has kept the clock lately.
std::optional<ClockSync> clock_sync_of(int state, const timex& tx);

class KernelClockSync : public ClockSyncSource {
 public:
  std::optional<ClockSync> read() override;
};

}  // namespace platform
