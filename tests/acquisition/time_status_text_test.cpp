#include "acquisition/time_status_text.h"

#include "acquisition/rmc_decoder.h"
#include "acquisition/time_keeping.h"
#include "support/fake_system_clock.h"
#include "support/fake_time_sample_sink.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace std::chrono;
using acquisition::ClockOutcome;
using acquisition::TimeStatus;

namespace {

const platform::UtcInstant kNow = sys_days(2005y / March / 15) + hours(12) + minutes(4);

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

// A real receiver whose sentences reach the computer 300 ms (give or take
// 15 ms) after their second, read 1.7 s later by the cycle: the delay and the
// chrony line come from the arrival of each sentence's first byte.
TEST(TimeReport, ReceiverThreeHundredMillisecondsLate) {
  const std::filesystem::path capture = std::filesystem::path(ORVANTA_CAPTURES_DIR) / "garmin25lp.log";
  if (!std::filesystem::exists(capture)) GTEST_SKIP() << "no receiver captures here";
  std::ifstream in(capture, std::ios::binary);
  testing_support::FakeSystemClock clock;
  testing_support::FakeTimeSampleSink chrony;
  acquisition::TimeWatch watch;
  const milliseconds jitter[] = {-15ms, 15ms, -5ms, 5ms};
  int fixes = 0;
  for (std::string line; std::getline(in, line);) {
    acquisition::FixFields fields;
    if (acquisition::Decodage_GPRMC(line, fields) != acquisition::Trame_complete) continue;
    acquisition::ArrivalTimes arrivals;
    std::optional<acquisition::HeureCycle> heure = acquisition::Heure_du_cycle(line, false, fields, arrivals);
    if (!heure) continue;  // status V
    const milliseconds arrived =
        hours(heure->gps.hour) + minutes(heure->gps.minute) + seconds(heure->gps.second) + 300ms + jitter[fixes++ % 4];
    clock.monotonic = acquisition::Arrival(arrived + 1700ms);
    clock.now = platform::system_time_of(sys_days(2005y / March / 15) + arrived + 1700ms);
    heure->arrival = acquisition::Arrival(arrived);
    acquisition::hand_on_fix_time(clock, chrony, "/run/gps.sock", *heure, watch);
  }
  const TimeStatus status = watch.status(kNow, platform::ClockSync{true, 12ms}, "/run/gps.sock");
  ASSERT_TRUE(status.delay);
  EXPECT_EQ(chrony.samples.size(), status.delay->count);
  EXPECT_LE(abs(status.delay->median - 300ms), 20ms);
  EXPECT_EQ(acquisition::time_report_exit_status(status), 0);
  const std::string report = acquisition::time_report_text(status);
  EXPECT_TRUE(has(report, "Heure GPS (dernier point) : 15/03/2005 12:03:35 UTC\n")) << report;
  EXPECT_TRUE(has(report, "Retard du récepteur : 0.300 s (80 % entre 0.285 et 0.315 s, sur 10 points)\n"));
  EXPECT_TRUE(has(report, "Ligne chrony : refclock SOCK /run/gps.sock refid GPS offset 0.300 delay 0.2 precision 0.1"));
}

// What the figures say before any fix, and against an unkept clock.
TEST(TimeReport, FiguresInWords) {
  acquisition::TimeWatch watch;
  std::optional<platform::ClockSync> sync;
  const auto value = [&](size_t line) {
    return acquisition::time_status_lines(watch.status(kNow, sync, ""))[line].value;
  };
  EXPECT_EQ(acquisition::time_report_exit_status(watch.status(kNow, sync, "")), 1);
  EXPECT_TRUE(has(acquisition::time_report_text(watch.status(kNow, sync, "")), "chrony : aucune, faute de points"));
  EXPECT_EQ(value(7), "non envoyés (aucun socket : Chrony= dans orvanta.INI)");

  sync = platform::ClockSync{false, 16s};
  watch.fix(acquisition::Arrival{}, {kNow, -2400ms});
  EXPECT_EQ(value(3), "2.400 s (80 % entre 2.400 et 2.400 s, sur 1 points), peu sûr : horloge non synchronisée");
  EXPECT_EQ(acquisition::refclock_line(watch.status(kNow, sync, "")),
            "refclock SOCK /run/chrony.orvanta.sock refid GPS offset 2.400 delay 0.2 precision 0.1");
  watch.clock_attempt(ClockOutcome::set_on_computer_day, kNow);
  watch.clock_attempt(acquisition::refusal_of(acquisition::TimeTrust::bad_checksum), kNow);
  EXPECT_EQ(value(5), "le 15/03/2005 12:04:00 UTC, sur le jour de l'ordinateur (la date GPS en diffère)");
  EXPECT_EQ(value(6), "le 15/03/2005 12:04:00 UTC : somme de contrôle fausse");
  watch.chrony_sample(false);
  EXPECT_EQ(acquisition::time_status_lines(watch.status(kNow, sync, "/run/x.sock"))[7].value,
            "/run/x.sock : injoignable, 1 envoyés, 0 acceptés");
}
