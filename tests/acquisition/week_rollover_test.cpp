#include "acquisition/week_rollover.h"

#include "acquisition/gps_time.h"
#include "acquisition/log_line.h"
#include "acquisition/rmc_decoder.h"
#include "support/rmc_dates.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

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

// A real receiver's sentences, dated 1024 weeks back as a receiver caught by
// the rollover sends them: the journal records are those of the true dates.
TEST(WeekRollover, CaptureDatedBackRecordsTheTrueDates) {
  const std::filesystem::path capture = std::filesystem::path(ORVANTA_CAPTURES_DIR) / "garmin25lp.log";
  if (!std::filesystem::exists(capture)) GTEST_SKIP() << "no receiver captures here";
  std::stringstream original;
  original << std::ifstream(capture, std::ios::binary).rdbuf();
  std::istringstream true_lines(original.str());
  std::istringstream shifted_lines(testing_support::shift_rmc_dates(original.str(), -weeks(1024)));
  int records = 0;
  std::string truth_line;
  std::string shifted;
  while (std::getline(true_lines, truth_line) && std::getline(shifted_lines, shifted)) {
    FixFields truth;
    FixFields received;
    if (acquisition::Decodage_GPRMC(truth_line, truth) != acquisition::Trame_complete) continue;
    ASSERT_EQ(acquisition::Decodage_GPRMC(shifted, received), acquisition::Trame_complete) << shifted;
    ASSERT_NE(received.Aff_annee, truth.Aff_annee);
    EXPECT_EQ(acquisition::Heure_fiable(shifted, 0), acquisition::Heure_fiable(truth_line, 0));  // checksums mended
    EXPECT_TRUE(acquisition::mend_week_rollover(received, 2005y / March / 15));                  // the capture's day
    EXPECT_EQ(acquisition::Ligne_log(received), acquisition::Ligne_log(truth));
    ++records;
  }
  EXPECT_GT(records, 5);
}
