#include "shell/command_line.h"

#include <gtest/gtest.h>
#include <vector>

TEST(CommandLine, TimeReportSecondsAndPort) {
  struct Case {
    std::vector<const char*> args;
    int seconds;  // 0: no report asked; -1: refused
    const char* port;
  };
  const Case cases[] = {
      {{"orvanta", "--port", "/dev/ttyUSB0"}, 0, ""},  // only the report reads it
      {{"orvanta", "--time-report"}, 60, ""},
      {{"orvanta", "--time-report", "45", "--port", "/dev/pts/3"}, 45, "/dev/pts/3"},
      {{"orvanta", "--port", "gpsd://", "--time-report", "-platform", "offscreen"}, 60, "gpsd://"},
      {{"orvanta", "--time-report", "0"}, -1, ""},
      {{"orvanta", "--time-report", "86401"}, -1, ""},
      {{"orvanta", "--time-report", "+30"}, -1, ""},
      {{"orvanta", "--time-report", "30s"}, -1, ""},
      {{"orvanta", "--time-report", "--port"}, -1, ""},
  };
  for (const Case& c : cases) {
    const std::optional<shell::TimeReportRequest> r =
        shell::time_report_request(static_cast<int>(c.args.size()), c.args.data());
    const std::string line = std::string(c.args[1]) + " " + c.args.back();
    ASSERT_EQ(r.has_value(), c.seconds != 0) << line;
    if (!r) continue;
    EXPECT_EQ(r->error.empty() ? r->seconds : -1, c.seconds) << line << ": " << r->error;
    EXPECT_EQ(r->port, c.port) << line;
  }
}

// --verbose is found anywhere among the arguments, and only as itself.
TEST(CommandLine, VerboseIsAWholeArgument) {
  const char* with[] = {"orvanta", "-reverse", "--verbose"};
  const char* without[] = {"orvanta", "--verbose=1", "-verbose", "--verbos"};
  EXPECT_TRUE(shell::verbose_requested(3, with));
  EXPECT_FALSE(shell::verbose_requested(4, without));
  EXPECT_FALSE(shell::command_line_answer(3, with, "orvanta", "1.0", "/x").has_value());
}
