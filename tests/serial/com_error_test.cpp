// The coded exception: messages and system codes.
#include "serial/com_error.h"

#include <gtest/gtest.h>

using serial::EComPort;

TEST(EComPort, SystemCodedFailuresAppendTheCode) {
  EComPort e(1, 2);
  EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
  EXPECT_EQ(e.ErrorCode(), 1);
  EXPECT_EQ(e.WinErrorCode(), 2);
  EXPECT_STREQ(EComPort(21, 5).what(), "WaitForEvent method failed (win error code: 5)");
  EXPECT_STREQ(EComPort(23, 7).what(), "Registry error (win error code: 7)");
}

TEST(EComPort, OtherFailuresCarryTheTextAlone) {
  EComPort e(14);
  EXPECT_STREQ(e.what(), "Cannot set property while connected");
  EXPECT_EQ(e.WinErrorCode(), -1);
  EXPECT_STREQ(EComPort(4).what(), "Invalid Async parameter");
  EXPECT_STREQ(EComPort(15).what(), "EnumPorts function failed");
  EXPECT_STREQ(EComPort(19).what(), "Cannot change led state if ComPort is selected");
  EXPECT_STREQ(EComPort(22).what(), "A component is linked to OnRxBuf event");
}
