// The gpsd device against hostile peers of the test's own (a real gpsd: tests/e2e).
#include "serial/gpsd/gpsd_serial_device.h"

#include "support/fake_gpsd.h"
#include "support/wait_until.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace serial {
namespace {

using namespace std::chrono_literals;
using testing_support::FakeGpsd;

constexpr char kFix[] = "$GPRMC,120000,A,4500.0000,N,00600.0000,E,012.5,045.0,070126,,*6B\r\n";
constexpr char kAis[] = "!AIVDM,1,1,,A,13u?etPv2;0n:dDPwUM1U1Cb069D,0*24\r\n";

std::unique_ptr<GpsdSerialDevice> Connect(const FakeGpsd& gpsd) {
  int error = 0;
  auto device = GpsdSerialDevice::connect({"127.0.0.1", gpsd.port()}, error);
  EXPECT_TRUE(device) << "error " << error;
  return device;
}

// What the device reads within `time`, at once each time (no read waits).
std::string ReadFor(SerialDevice& device, std::chrono::milliseconds time) {
  std::string got;
  const auto end = std::chrono::steady_clock::now() + time;
  while (std::chrono::steady_clock::now() < end) {
    char bytes[1024];
    int done = 0;
    if (device.read(bytes, sizeof bytes, done) != 0) break;
    got.append(bytes, static_cast<size_t>(done));
    std::this_thread::sleep_for(1ms);
  }
  return got;
}

// A gpsd that never runs dry, or never ends a line, holds no thread: the
// window's queries come back at once while the event thread reads, sentences
// keep coming, and the event wait ends on a cancel.
TEST(GpsdSerialDevice, APeerAtFullSpeedHoldsNoThread) {
  std::string flood;
  for (int i = 0; i < 200; ++i) flood += kFix;
  for (const auto mode : {FakeGpsd::Mode::Fast, FakeGpsd::Mode::EndlessLine}) {
    SCOPED_TRACE(mode == FakeGpsd::Mode::Fast ? "fast" : "endless line");
    FakeGpsd gpsd(mode, flood);
    const auto device = Connect(gpsd);
    ASSERT_TRUE(device);
    ASSERT_EQ(device->set_event_mask(EventBit::RxChar), 0);
    std::atomic<int> wakes = 0;
    std::thread events([&] {
      uint32_t found = 0;
      while (device->wait_event(found) == 0 && found != 0) ++wakes;
    });
    auto longest = 0ms;
    for (int i = 0; i < 20; ++i) {
      const auto start = std::chrono::steady_clock::now();
      uint32_t errors = 0, in_queue = 0, out_queue = 0;
      EXPECT_EQ(device->clear_error(errors, in_queue, out_queue), 0);
      longest = std::max(
          longest, std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start));
      std::this_thread::sleep_for(5ms);
    }
    EXPECT_LT(longest, 100ms) << "generous: a query reads no device";
    const std::string got = ReadFor(*device, 300ms);
    if (mode == FakeGpsd::Mode::Fast)
      EXPECT_NE(got.find(kFix), std::string::npos);
    else
      EXPECT_EQ(got, "");
    const auto stop = std::chrono::steady_clock::now();
    device->cancel_wait();
    events.join();
    EXPECT_LT(std::chrono::steady_clock::now() - stop, 1s);
  }
}

// A connection reset right after gpsd's greeting is a refused open, or a
// device that vanishes once open, never a failed look at the lines.
TEST(GpsdSerialDevice, AResetAfterTheGreetingIsAVanishedDevice) {
  FakeGpsd gpsd(FakeGpsd::Mode::ResetAfterGreeting);
  for (int attempt = 0; attempt < 10; ++attempt) {
    int error = 0;
    const auto device = GpsdSerialDevice::connect({"127.0.0.1", gpsd.port()}, error);
    if (!device) {
      EXPECT_EQ(error, ECONNREFUSED);
      continue;
    }
    uint32_t lines = 1;
    EXPECT_EQ(device->modem_status(lines), 0);
    EXPECT_EQ(lines, 0u);
    ASSERT_EQ(device->set_event_mask(EventBit::RxChar), 0);
    uint32_t events = 0;
    EXPECT_EQ(device->wait_event(events), EIO);
  }
}

// Only lines that start with a sentence reach the port: a sentence quoted in
// a report, or behind a space or a CR, is no fix.
TEST(GpsdSerialDevice, PassesOnlyLinesThatAreSentences) {
  const std::string quoted = std::string("{\"class\":\"ERROR\",\"message\":\"") + "\r" + kFix + "\"}\r\n";
  FakeGpsd gpsd(FakeGpsd::Mode::Once, quoted + " " + kFix + "\r" + kFix + kAis + kFix);
  const auto device = Connect(gpsd);
  ASSERT_TRUE(device);
  const std::string sentences = std::string(kAis) + kFix;
  std::string got;
  EXPECT_TRUE(testing_support::WaitUntil([&] { return (got += ReadFor(*device, 10ms)).size() >= sentences.size(); }));
  EXPECT_EQ(got, sentences);
}

}  // namespace
}  // namespace serial
