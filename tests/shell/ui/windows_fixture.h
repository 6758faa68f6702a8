// The program's four windows before their first show, on a machine whose
// serial ports are listed unsorted, as the system gives them.
#pragma once

#include "support/window_fixture.h"

class WindowsTest : public testing_support::WindowFixture {
 protected:
  WindowsTest() {
    ports.names = {"ttyUSB0", "COM10", "ttyS0", "COM2"};
    windows = std::make_unique<shell::Windows>(platform);
  }
  const std::string ini_path = platform.settings_path;
};
