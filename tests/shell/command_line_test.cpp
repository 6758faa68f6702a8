#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace {

// --verbose is found anywhere among the arguments, and only as itself.
TEST(CommandLine, VerboseIsAWholeArgument) {
  const char* with[] = {"orvanta", "-reverse", "--verbose"};
  const char* without[] = {"orvanta", "--verbose=1", "-verbose", "--verbos"};
  EXPECT_TRUE(shell::verbose_requested(3, with));
  EXPECT_FALSE(shell::verbose_requested(4, without));
  EXPECT_FALSE(shell::command_line_answer(3, with, "orvanta", "1.0", "/x").has_value());
}

}  // namespace
