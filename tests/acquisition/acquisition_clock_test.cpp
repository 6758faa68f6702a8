// The clock over whole cycles that act, on a fake clock.
#include "common/nmea_sentence.h"
#include "support/controller_fixture.h"
#include "support/system_time_values.h"
#include "support/wait_until.h"

#include <cstdio>
#include <optional>

using namespace std::chrono_literals;
using platform::SystemTime;
using testing_support::at;
using testing_support::expect_same;

namespace {

std::string rmc(const std::string& time, const std::string& date, char status = 'A') {
  const std::string body =
      "GPRMC," + time + "," + status + ",4807.0380,N,01131.0000,E,022.4,084.4," + date + ",003.1,W";
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", common::checksum_of(body));
  return "$" + body + tail;
}

class ClockTest : public ControllerFixture {
 protected:
  void SetUp() override { c.port().SetConnected(true); }

  // One cycle that acts, on `text` or on what the port's events delivered.
  void act(const std::optional<std::string>& text = {}) {
    if (text) c.receive_buffer() = *text;
    c.set_countdown(0);
    c.run_cycle();
  }

  // Feeds `text` through the port's events; when the receive path woke for it.
  std::chrono::steady_clock::time_point receive(const std::string& text) {
    const auto before = std::chrono::steady_clock::now();
    line.Feed(text);
    EXPECT_TRUE(testing_support::PumpUntil([&] { return c.receive_buffer().size() == text.size(); }));
    EXPECT_GE(c.port().RxArrival(), before);
    return c.port().RxArrival();
  }
};

TEST_F(ClockTest, TheDayMovesByOneAtMostAndOnlyATrustedSentenceSetsTheClock) {
  const struct {
    const char* what;
    SystemTime now;
    std::string sentence;
    std::optional<SystemTime> expected;
  } cases[] = {
      {"ordinary", at(2024, 6, 1, 10, 0, 0, 123), rmc("100003", "010624"), at(2024, 6, 1, 10, 0, 3, 123, 6)},
      {"GPS day before", at(2024, 6, 2, 0, 0, 1, 250), rmc("235959", "010624"), at(2024, 6, 1, 23, 59, 59, 250, 6)},
      {"GPS day after", at(2024, 6, 1, 23, 59, 58, 500), rmc("000001", "020624"), at(2024, 6, 2, 0, 0, 1, 500, 0)},
      {"new year", at(2023, 12, 31, 23, 59, 59, 900), rmc("000002", "010124"), at(2024, 1, 1, 0, 0, 2, 900, 1)},
      {"29 February", at(2024, 2, 28, 23, 59, 59, 100), rmc("000001", "290224"), at(2024, 2, 29, 0, 0, 1, 100, 4)},
      {"clock hours off", at(2024, 6, 1, 3, 0, 0, 0), rmc("210000", "010624"), at(2024, 6, 1, 21, 0, 0, 0, 6)},
      {"GPS date years off", at(2024, 6, 1, 12, 0, 0, 400), rmc("120005", "151005"), at(2024, 6, 1, 12, 0, 5, 400, 6)},
      {"date off, at midnight", at(2024, 6, 2, 0, 0, 1, 0), rmc("235959", "151005"), at(2024, 6, 1, 23, 59, 59, 0, 6)},
      {"no such GPS date", at(2024, 6, 1, 23, 59, 59, 0), rmc("000001", "310224"), at(2024, 6, 2, 0, 0, 1, 0, 0)},
      {"void", at(2024, 6, 1, 10, 0, 0, 0), rmc("031500", "010624", 'V'), std::nullopt},
      {"bad checksum", at(2024, 6, 1, 10, 0, 0, 0),
       "$GPRMC,031500,A,4807.0380,N,01131.0000,E,022.4,084.4,010180,003.1,W*00\r\n", std::nullopt},
  };
  settings.set_clock = true;
  for (const auto& test_case : cases) {
    SCOPED_TRACE(test_case.what);
    clock.now = test_case.now;
    clock.settings.clear();
    act(test_case.sentence);
    ASSERT_EQ(clock.settings.size(), test_case.expected ? 1u : 0u);
    if (test_case.expected) expect_same(clock.settings[0], *test_case.expected);
  }
  EXPECT_EQ(lines(), std::ssize(cases)) << "every fix recorded";
}

TEST_F(ClockTest, TheSentencesAgeSinceItsFirstByteCountsForPreciseTimeAndForChrony) {
  settings.set_clock = true;
  settings.precise_time = true;
  clock.now = at(2024, 6, 1, 12, 0, 9, 700);
  clock.monotonic = receive("$GPGSA,A,3*6E\r\n" + rmc("120007", "010624")) + 2345ms;
  act();
  ASSERT_EQ(clock.settings.size(), 1u);
  expect_same(clock.settings[0], at(2024, 6, 1, 12, 0, 9, 345, 6));
  EXPECT_TRUE(time_samples.samples.empty()) << "not asked for";

  // Chrony gets every trusted complete fix, whatever the clock setting.
  settings.set_clock = false;
  clock.now = at(2024, 6, 1, 12, 0, 9, 700);
  settings.chrony_socket = path("chrony.sock");
  for (const char status : {'V', 'A'}) {
    clock.monotonic = receive(rmc("120007", "010624", status)) + 2500ms;
    c.run_cycle();  // a cycle without actions
  }
  ASSERT_EQ(time_samples.samples.size(), 1u);
  const auto& [socket, sample] = time_samples.samples[0];
  EXPECT_EQ(socket, path("chrony.sock"));
  // The first byte came at 12:00:07.200 by the computer's clock, stamped 12:00:07.
  EXPECT_EQ(platform::instant_of(at(2024, 6, 1, 12, 0, 7, 200)), sample.local);
  EXPECT_EQ(sample.offset, -200ms);
}

}  // namespace
