#include "shell/command_line.h"

#include <gtest/gtest.h>
#include <vector>

TEST(CommandLine, TimeReportSecondsAndPort) {
  struct Case {
    std::vector<const char*> args;
    int seconds;  // 0: no report asked
    const char* port;
    bool error;
  };
  const Case cases[] = {
      {{"orvanta"}, 0, "", false},
      {{"orvanta", "--port", "/dev/ttyUSB0"}, 0, "", false},  // only the report reads it
      {{"orvanta", "--time-report"}, 60, "", false},
      {{"orvanta", "--time-report", "45", "--port", "/dev/pts/3"}, 45, "/dev/pts/3", false},
      {{"orvanta", "--port", "gpsd://", "--time-report", "-platform", "offscreen"}, 60, "gpsd://", false},
      {{"orvanta", "--time-report", "0"}, 0, "", true},
      {{"orvanta", "--time-report", "86401"}, 0, "", true},
      {{"orvanta", "--time-report", "+30"}, 0, "", true},
      {{"orvanta", "--time-report", "30s"}, 0, "", true},
      {{"orvanta", "--time-report", "--port"}, 0, "", true},
  };
  for (const Case& c : cases) {
    const std::optional<shell::TimeReportRequest> r =
        shell::time_report_request(static_cast<int>(c.args.size()), c.args.data());
    const std::string line = c.args.size() > 1 ? c.args[1] + std::string(" ") + c.args.back() : "";
    ASSERT_EQ(r.has_value(), c.seconds != 0 || c.error) << line;
    if (!r) continue;
    EXPECT_EQ(!r->error.empty(), c.error) << line << ": " << r->error;
    if (c.error) continue;
    EXPECT_EQ(r->seconds, c.seconds) << line;
    EXPECT_EQ(r->port, c.port) << line;
  }
}
