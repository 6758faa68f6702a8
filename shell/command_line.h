// The two questions the program answers from its command line, before
// anything else starts and so without a display: --help and --version;
// --verbose, which turns its diagnostic log on; and --time-report. Every other
// argument is ignored, Qt's own options included.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace shell {

// What to print on standard output for the first --help or --version among
// the arguments; nothing when the program is to start. `program` is the name
// it was started under; the help tells where the settings file is.
std::optional<std::string> command_line_answer(int argc, const char* const* argv, std::string_view program,
                                               std::string_view version, std::string_view settings_path);

// `--time-report [SECONDS] [--port NAME]`: the acquisition runs without a
// window for SECONDS (60 when not given), on the port NAME or else the
// settings' port, then the time report goes to standard output.
struct TimeReportRequest {
  int seconds = 60;
  std::string port;   // empty: the settings' port
  std::string error;  // not empty: the arguments are wrong, for standard error
};

// nullopt when --time-report is not among the arguments.
std::optional<TimeReportRequest> time_report_request(int argc, const char* const* argv);

// Whether --verbose is among the arguments: the debug messages of every
// "orvanta.*" logging category then go to standard error.
bool verbose_requested(int argc, const char* const* argv);

// The logging rule that --verbose sets.
inline constexpr char kVerboseLoggingRules[] = "orvanta.*.debug=true";

}  // namespace shell
