#include "acquisition/rmc_normaliser.h"

#include "acquisition/log_line.h"
#include "acquisition/rmc_decoder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using namespace acquisition;

namespace {

// A multi-constellation receiver's sentence: talker GN, decimals of seconds,
// five decimals of minutes, checksum as sent.
const std::string kQuectel = "$GNRMC,055234.000,A,4739.71890,N,12219.58362,W,0.00,286.35,050826,,,A,V*13\r\n";

std::string rewritten(const std::string& text) {
  const NormalisedRmc rmc = Normaliser_RMC(text);
  EXPECT_EQ(rmc.kind, NormalisedRmc::Kind::Sentence) << text;
  return rmc.sentence;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

}  // namespace

TEST(RmcNormaliser, RewritesIntoTheLayoutTheDecoderReads) {
  EXPECT_EQ(rewritten(kQuectel), "$GPRMC,055234,A,4739.7189,N,12219.5836,W,0.00,286.35,050826,,,A,V*11");
  FixFields f;
  ASSERT_EQ(Decodage_RMC_etendu(kQuectel, f), Trame_complete);
  EXPECT_EQ(Ligne_log(f), "05/08/2026\t05:52:34\t47\xB0 39' 7189\" N\t122\xB0 19' 5836\" W\t0.0 noeuds");

  // Decimals are cut, never rounded; short ones are padded with zeros.
  EXPECT_EQ(rewritten("$GPRMC,142216,A,3348.452,N,11821.99999,W,000.0,353.6,081002,013.8,E\r\n"),
            rewritten("$GPRMC,142216,A,3348.4520,N,11821.9999,W,000.0,353.6,081002,013.8,E\r\n"));
  EXPECT_EQ(rewritten("$GPRMC,142216,A,3348,N,11821.9,W,000.0,353.6,081002,013.8,E\r\n"),
            "$GPRMC,142216,A,3348.0000,N,11821.9000,W,000.0,353.6,081002,013.8,E*6A");

  // Today's layout goes through unchanged, to its checksum.
  const std::string classic = "$GPRMC,123519,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*6A";
  EXPECT_EQ(rewritten(classic + "\r\n"), classic);
}

TEST(RmcNormaliser, TakesTheFirstRmcOfAnyTalkerWhoseChecksumHolds) {
  const std::string body = "RMC,010203,A,1111.1111,S,02222.2222,W,001.0,002.0,010106,,";
  for (const char* talker : {"GP", "GN", "GL", "GA", "GB", "BD", "GQ", "GI"}) {
    const std::string s = std::string("$") + talker + body + "\r\n";
    EXPECT_EQ(rewritten(s).substr(0, 14), "$GPRMC,010203,") << talker;
  }
  for (const char* other : {"$PXRMC,", "$GPGGA,", "$GNRMB,", "$gnrmc,", "$GNRMC"}) {
    EXPECT_EQ(Normaliser_RMC(std::string(other) + "010203,A,1111.1111,S\r\n").kind, NormalisedRmc::Kind::None);
  }

  // A wrong or cut checksum skips the sentence; hex digits of either case count.
  const std::string wrong = "$GNRMC,111111,A,4739.71890,N,12219.58362,W,0.00,286.35,050826,,,A,V*14\r\n";
  const std::string cut = "$GNRMC,222222,A,4739.71890,N,12219.58362,W,0.00,286.35,050826,,,A,V*1\r\n";
  const std::string lower = "$GPRMC,142218,A,3348.451,N,11821.144,W,000.0,353.6,081002,013.8,E*6c\r\n";
  EXPECT_EQ(rewritten("$GPGSV,1,1,00*79\r\n" + wrong + cut + lower).substr(7, 6), "142218");

  // Without "*" the line end vouches for it; at the end of the text, or run
  // into the next sentence, it may be cut anywhere and is not taken.
  const std::string plain = "$GPRMC,101010,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W";
  EXPECT_EQ(Normaliser_RMC(plain + "\n").kind, NormalisedRmc::Kind::Sentence);
  EXPECT_EQ(Normaliser_RMC(plain).kind, NormalisedRmc::Kind::None);
  EXPECT_EQ(rewritten(plain + kQuectel).substr(7, 6), "055234");
}

TEST(RmcNormaliser, VoidStatusIsNoFixAndWritesNothing) {
  FixFields f;
  const std::string geko = "$GPRMC,214350,V,4023.8600,N,00339.1630,W,10.8,0.0,140605,2.5,W,S*21\r\n";
  EXPECT_EQ(Decodage_RMC_etendu(geko, f), Trame_courte);
  EXPECT_EQ(Decodage_RMC_etendu("$GPRMC,,V,,,,,,,,,,N*53\r\n" + kQuectel, f), Trame_courte);
  EXPECT_EQ(f, FixFields{});
  EXPECT_EQ(Decodage_RMC_etendu("$GPGGA,055234.000,,,,,0,00,99.9,,,,,,*7B\r\n", f), Trame_invalide);
  // What the decoder refuses stays refused: a bad hemisphere after rewriting.
  EXPECT_EQ(Decodage_RMC_etendu("$GNRMC,055234.000,A,4739.71890,X,12219.58362,W,0.00,286.35,050826,,,A\r\n", f),
            Trame_invalide);
}

TEST(RmcNormaliser, NeverReadsPastACutText) {
  for (size_t n = 0; n <= kQuectel.size(); ++n) {
    std::string cut = kQuectel.substr(0, n);
    FixFields f;
    const int r = Decodage_RMC_etendu(std::string_view(cut.data(), cut.size()), f);
    EXPECT_TRUE(r == Trame_invalide || (n >= kQuectel.size() - 2 && r == Trame_complete)) << n;
  }
}

// Every RMC sentence of today's receivers: a fix sentence gives exactly the
// position, time and date it carries, minutes cut to four decimals; a void one
// gives none.
TEST(RmcNormaliser, RealReceiverCapturesGiveTheirFixes) {
  const std::filesystem::path dir = ORVANTA_CAPTURES_DIR;
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no receiver captures here";
  for (const char* file : {"mt3339.log", "quectel-l76k-nmea.log", "ublox-lea-5h.log", "telit-he910.log"}) {
    std::ifstream in(dir / file, std::ios::binary);
    ASSERT_TRUE(in) << file;
    int fixes = 0;
    for (std::string line; std::getline(in, line);) {
      if (line.size() < 7 || line.compare(3, 4, "RMC,") != 0) continue;
      FixFields f;
      const int r = Decodage_RMC_etendu(line, f);
      const std::vector<std::string> field = split(line.substr(7, line.find('*') - 7), ',');
      if (field[1] == "V") {
        EXPECT_EQ(r, Trame_courte) << line;
        EXPECT_EQ(f, FixFields{}) << line;
        continue;
      }
      ASSERT_EQ(r, Trame_complete) << file << ": " << line;
      ++fixes;
      const std::string& t = field[0];
      const std::string& lat = field[2];
      const std::string& lon = field[4];
      const std::string& d = field[8];
      const std::string expected = d.substr(0, 2) + "/" + d.substr(2, 2) + "/20" + d.substr(4, 2) + "\t" +
                                   t.substr(0, 2) + ":" + t.substr(2, 2) + ":" + t.substr(4, 2) + "\t" +
                                   lat.substr(0, 2) + "\xB0 " + lat.substr(2, 2) + "' " + lat.substr(5, 4) + "\" " +
                                   field[3] + "\t" + lon.substr(0, 3) + "\xB0 " + lon.substr(3, 2) + "' " +
                                   lon.substr(6, 4) + "\" " + field[5] + "\t" + field[6].substr(0, 3) + " noeuds";
      EXPECT_EQ(Ligne_log(f), expected) << line;
    }
    EXPECT_GT(fixes, 0) << file;
  }
}
