#include "acquisition/week_rollover.h"

#include "acquisition/log_line.h"
#include "acquisition/rmc_decoder.h"
#include "support/rmc_dates.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace std::chrono;
using acquisition::FixFields;
using acquisition::mend_week_rollover;

namespace {

FixFields dated(const char* day, const char* month, const char* year) {
  FixFields f;
  f.Aff_jour = day;
  f.Aff_mois = month;
  f.Aff_annee = year;
  return f;
}

}  // namespace

TEST(WeekRollover, OnlyWholeRolloversBackToTheComputersDayAreMended) {
  const sys_days today = 2026y / December / 7;  // 1024 weeks after 2007-04-23, 2048 after 1987-09-07
  struct Case {
    FixFields given;
    const char* expected;  // dd/mm/yyyy, or nullptr: kept as given
  };
  const Case cases[] = {
      {dated("23", "04", "2007"), "07/12/2026"},
      {dated("22", "04", "2007"), "06/12/2026"},  // a day behind: around midnight UTC
      {dated("24", "04", "2007"), "08/12/2026"},
      {dated("07", "09", "2087"), "07/12/2026"},  // 1987, as the decoder reads "87"
      {dated("21", "04", "2007"), nullptr},       // two days off: another fault
      {dated("07", "12", "2026"), nullptr},
      {dated("23", "04", "2027"), nullptr},  // a future date is no rollover
      {dated("31", "02", "2007"), nullptr},
      {dated("00", "04", "2007"), nullptr},
      {FixFields{}, nullptr},  // nothing decoded yet
  };
  for (const Case& c : cases) {
    FixFields f = c.given;
    EXPECT_EQ(mend_week_rollover(f, today), c.expected != nullptr) << c.given.Aff_jour << c.given.Aff_annee;
    const FixFields expected =
        c.expected ? dated(std::string(c.expected, 2).c_str(), std::string(c.expected + 3, 2).c_str(), c.expected + 6)
                   : c.given;
    EXPECT_EQ(f, expected) << c.given.Aff_jour << "/" << c.given.Aff_mois << "/" << c.given.Aff_annee;
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
  const sys_days computer_date = 2005y / March / 15;  // the capture's day

  int records = 0;
  std::string true_line;
  std::string shifted_line;
  while (std::getline(true_lines, true_line) && std::getline(shifted_lines, shifted_line)) {
    FixFields truth;
    FixFields received;
    if (acquisition::Decodage_GPRMC(true_line, truth) != acquisition::Trame_complete) continue;
    ASSERT_EQ(acquisition::Decodage_GPRMC(shifted_line, received), acquisition::Trame_complete) << shifted_line;
    ASSERT_NE(received.Aff_annee, truth.Aff_annee);
    EXPECT_TRUE(mend_week_rollover(received, computer_date));
    EXPECT_EQ(acquisition::Ligne_log(received), acquisition::Ligne_log(truth));
    ++records;
  }
  EXPECT_GT(records, 5);
}
