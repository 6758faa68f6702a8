// The event wait's own timing, where a pty cannot show it: output that the
// line holds up (CTS low, XOFF) on a UART.
#include "serial/posix/event_waiter.h"

#include "serial/serial_device.h"
#include "support/pty_pair.h"

#include <atomic>
#include <future>

namespace serial {
namespace {

using namespace std::chrono_literals;

TEST(EventWaiter, OutputHeldUpIsLookedAtLessAndLessOften) {
  testing::PtyPair pty;
  std::atomic<int> checks{0};
  ReceiveQueue input(pty.slave());
  ASSERT_EQ(input.init(), 0);
  EventWaiter waiter(pty.slave(), input, [&](int, int& queued) {
    ++checks;
    queued = 4;  // never drains
    return 0;
  });
  ASSERT_EQ(waiter.init(), 0);
  ASSERT_EQ(waiter.set_mask(EventBit::TxEmpty), 0);
  waiter.set_byte_time_us(2083);  // 4800 bit/s: the four bytes need 9 ms
  waiter.note_output();
  auto wait = std::async(std::launch::async, [&] {
    uint32_t events = 0xdead;
    int result = waiter.wait(events);
    return std::pair(result, events);
  });
  std::this_thread::sleep_for(1500ms);
  waiter.cancel();
  ASSERT_EQ(wait.wait_for(5s), std::future_status::ready);
  EXPECT_EQ(wait.get(), std::pair(0, 0u));
  // Every 9 ms would be some 160 looks; backing off to once a second, about ten.
  EXPECT_LE(checks.load(), 15);
  EXPECT_GE(checks.load(), 3);
}

}  // namespace
}  // namespace serial
