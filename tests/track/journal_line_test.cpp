#include "track/journal_line.h"

#include "support/journal_text.h"
#include "track/track_points.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using track::scan_journal_line;
using viewer_test::Position;
using viewer_test::record;

TEST(JournalLine, TakesNumbersWithLeadingBlanksAndASignButNothingElse) {
  auto degrees = [](const std::string& text) -> std::optional<int32_t> {
    const auto line = scan_journal_line(record({text}));
    if (!line) return std::nullopt;
    return line->lat_degres;
  };
  EXPECT_EQ(degrees("  07"), 7);
  EXPECT_EQ(degrees("-0"), 0);
  EXPECT_EQ(degrees("+12"), 12);
  EXPECT_EQ(degrees("0000000000000000000000000090"), 90);
  for (const char* bad : {"", "   ", "-", "+", "7 ", "0.5", "1,5", "\t7", "- 7", "2147483648", "99999999999999999999",
                          "18446744073709551706", "0x10"}) {
    EXPECT_FALSE(degrees(bad)) << bad;
  }
}

TEST(JournalLine, ReadsTheWritersRecordKeepingItsBlanks) {
  const std::string read = record();
  ASSERT_EQ(read.size(), 65u);
  const auto line = scan_journal_line(read);
  ASSERT_TRUE(line);
  EXPECT_EQ(line->field(read, track::kDate), "23/03/2094");
  EXPECT_EQ(line->field(read, track::kHeure), "12:35:19");
  EXPECT_EQ(line->field(read, track::kLatMinutes), " 07");
  EXPECT_EQ(line->field(read, track::kLatFraction), " 0380");
  EXPECT_EQ(line->field(read, track::kLonHemisphere), " E");
  EXPECT_EQ(line->field(read, track::kVitesse), "022 noeuds");
  EXPECT_EQ(line->lat_degres, 48);
  EXPECT_EQ(line->lat_fraction, 380);
  EXPECT_EQ(line->lon_degres, 11);
  EXPECT_EQ(line->lon_minutes, 31);
  // The LF is ignored, and so is anything else after the CR.
  EXPECT_TRUE(scan_journal_line(read.substr(0, 64) + "xyz"));
}

TEST(JournalLine, AcceptsTheLimitsAndRefusesWhatLiesBeyond) {
  EXPECT_TRUE(scan_journal_line(record({"90", "59", "9999", "S", "180", "59", "9999", "W"})));
  EXPECT_TRUE(scan_journal_line(record({"00", "00", "0000", "N", "000", "00", "0000", "O"})));
  EXPECT_TRUE(scan_journal_line(record({"-0", "07", "0380", "N"})));
  const Position refused[] = {{"91"},
                              {"48", "60"},
                              {"48", "07", "10000"},
                              {"48", "07", "0380", "n"},
                              {"48", "07", "0380", "E"},
                              {"48", "07", "0380", "N", "181"},
                              {"48", "07", "0380", "N", "011", "60"},
                              {"48", "07", "0380", "N", "011", "31", "10000"},
                              {"48", "07", "0380", "N", "011", "31", "0000", "w"},
                              {"48", "07", "0380", "N", "011", "31", "0000", "N"},
                              {"-1"},
                              {"4 8"},
                              {"48", "07", "03.8"},
                              {"48", "07", "0380", "NS"}};
  for (const Position& p : refused) EXPECT_FALSE(scan_journal_line(record(p))) << record(p);
}

TEST(JournalLine, EveryTerminatorIsRequired) {
  const std::string read = record();
  // Cutting the line before each terminator in turn, the CR included.
  std::size_t from = 0;
  for (char terminator : std::string("\t\t\xB0'\"\t\xB0'\"\t\r")) {
    const std::size_t at = read.find(terminator, from);
    ASSERT_NE(at, std::string::npos);
    EXPECT_FALSE(scan_journal_line(read.substr(0, at))) << at;
    from = at + 1;
  }
  // A file with LF-only line ends has no CR.
  std::string lf_only = read;
  lf_only.erase(lf_only.size() - 2, 1);
  EXPECT_FALSE(scan_journal_line(lf_only));
  EXPECT_FALSE(scan_journal_line(std::string(200, 'x')));
}

// The hemisphere letter signs the whole angle, under a minute too; "O" is west.
TEST(JournalLine, PlacesTheRecordBySignedAnglesAtFullPrecision) {
  const auto line = scan_journal_line(record({"00", "00", "0001", "S", "000", "00", "0001", "O"}));
  ASSERT_TRUE(line);
  EXPECT_EQ(std::pair(line->position().lat, line->position().lon), std::pair(-1, -1));
}

// The writer's own layout is read at fixed offsets: whatever byte of such a
// line changes, the result is the field-by-field scan's.
TEST(JournalLine, TheWritersLayoutReadsAsTheFieldByFieldScan) {
  std::vector<std::string> lines = {record(), record({"90", "59", "9999", "S", "180", "59", "9999", "O"})};
  const std::string base = record();
  for (std::size_t at = 0; at < base.size(); ++at) {
    for (char c : std::string("\t\r\n 09/:\xB0'\"NSEWOn-+x\xFF", 21)) {
      std::string changed = base;
      changed[at] = c;
      lines.push_back(changed);
    }
  }
  for (const std::string& line : lines) {
    const auto shortcut = scan_journal_line(line);
    const auto fields = track::scan_journal_fields(line);
    ASSERT_EQ(shortcut.has_value(), fields.has_value()) << line;
    if (!shortcut) continue;
    EXPECT_EQ(std::tuple(shortcut->ends, shortcut->position().lat, shortcut->position().lon),
              std::tuple(fields->ends, fields->position().lat, fields->position().lon))
        << line;
  }
}
