// The acquisition on real pseudo-terminals: what reaches the journal when the
// receiver floods the line, and when it is unplugged and plugged back.
#include "serial/com_error.h"
#include "serial/posix/posix_device_opener.h"
#include "support/controller_fixture.h"
#include "support/pty_pair.h"
#include "support/replay_tool.h"
#include "support/wait_until.h"

#include <algorithm>
#include <fstream>
#include <unistd.h>

using serial::testing::PtyPair;
using testing_support::PumpUntil;

namespace {

// A fix at `second` seconds past noon.
std::string rmc(int second) {
  char text[96];
  std::snprintf(text, sizeof text, "$GPRMC,12%02d%02d,A,4500.0000,N,00600.0000,E,012.5,045.0,070126,,*00\r\n",
                second / 60 % 60, second % 60);
  return text;
}

std::string clock_of(int second) {
  char text[16];
  std::snprintf(text, sizeof text, "12:%02d:%02d", second / 60 % 60, second % 60);
  return text;
}

class ReceptionOnAPty : public ControllerFixture {
 protected:
  ReceptionOnAPty() : ControllerFixture(serial::posix_serial_devices()) {}

  void SetUp() override {
    set_interval(3);  // a record at every cycle with a fix
    c.set_countdown(0);
  }

  // The receiver sends `text`; the window has it in its buffer, or (when the
  // buffer is full already) the port has had a moment to take it in.
  void receive(PtyPair& pty, const std::string& text) {
    pty.send(text);
    PumpUntil([&] { return c.receive_buffer().find(text) != std::string::npos; }, 300);
  }

  // The time field of each journal record.
  std::vector<std::string> recorded_times() const {
    std::ifstream in(path("journal.txt"), std::ios::binary);
    std::vector<std::string> times;
    std::string record;
    while (std::getline(in, record)) {
      const size_t tab = record.find('\t');
      if (tab != std::string::npos) times.push_back(record.substr(tab + 1, 8));
    }
    return times;
  }
};

// A receiver's start-up dump (or a storm of satellite sentences) used to fill
// the tty's own queue while the window took nothing (its 1,000-character
// rule), after which nothing was ever announced again: one record, then none.
TEST_F(ReceptionOnAPty, EveryCycleAfterABurstRecordsAFreshFix) {
  PtyPair pty;
  c.port().SetPort(pty.path());
  c.port().SetConnected(true);
  std::string burst;
  while (burst.size() < 9000) burst += "$GPGSV,3,1,12,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75\r\n";
  pty.send(burst);
  constexpr int kCycles = 8;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    for (int second = 3 * cycle; second < 3 * cycle + 3; ++second) receive(pty, rmc(second));
    c.run_cycle();
  }
  const std::vector<std::string> times = recorded_times();
  // The cycle of the burst may find only the burst; each one after records,
  // and the last has the newest fix.
  EXPECT_GE(times.size(), size_t{kCycles - 1});
  EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
  ASSERT_FALSE(times.empty());
  EXPECT_EQ(times.back(), clock_of(3 * (kCycles - 1)));
  EXPECT_TRUE(c.lamps().fix);
}

// The line full all the time at 115,200 baud: sentences with line noise
// between them, a fix every 540 bytes or so. Every cycle (a tenth of its real
// length here) finds a fresh fix among what it took and records it.
TEST_F(ReceptionOnAPty, ALineFullOfNoiseAt115200BaudRecordsAtEveryCycle) {
  if (!testing_support::ReplayTool::available()) GTEST_SKIP() << "nmea_replay not built";
  {
    std::ofstream out(path("drive.nmea"), std::ios::binary);
    for (int second = 0; second < 60; ++second)
      out << rmc(second) << "$GPGGA,120000,4500.0000,N,00600.0000,E,1,08,0.9,100.0,M,47.0,M,,*47\r\n";
  }
  testing_support::ReplayTool receiver;
  const std::string pty =
      receiver.start({path("drive.nmea"), "--loop", "--baud", "115200", "--speed", "0", "--noise", "200"});
  ASSERT_FALSE(pty.empty());
  c.port().SetBaudRate(serial::br115200);
  c.port().SetPort(pty);
  c.port().SetConnected(true);
  constexpr int kCycles = 20;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    PumpUntil([] { return false; }, 300);
    c.run_cycle();
  }
  EXPECT_EQ(recorded_times().size(), size_t{kCycles});
  EXPECT_TRUE(c.port().Connected());
}

// Unplugging is closing the pty's master; plugging back is a new pty under
// the same name, as udev gives a USB adapter its name again.
TEST_F(ReceptionOnAPty, AnUnpluggedReceiverIsSeenAndReconnectedByItselfUnderItsName) {
  auto pty = std::make_unique<PtyPair>();
  const std::string name = path("ttyUSB0");
  ASSERT_EQ(::symlink(pty->path().c_str(), name.c_str()), 0);
  settings.auto_connect = true;
  c.port().SetPort(name);
  c.run_cycle();
  ASSERT_TRUE(c.port().Connected());
  receive(*pty, rmc(0));
  c.run_cycle();
  ASSERT_EQ(recorded_times().size(), 1u);
  ASSERT_TRUE(c.lamps().rmc);

  pty->close_master();
  ASSERT_TRUE(PumpUntil([this] { return !c.port().Connected(); }));
  EXPECT_FALSE(c.port().Connected());
  EXPECT_FALSE(c.lamps().rmc);
  EXPECT_FALSE(c.lamps().fix);
  EXPECT_EQ(c.banner(), " VEILLE");

  // While it is gone every cycle tries the same port again, and fails as an
  // automatic connection does (told once in the run of failures).
  pty.reset();
  ASSERT_EQ(::unlink(name.c_str()), 0);
  EXPECT_THROW(c.run_cycle(), serial::EComPort);
  EXPECT_NO_THROW(c.run_cycle());
  EXPECT_EQ(c.banner(), " VEILLE");

  pty = std::make_unique<PtyPair>();
  ASSERT_EQ(::symlink(pty->path().c_str(), name.c_str()), 0);
  c.run_cycle();
  ASSERT_TRUE(c.port().Connected());
  EXPECT_TRUE(c.port().Connected());
  receive(*pty, rmc(9));
  c.run_cycle();
  EXPECT_EQ(recorded_times(), (std::vector<std::string>{clock_of(0), clock_of(9)}));
}

TEST_F(ReceptionOnAPty, WithoutAutomaticConnectionTheUserReconnects) {
  PtyPair pty;
  c.port().SetPort(pty.path());
  c.connect_by_hand();
  ASSERT_TRUE(c.port().Connected());
  pty.close_master();
  ASSERT_TRUE(PumpUntil([this] { return !c.port().Connected(); }));
  c.run_cycle();
  c.run_cycle();
  EXPECT_FALSE(c.port().Connected());
  EXPECT_EQ(c.banner(), " VEILLE");
}

}  // namespace
