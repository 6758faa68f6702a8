// The gpsd device against hostile peers of the test's own (a real gpsd: tests/e2e).
#include "serial/gpsd/gpsd_serial_device.h"

#include "support/fake_gpsd.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace serial {
namespace {

using namespace std::chrono_literals;
using testing_support::FakeGpsd;
using Clock = std::chrono::steady_clock;

constexpr char kFix[] = "$GPRMC,120000,A,4500.0000,N,00600.0000,E,012.5,045.0,070126,,*6B\r\n";
// Sentences that must never reach the port: quoted in a report, behind a space or a CR.
constexpr char kHidden[] = "$GPRMC,235959,A,0000.0000,N,00000.0000,E,000.0,000.0,010100,,*6B\r\n";

std::unique_ptr<GpsdSerialDevice> Connect(const FakeGpsd& gpsd, int& error) {
  return GpsdSerialDevice::connect({"127.0.0.1", gpsd.port()}, error);
}

// A gpsd that never runs dry, or never ends a line, holds no thread: the
// window's queries come back at once while the event thread reads, sentences
// keep coming (and only lines that are sentences), and the wait ends on a cancel.
TEST(GpsdSerialDevice, APeerAtFullSpeedHoldsNoThread) {
  std::string flood = std::string("{\"class\":\"ERROR\",\"message\":\"\r") + kHidden + "\"}\r\n " + kHidden + "\r" +
                      kHidden + "!AIVDM,1,1,,A,13u?etPv2;0n:dDPwUM1U1Cb069D,0*24\r\n";
  for (int i = 0; i < 200; ++i) flood += kFix;
  for (const auto mode : {FakeGpsd::Mode::Fast, FakeGpsd::Mode::EndlessLine}) {
    SCOPED_TRACE(mode == FakeGpsd::Mode::Fast ? "fast" : "endless line");
    FakeGpsd gpsd(mode, flood);
    int error = 0;
    const auto device = Connect(gpsd, error);
    ASSERT_TRUE(device) << error;
    ASSERT_EQ(device->set_event_mask(EventBit::RxChar), 0);
    std::thread events([&] {
      uint32_t found = 0;
      while (device->wait_event(found) == 0 && found != 0) {
      }
    });
    auto longest = Clock::duration::zero();
    std::string got;
    for (int i = 0; i < 60; ++i) {
      const auto start = Clock::now();
      uint32_t errors = 0, in_queue = 0, out_queue = 0;
      EXPECT_EQ(device->clear_error(errors, in_queue, out_queue), 0);
      longest = std::max(longest, Clock::now() - start);
      char bytes[1024];
      int done = 0;
      EXPECT_EQ(device->read(bytes, sizeof bytes, done), 0);
      got.append(bytes, static_cast<size_t>(done));
      std::this_thread::sleep_for(5ms);
    }
    EXPECT_LT(longest, 100ms) << "generous: a query reads no device";
    EXPECT_EQ(got.find(kFix) != std::string::npos, mode == FakeGpsd::Mode::Fast);
    EXPECT_EQ(got.find("235959"), std::string::npos);
    const auto stop = Clock::now();
    device->cancel_wait();
    events.join();
    EXPECT_LT(Clock::now() - stop, 1s);
  }
}

// A connection reset right after gpsd's greeting is a refused open, or a
// device that vanishes once open, never a failed look at the lines.
TEST(GpsdSerialDevice, AResetAfterTheGreetingIsAVanishedDevice) {
  FakeGpsd gpsd(FakeGpsd::Mode::ResetAfterGreeting);
  for (int attempt = 0; attempt < 10; ++attempt) {
    int error = 0;
    const auto device = Connect(gpsd, error);
    if (!device) {
      EXPECT_EQ(error, ECONNREFUSED);
      continue;
    }
    uint32_t lines = 1, events = 0;
    EXPECT_EQ(device->modem_status(lines), 0);
    EXPECT_EQ(lines, 0u);
    ASSERT_EQ(device->set_event_mask(EventBit::RxChar), 0);
    EXPECT_EQ(device->wait_event(events), EIO);
  }
}

}  // namespace
}  // namespace serial
