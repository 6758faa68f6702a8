// The time status over whole cycles: a real receiver's sentences through the
// port's receive path, on a fake clock.
#include "acquisition/time_status_text.h"
#include "support/controller_fixture.h"
#include "support/rmc_dates.h"
#include "support/wait_until.h"

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace std::chrono;

// A receiver caught by the week-number rollover (dates 1024 weeks back) whose
// sentences arrive 300 ms after their second, read 1.7 s later: the journal
// and the clock get the true dates, chrony the 300 ms from each sentence's
// first byte. (Fed faster than their times, the fixes look like clock steps
// to the delay's window, which keeps the last: ReceiverDelay has the rest.)
TEST_F(ControllerFixture, RolloverReceiverThreeHundredMillisecondsLate) {
  const std::filesystem::path capture = std::filesystem::path(ORVANTA_CAPTURES_DIR) / "garmin25lp.log";
  if (!std::filesystem::exists(capture)) GTEST_SKIP() << "no receiver captures here";
  std::stringstream text;
  text << std::ifstream(capture, std::ios::binary).rdbuf();
  std::istringstream shifted(testing_support::shift_rmc_dates(text.str(), -weeks(1024)));
  settings.chrony_socket = "/run/gps.sock";
  settings.record = true;
  settings.set_clock = true;
  c.port().SetConnected(true);
  int fixes = 0;
  for (std::string rmc; std::getline(shifted, rmc);) {
    if (!rmc.starts_with("$GPRMC") || rmc.find(",A,") == std::string::npos) continue;
    if (rmc.back() == '\r') rmc.pop_back();
    line.Feed(rmc + "\r\n");
    ASSERT_TRUE(testing_support::PumpUntil([&] { return c.receive_buffer().size() == rmc.size() + 2; }));
    // The computer's clock when the first byte came: the sentence's time, 300 ms on.
    const seconds second = hours(std::stoi(rmc.substr(7, 2))) + minutes(std::stoi(rmc.substr(9, 2))) +
                           seconds(std::stoi(rmc.substr(11, 2)));
    clock.monotonic = c.port().RxArrival() + 1700ms;
    clock.now = platform::system_time_of(sys_days(2005y / March / 15) + second + 2000ms);
    c.set_countdown(0);
    c.run_cycle();
    ++fixes;
  }
  ASSERT_EQ(fixes, 10);
  EXPECT_TRUE(records.front().startsWith("15/03/2005\t12:03:26")) << records.front().toStdString();
  EXPECT_EQ(lines(), fixes);

  const acquisition::TimeStatus status = c.time_status();
  EXPECT_EQ(status.difference, 300ms);
  EXPECT_EQ(status.last_clock_set->outcome, acquisition::ClockOutcome::set) << "on the receiver's mended date";
  EXPECT_EQ(time_samples.samples.size(), 10u);
  const std::string report = acquisition::time_report_text(status);
  EXPECT_NE(report.find("Ligne chrony : refclock SOCK /run/gps.sock refid GPS offset 0.300 "), std::string::npos)
      << report;
}
