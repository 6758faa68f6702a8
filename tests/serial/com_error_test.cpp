// The coded exception: messages and system codes.
#include "serial/com_error.h"

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
