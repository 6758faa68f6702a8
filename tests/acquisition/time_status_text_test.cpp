#include "acquisition/time_status_text.h"

#include "acquisition/time_watch.h"

#include <gtest/gtest.h>

using namespace std::chrono;

// What the figures say before any fix, against an unkept clock, and once
// enough fixes make a report.
TEST(TimeReport, FiguresInWords) {
  const platform::UtcInstant now = sys_days(2005y / March / 15) + hours(12) + minutes(4);
  acquisition::TimeWatch watch;
  std::optional<platform::ClockSync> sync;
  const auto value = [&](size_t line) {
    return acquisition::time_status_lines(watch.status(now, sync, ""))[line].value;
  };
  const auto report = [&] { return acquisition::time_report_text(watch.status(now, sync, "/run/x.sock")); };
  EXPECT_EQ(acquisition::time_report_exit_status(watch.status(now, sync, "")), 1);
  EXPECT_NE(report().find("\nLigne chrony : aucune, faute de points fiables\n"), std::string::npos);
  EXPECT_EQ(value(7), "non envoyés (aucun socket : Chrony= dans orvanta.INI)");

  sync = platform::ClockSync{false, 16s};
  watch.fix(acquisition::Arrival{}, {now, -2400ms});
  EXPECT_EQ(value(3), "2.400 s (80 % entre 2.400 et 2.400 s, sur 1 points), peu sûr : horloge non synchronisée");
  EXPECT_EQ(acquisition::refclock_line(watch.status(now, sync, "")),
            "refclock SOCK /run/chrony.orvanta.sock refid GPS offset 2.400 delay 0.2 precision 0.1");
  watch.clock_attempt(acquisition::ClockOutcome::set_on_computer_day, now);
  watch.clock_attempt(acquisition::refusal_of(acquisition::TimeTrust::bad_checksum), now);
  EXPECT_EQ(value(5), "le 15/03/2005 12:04:00 UTC, sur le jour de l'ordinateur (la date GPS en diffère)");
  EXPECT_EQ(value(6), "le 15/03/2005 12:04:00 UTC : somme de contrôle fausse");
  watch.chrony_sample(false);
  EXPECT_NE(report().find("Échantillons chrony : /run/x.sock : injoignable, 1 envoyés, 0 acceptés\n"),
            std::string::npos);

  sync = platform::ClockSync{true, 12ms};
  for (int i = 1; i < 10; ++i) watch.fix(acquisition::Arrival(seconds(3 * i)), {now + seconds(3 * i), -2400ms});
  EXPECT_EQ(acquisition::time_report_exit_status(watch.status(now, sync, "")), 0);
  EXPECT_NE(report().find("Horloge synchronisée : oui (erreur maximale 0.012 s)\n"), std::string::npos) << report();
  EXPECT_NE(report().find("\nLigne chrony : refclock SOCK /run/x.sock refid GPS offset 2.400 "), std::string::npos);
}
