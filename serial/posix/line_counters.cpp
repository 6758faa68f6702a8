#include "serial/posix/line_counters.h"

#include "serial/serial_device.h"

#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace serial {

int read_line_counts(int fd, LineCounts& counts) {
  serial_icounter_struct raw{};
  if (::ioctl(fd, TIOCGICOUNT, &raw) != 0) {
    return errno == ENOTTY || errno == EINVAL ? ENOTTY : errno;
  }
  counts = {raw.cts, raw.dsr, raw.rng, raw.dcd, raw.frame, raw.overrun, raw.parity, raw.brk, raw.buf_overrun};
  return 0;
}

uint32_t line_errors_between(const LineCounts& before, const LineCounts& after) {
  uint32_t errors = 0;
  // Counters only grow; inequality rather than "greater" survives their wrap-around.
  if (after.frame != before.frame) errors |= LineError::Frame;
  if (after.overrun != before.overrun) errors |= LineError::Overrun;
  if (after.parity != before.parity) errors |= LineError::RxParity;
  if (after.brk != before.brk) errors |= LineError::Break;
  if (after.buf_overrun != before.buf_overrun) errors |= LineError::RxOver;
  return errors;
}

uint32_t line_events_between(const LineCounts& before, const LineCounts& after) {
  uint32_t events = 0;
  uint32_t errors = line_errors_between(before, after);
  if (errors & (LineError::Frame | LineError::Overrun | LineError::RxParity | LineError::RxOver)) {
    events |= EventBit::Error;
  }
  if (errors & LineError::Break) events |= EventBit::Break;
  if (after.cts != before.cts) events |= EventBit::Cts;
  if (after.dsr != before.dsr) events |= EventBit::Dsr;
  if (after.dcd != before.dcd) events |= EventBit::Rlsd;
  if (after.rng != before.rng) events |= EventBit::Ring;
  return events;
}

}  // namespace serial
