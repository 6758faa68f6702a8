// The driver's cumulative line counters (TIOCGICOUNT) and what changed between
// two readings of them.
#pragma once

#include <cstdint>

namespace serial {

struct LineCounts {
  int cts = 0, dsr = 0, rng = 0, dcd = 0;
  int frame = 0, overrun = 0, parity = 0, brk = 0, buf_overrun = 0;
};

// Returns 0 and fills `counts`; ENOTTY when the driver keeps no counters
// (ptys, some USB adapters); another errno value when the device fails.
int read_line_counts(int fd, LineCounts& counts);

// LineError bits for the errors counted between the two readings.
uint32_t line_errors_between(const LineCounts& before, const LineCounts& after);
// EventBit bits (Error, Break, Cts, Dsr, Rlsd, Ring) for what was counted between them.
uint32_t line_events_between(const LineCounts& before, const LineCounts& after);

}  // namespace serial
