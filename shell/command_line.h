// The two questions the program answers from its command line, before
// anything else starts and so without a display: --help and --version; and
// the track the viewer opens at start, "--trace FILE". Every other argument
// is ignored, Qt's own options included.
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

// The file of the last "--trace FILE" or "--trace=FILE"; nothing without one
// (a "--trace" ending the line names none).
std::optional<std::string> trace_file_argument(int argc, const char* const* argv);

}  // namespace shell
