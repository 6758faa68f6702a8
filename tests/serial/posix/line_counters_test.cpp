#include "serial/posix/line_counters.h"

#include "serial/serial_device.h"
#include "support/pty_pair.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace serial {
namespace {

TEST(LineCounters, GrowthBecomesErrorsAndEvents) {
  LineCounts before{1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(line_errors_between(before, before), 0u);
  EXPECT_EQ(line_events_between(before, before), 0u);

  LineCounts after = before;
  after.frame++;
  after.buf_overrun += 3;
  EXPECT_EQ(line_errors_between(before, after), LineError::Frame | LineError::RxOver);
  EXPECT_EQ(line_events_between(before, after), uint32_t{EventBit::Error});

  after = before;
  after.brk++;
  after.dcd++;
  after.rng++;
  EXPECT_EQ(line_errors_between(before, after), uint32_t{LineError::Break});
  EXPECT_EQ(line_events_between(before, after), EventBit::Break | EventBit::Rlsd | EventBit::Ring);

  after = before;
  after.overrun++;
  after.parity++;
  after.cts++;
  after.dsr++;
  EXPECT_EQ(line_errors_between(before, after), LineError::Overrun | LineError::RxParity);
  EXPECT_EQ(line_events_between(before, after), EventBit::Error | EventBit::Cts | EventBit::Dsr);
}

TEST(LineCounters, PtysKeepNone) {
  testing::PtyPair pty;
  LineCounts counts;
  EXPECT_EQ(read_line_counts(pty.slave(), counts), ENOTTY);
}

}  // namespace
}  // namespace serial
