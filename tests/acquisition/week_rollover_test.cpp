#include "acquisition/week_rollover.h"

#include <gtest/gtest.h>

using namespace std::chrono;
using acquisition::FixFields;

TEST(WeekRollover, OnlyWholeRolloversBackToTheComputersDayAreMended) {
  // 2026-12-07 is 1024 weeks after 2007-04-23 and 2048 after 1987-09-07 (the
  // decoder reads "87" as 2087); dd/mm/yyyy given, then mended or "".
  const std::pair<std::string, std::string> cases[] = {
      {"23/04/2007", "07/12/2026"}, {"22/04/2007", "06/12/2026"}, {"24/04/2007", "08/12/2026"},
      {"07/09/2087", "07/12/2026"}, {"21/04/2007", ""},  // two days off: another fault
      {"07/12/2026", ""},           {"23/04/2027", ""},           {"31/02/2007", ""},
      {"00/04/2007", ""},           {"?\?/?\?/?\?\?\?", ""},  // nothing decoded yet
  };
  for (const auto& [given, mended] : cases) {
    FixFields f;
    f.Aff_jour = given.substr(0, 2);
    f.Aff_mois = given.substr(3, 2);
    f.Aff_annee = given.substr(6);
    EXPECT_EQ(acquisition::mend_week_rollover(f, 2026y / December / 7), !mended.empty()) << given;
    EXPECT_EQ(f.Aff_jour + "/" + f.Aff_mois + "/" + f.Aff_annee, mended.empty() ? given : mended);
  }
}
