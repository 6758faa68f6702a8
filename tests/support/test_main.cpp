// Entry point of every test program: a QApplication on the offscreen platform,
// so window tests build real widgets without a display, with the program's
// font substitutions.
#include "shell/font_substitutions.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  shell::install_font_substitutions();
  return RUN_ALL_TESTS();
}
