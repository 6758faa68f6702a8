// The program's four windows over fake platform services, with the settings
// file in a fresh folder.
#pragma once

#include "support/fake_platform.h"
#include "shell/windows.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

class WindowsTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  const std::string ini_path = dir.filePath("orvanta.INI").toStdString();
  // Listed unsorted, as the machine gives them.
  fake::Platform platform{ini_path, {"ttyUSB0", "COM10", "ttyS0", "COM2"}};
  shell::Windows windows{platform.services};
};
