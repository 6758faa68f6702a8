// The coded exception: messages and system codes.
#include "serial/com_error.h"

#include "serial/com_error_details.h"

#include <cerrno>
#include <gtest/gtest.h>

using serial::EComPort;

TEST(EComPort, OnlySystemCodedFailuresAppendTheirCode) {
  EComPort e(1, 2);
  EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
  EXPECT_EQ(e.ErrorCode(), 1);
  EXPECT_EQ(e.WinErrorCode(), 2);
  EComPort plain(14);
  EXPECT_STREQ(plain.what(), "Cannot set property while connected");
  EXPECT_EQ(plain.WinErrorCode(), -1);
}

// Under a failure to open: the port, the code in French, what to do.
TEST(EComPort, DetailsNameThePortTheSystemsReasonAndWhatToDo) {
  const char* const cases[][3] = {
      {"ttyUSB0", "Code 16 : Périphérique ou ressource occupé\n", "gpsd://localhost:2947"},
      {"ttyUSB0", "Code 13 : Permission non accordée\n", "groupe dialout"},
      {"COM1", "Code 2 : Aucun fichier ou dossier de ce type\n", "branchez le récepteur"},
      {"gpsd://gpsbox", "Code 111 : Connexion refusée\n", "gpsd ne répond pas"},
  };
  const int codes[] = {EBUSY, EACCES, ENOENT, ECONNREFUSED};
  for (int i = 0; i < 4; ++i) {
    const std::string details = serial::ComErrorDetails(EComPort(1, codes[i], cases[i][0]));
    EXPECT_TRUE(details.starts_with(std::string("Port : ") + cases[i][0] + "\n" + cases[i][1])) << details;
    EXPECT_NE(details.find(cases[i][2]), std::string::npos) << details;
  }
  // No advice for other codes or failures; nothing without a code.
  EXPECT_EQ(serial::ComErrorDetails(EComPort(3, EIO)), "Code 5 : Erreur d'entrée/sortie");
  EXPECT_EQ(serial::ComErrorDetails(EComPort(14)), "");
}
