// The coded exception: messages and system codes.
#include "serial/com_error.h"

#include "serial/com_error_details.h"

#include <algorithm>
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

// What the box says under a failure to open: the port, the code in French and
// what to do about the usual causes.
TEST(EComPort, DetailsNameThePortTheSystemsReasonAndWhatToDo) {
  const struct {
    int code;
    const char* port;
    const char* reason;
    const char* advice;  // nullptr: none
  } cases[] = {
      {EBUSY, "ttyUSB0", "Périphérique ou ressource occupé", "gpsd://localhost:2947"},
      {EACCES, "ttyUSB0", "Permission non accordée", "groupe dialout"},
      {ENOENT, "COM1", "Aucun fichier ou dossier de ce type", "branchez le récepteur"},
      {ECONNREFUSED, "gpsd://gpsbox", "Connexion refusée", "gpsd ne répond pas"},
      {EHOSTUNREACH, "ttyUSB0", "Aucun chemin d'accès pour atteindre l'hôte cible", nullptr},
      {EIO, "ttyACM0", "Erreur d'entrée/sortie", nullptr},
  };
  for (const auto& c : cases) {
    const std::string details = serial::ComErrorDetails(EComPort(serial::ComError::OpenFailed, c.code, c.port));
    const std::string reason = "\nCode " + std::to_string(c.code) + " : " + c.reason;
    EXPECT_TRUE(details.starts_with(std::string("Port : ") + c.port + reason)) << details;
    EXPECT_EQ(std::ranges::count(details, '\n'), c.advice ? 2 : 1) << details;
    if (c.advice) {
      EXPECT_NE(details.find(c.advice), std::string::npos) << details;
    }
  }
  // Another failure than the open: the code alone; none without a code.
  EXPECT_EQ(serial::ComErrorDetails(EComPort(serial::ComError::ReadFailed, EIO)), "Code 5 : Erreur d'entrée/sortie");
  EXPECT_EQ(serial::ComErrorDetails(EComPort(serial::ComError::ConnChangeProp)), "");
}
