#include "acquisition/time_status_text.h"

#include "acquisition/clock_setting.h"
#include "acquisition/rmc_decoder.h"
#include "acquisition/time_watch.h"
#include "support/fake_system_clock.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <tuple>

using namespace std::chrono;
using acquisition::ClockOutcome;
using acquisition::TimeStatus;

namespace {

const platform::UtcInstant kNow = sys_days(2005y / March / 15) + hours(12) + minutes(4);

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

// A real receiver whose sentences reach the computer 300 ms (give or take
// 15 ms) after their second, read 1.7 s later by the cycle: the delay and the
// chrony line come from the arrival of each sentence's first byte, not from
// when the cycle read it.
TEST(TimeReport, ReceiverThreeHundredMillisecondsLate) {
  const std::filesystem::path capture = std::filesystem::path(ORVANTA_CAPTURES_DIR) / "garmin25lp.log";
  if (!std::filesystem::exists(capture)) GTEST_SKIP() << "no receiver captures here";
  std::ifstream in(capture, std::ios::binary);
  testing_support::FakeSystemClock clock;
  acquisition::TimeWatch watch;
  const milliseconds jitter[] = {-15ms, 15ms, -5ms, 5ms};
  int fixes = 0;
  std::string line;
  while (std::getline(in, line)) {
    const std::string text = line + "\r\n";
    acquisition::FixFields fields;
    if (acquisition::Decodage_GPRMC(text, fields) != acquisition::Trame_complete) continue;
    const std::optional<acquisition::HeureCycle> heure = acquisition::Heure_du_cycle(text, false, fields, {});
    if (!heure) continue;  // status V
    const milliseconds late =
        hours(heure->gps.hour) + minutes(heure->gps.minute) + seconds(heure->gps.second) + 300ms + jitter[fixes++ % 4];
    const acquisition::Arrival arrival(late);
    const milliseconds age(1700);
    clock.monotonic = arrival + age;
    clock.now = platform::system_time_of(sys_days(2005y / March / 15) + late + age);
    watch.fix(arrival, *acquisition::Echantillon_horloge(clock, heure->gps, arrival));
  }
  const TimeStatus status = watch.status(kNow, platform::ClockSync{true, milliseconds(12)}, "/run/gps.sock");
  ASSERT_TRUE(status.delay);
  EXPECT_EQ(status.delay->count, 10u);
  EXPECT_LE(abs(status.delay->median - milliseconds(300)), milliseconds(20));
  EXPECT_EQ(acquisition::time_report_exit_status(status), 0);
  const std::string report = acquisition::time_report_text(status);
  EXPECT_TRUE(has(report, "Retard du récepteur : 0.300 s (80 % entre 0.285 et 0.315 s, sur 10 points)\n")) << report;
  EXPECT_TRUE(has(report, "Heure GPS (dernier point) : 15/03/2005 12:03:35 UTC\n")) << report;
  EXPECT_TRUE(
      has(report, "Ligne chrony : refclock SOCK /run/gps.sock refid GPS offset 0.300 delay 0.2 precision 0.1\n"))
      << report;
}

// What each figure says in the states the panel meets.
TEST(TimeReport, FiguresInWords) {
  acquisition::TimeWatch watch;
  const auto value = [&](std::optional<platform::ClockSync> sync, const char* caption) {
    for (const acquisition::TimeStatusLine& l : acquisition::time_status_lines(watch.status(kNow, sync, "")))
      if (l.caption == caption) return l.value;
    return std::string("no line ") + caption;
  };
  const TimeStatus nothing = watch.status(kNow, std::nullopt, "");
  EXPECT_EQ(acquisition::time_report_exit_status(nothing), 1);
  EXPECT_TRUE(has(acquisition::time_report_text(nothing), "Ligne chrony : aucune, faute de points fiables\n"));
  EXPECT_EQ(value(std::nullopt, "Heure de l'ordinateur"), "15/03/2005 12:04:00.000 UTC");
  EXPECT_EQ(value(std::nullopt, "Mise à l'heure par Orvanta"), "jamais");
  EXPECT_EQ(value(std::nullopt, "Échantillons chrony"), "non envoyés (aucun socket : Chrony= dans orvanta.INI)");

  watch.fix(acquisition::Arrival{}, {kNow, milliseconds(-2400)});
  EXPECT_EQ(value(platform::ClockSync{false, seconds(16)}, "Retard du récepteur"),
            "2.400 s (80 % entre 2.400 et 2.400 s, sur 1 points), peu sûr : horloge non synchronisée");
  EXPECT_EQ(value(platform::ClockSync{false, seconds(16)}, "Écart ordinateur − GPS"), "+2.400 s");
  EXPECT_EQ(acquisition::refclock_line(watch.status(kNow, std::nullopt, "")),
            "refclock SOCK /run/chrony.orvanta.sock refid GPS offset 2.400 delay 0.2 precision 0.1");

  const std::tuple<ClockOutcome, const char*, const char*> clock_cases[] = {
      {ClockOutcome::set, "Mise à l'heure par Orvanta", "le 15/03/2005 12:04:00 UTC"},
      {ClockOutcome::no_right, "Dernier refus de mise à l'heure",
       "le 15/03/2005 12:04:00 UTC : pas le droit de régler l'horloge"},
      {ClockOutcome::void_fix, "Dernier refus de mise à l'heure",
       "le 15/03/2005 12:04:00 UTC : pas de position (statut V)"},
      {ClockOutcome::set_on_computer_day, "Mise à l'heure par Orvanta",
       "le 15/03/2005 12:04:00 UTC, sur le jour de l'ordinateur (la date GPS en diffère)"},
  };
  for (const auto& [outcome, caption, text] : clock_cases) {
    watch.clock_attempt(outcome, kNow);
    EXPECT_EQ(value(std::nullopt, caption), text);
  }
  EXPECT_EQ(acquisition::refusal_of(acquisition::TimeTrust::bad_checksum), ClockOutcome::bad_checksum);

  watch.chrony_sample(true);
  watch.chrony_sample(false);
  const TimeStatus fed = watch.status(kNow, std::nullopt, "/run/x.sock");
  EXPECT_TRUE(has(acquisition::time_report_text(fed),
                  "Échantillons chrony : /run/x.sock : injoignable, 2 envoyés, 1 acceptés\n"));
}
