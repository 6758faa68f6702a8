#include "acquisition/gps_time.h"

#include <gtest/gtest.h>

// A checksum's every case is the sentence frame's (see rmc_normaliser_test).
TEST(GpsTime, TimeComesOnlyFromASentenceWithAFixThatArrivedIntact) {
  const std::string body = "$GPRMC,123519,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W";
  const std::pair<std::string, bool> cases[] = {
      {body + "*6A\r\n", true},
      {body + "*6B\r\n", false},
      {"$GPRMC,123519,V,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*7D\r\n", false},
      {"$GPRMC,123519,,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*2B\r\n", false},
      {"$GPRMC,123519,AV,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*3C\r\n", false},
      {"$GPRMC,123519\r\n,A,\r\n", false},
  };
  for (const auto& [text, trusted] : cases) EXPECT_EQ(acquisition::Heure_fiable(text, 0), trusted) << text;
  // The sentence the decoder reads, not another one.
  const std::string two = "$GPRMC,123519,V,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*7D\r\n" + body + "*6A";
  EXPECT_FALSE(acquisition::Heure_fiable(two, acquisition::rmc_sentence_start(two, false)));
}
