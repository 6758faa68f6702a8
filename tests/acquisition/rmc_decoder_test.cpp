#include "acquisition/rmc_decoder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

using namespace acquisition;

namespace {

const std::string kExample = "$GPRMC,123519,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*6A\r\n";

FixFields decoded(const std::string& text, int expected) {
  FixFields f;
  EXPECT_EQ(Decodage_GPRMC(text, f), expected) << text;
  return f;
}

}  // namespace

TEST(ConvertInteger, AcceptsBlanksSignAndDigitsOnly) {
  int v = -99;
  EXPECT_TRUE(convert_integer("07", v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(convert_integer("  5", v));
  EXPECT_EQ(v, 5);
  EXPECT_TRUE(convert_integer("-1", v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(convert_integer("+12", v));
  EXPECT_EQ(v, 12);
  EXPECT_TRUE(convert_integer("-1000000000", v));
  EXPECT_EQ(v, -1'000'000'000);
  for (const char* bad :
       {"", " ", "-", "1 ", "1.", ",1", "0x1", "a1", "1a", "\t1", "1000000001", "-99999999999999999999"}) {
    EXPECT_FALSE(convert_integer(bad, v)) << '"' << bad << '"';
  }
}

TEST(Decoder, DecodesTheReferenceSentenceCompletely) {
  FixFields f = decoded(kExample, Trame_complete);
  EXPECT_EQ(f.Aff_heure, "12");
  EXPECT_EQ(f.Aff_minute, "35");
  EXPECT_EQ(f.Aff_seconde, "19");
  EXPECT_EQ(f.Aff_lat_degres, "48");
  EXPECT_EQ(f.Aff_lat_minutes, "07");
  EXPECT_EQ(f.Aff_lat_miliemes, "0380");
  EXPECT_EQ(f.Aff_lat_NS, "N");
  EXPECT_EQ(f.Aff_lon_degres, "011");
  EXPECT_EQ(f.Aff_lon_minutes, "31");
  EXPECT_EQ(f.Aff_lon_miliemes, "0000");
  EXPECT_EQ(f.Aff_lon_EW, "E");
  EXPECT_EQ(f.Aff_vitesse, "022");
  EXPECT_EQ(f.Aff_jour, "23");
  EXPECT_EQ(f.Aff_mois, "03");
  EXPECT_EQ(f.Aff_annee, "2094");
}

TEST(Decoder, FindsOnlyTheFirstGpSentence) {
  const std::string second = "$GPRMC,010203,A,1111.1111,S,02222.2222,W,001.0,002.0,010106,,*00\r\n";
  FixFields f = decoded("$GPGGA,noise\r\n" + kExample + second, Trame_complete);
  EXPECT_EQ(f.Aff_heure, "12");

  // Other talkers and a missing comma are not found, and change nothing.
  for (const std::string& text : {std::string("$GNRMC,123519,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,,*6A"),
                                  std::string("$GPRMC"), std::string("$gprmc,123519"), std::string()}) {
    EXPECT_EQ(decoded(text, Trame_invalide), FixFields{});
  }
}

TEST(Decoder, FailureKeepsWhatWasWrittenBeforeIt) {
  FixFields f;
  ASSERT_EQ(Decodage_GPRMC(kExample, f), Trame_complete);

  // Status V with empty position fields: the time is new, the position is old.
  ASSERT_EQ(Decodage_GPRMC("$GPRMC,235959,V,,,,,,,,,N*7F\r\n", f), Trame_invalide);
  EXPECT_EQ(f.Aff_heure, "23");
  EXPECT_EQ(f.Aff_seconde, "59");
  EXPECT_EQ(f.Aff_lat_degres, "48");
  EXPECT_EQ(f.Aff_jour, "23");

  // A time with decimals shifts the latitude onto the status letter.
  ASSERT_EQ(Decodage_GPRMC("$GPRMC,101010.00,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,,*00", f), Trame_invalide);
  EXPECT_EQ(f.Aff_heure, "10");
  EXPECT_EQ(f.Aff_lat_degres, "48");
}

TEST(Decoder, RejectsOutOfRangeValuesAndWrongLetters) {
  auto with = [](const std::string& time, const std::string& lat, const std::string& ns, const std::string& lon,
                 const std::string& ew, const std::string& date) {
    return "$GPRMC," + time + ",A," + lat + "," + ns + "," + lon + "," + ew + ",022.4,084.4," + date + ",003.1,W*6A";
  };
  EXPECT_EQ(decoded(with("123519", "4807.0380", "N", "01131.0000", "O", "230394"), Trame_complete).Aff_lon_EW, "O");
  const std::string bad[] = {
      with("243519", "4807.0380", "N", "01131.0000", "E", "230394"),  // hour 24
      with("126019", "4807.0380", "N", "01131.0000", "E", "230394"),  // minute 60
      with("123560", "4807.0380", "N", "01131.0000", "E", "230394"),  // second 60
      with("123519", "9107.0380", "N", "01131.0000", "E", "230394"),  // latitude 91
      with("123519", "4860.0380", "N", "01131.0000", "E", "230394"),  // minutes 60
      with("123519", "-107.0380", "N", "01131.0000", "E", "230394"),  // negative
      with("123519", "4807.038", "N", "01131.0000", "E", "230394"),   // three decimals
      with("123519", "4807.0380", "n", "01131.0000", "E", "230394"),  // small letter
      with("123519", "4807.0380", "X", "01131.0000", "E", "230394"),
      with("123519", "4807.0380", "N", "18131.0000", "E", "230394"),  // longitude 181
      with("123519", "4807.0380", "N", "01131.0000", "e", "230394"),
      with("123519", "4807.0380", "N", "01131.0000", "E", "320394"),  // day 32
      with("123519", "4807.0380", "N", "01131.0000", "E", "231394"),  // month 13
      with("123519", "4807.0380", "N", "01131.0000", "E", "23039"),   // year cut by the comma
  };
  for (const std::string& text : bad) decoded(text, Trame_invalide);
}

TEST(Decoder, MeasuresTheSentenceToItsAsterisk) {
  const std::string head = "$GPRMC,123519,A,4807.0380,N,01131.0000,E,";
  // 44 characters from the time to the asterisk.
  FixFields f = decoded(head + ",,230394,,*6A", Trame_courte);
  EXPECT_EQ(f.Aff_vitesse, ",,2");  // the speed is copied unchecked
  EXPECT_EQ(f.Aff_annee, "2094");
  decoded(head + "2.5,,230394,,*6A", Trame_courte);           // 47
  decoded(head + "123.4,234.5,230394,,*6A", Trame_complete);  // 54
  EXPECT_EQ(decoded(head + "5,x,230394,,*6A", Trame_courte).Aff_vitesse, "5,x");
  // A speed cut by a line end would split the journal record in two.
  decoded(head + "\r\n,xxxxxxx,230394,,*6A", Trame_invalide);
  decoded(head + "1\n,xxxxxxx,230394,,*6A", Trame_invalide);

  // No asterisk in this sentence: the next sentence's one counts.
  decoded(head + ",,230394,,\r\n$GPGSA,A,3,,,,,,*1E", Trame_complete);
  // No asterisk at all: the scan runs off the end.
  decoded(head + "022.4,084.4,230394,003.1,W", Trame_invalide);
}

TEST(Decoder, NeverReadsPastACutSentence) {
  // Every prefix of a good sentence fails or decodes, within its own bytes
  // (the sanitizers watch the reads: each prefix lives in its own allocation).
  for (size_t n = 0; n <= kExample.size(); ++n) {
    std::string cut = kExample.substr(0, n);
    FixFields f;
    const int r = Decodage_GPRMC(std::string_view(cut.data(), cut.size()), f);
    EXPECT_TRUE(r == Trame_invalide || (n >= 68 && r == Trame_complete)) << n;
  }
  std::string binary(100000, '\x80');
  binary[5] = '\0';
  binary.replace(500, 7, "$GPRMC,");
  FixFields f;
  EXPECT_EQ(Decodage_GPRMC(binary, f), Trame_invalide);
}

TEST(Decoder, RealReceiverCaptures) {
  const std::filesystem::path dir = ORVANTA_CAPTURES_DIR;
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no receiver captures here";
  // What each receiver's RMC sentences give, line by line: the layouts that
  // decode and the ones that must fail cleanly.
  struct Expect {
    const char* file;
    bool some_complete;
  };
  for (const Expect& e :
       {Expect{"garmin17n.log", true}, Expect{"garmin-geko201.log", true}, Expect{"mt3339.log", false},
        Expect{"quectel-l76k-nmea.log", false}, Expect{"ublox-lea-5h.log", false}, Expect{"telit-he910.log", false},
        Expect{"gp-320fw-2019-04-07-coldboot.log", false}, Expect{"garmin38.log", false}}) {
    std::ifstream in(dir / e.file, std::ios::binary);
    ASSERT_TRUE(in) << e.file;
    std::string line;
    int complete = 0;
    while (std::getline(in, line)) {
      FixFields f;
      if (Decodage_GPRMC(line, f) == Trame_complete) ++complete;
    }
    EXPECT_EQ(complete > 0, e.some_complete) << e.file;
  }
}
