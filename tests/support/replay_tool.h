// The replay tool (tools/orvanta-nmea-replay) run by a test as the receiver on the
// far end of a pseudo-terminal.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace testing_support {

class ReplayTool {
 public:
  ReplayTool() = default;
  // Kills a tool still running.
  ~ReplayTool();
  ReplayTool(const ReplayTool&) = delete;
  ReplayTool& operator=(const ReplayTool&) = delete;

  // Whether the tool has been built.
  static bool available();
  // Starts it with `args` and returns the pty path it prints (empty when it
  // printed none within 5 s).
  std::string start(const std::vector<std::string>& args);
  // Asks it to end (SIGTERM) and returns its wait status.
  int stop();
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

}  // namespace testing_support
