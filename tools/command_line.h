// What every tool does with --help, -h, --version and a bad option, the way
// command-line programs do: help on standard output and exit 0, a usage
// error on standard error and exit 2. The program's name is the one it was
// started under ("orvanta-nmea-replay", built and installed alike).
#pragma once

#include <cstdio>
#include <errno.h>  // program_invocation_short_name
#include <getopt.h>

namespace tools {

enum StandardOption { kHelp = 'h', kVersion = 0x100 };

// The entries to put at the end of a tool's getopt_long table (before the
// terminating zero entry).
inline constexpr option kHelpOption{"help", no_argument, nullptr, kHelp};
inline constexpr option kVersionOption{"version", no_argument, nullptr, kVersion};

// `usage` is the tool's help text; every "%1$s" in it stands for the
// program's name.
inline int print_help(const char* usage) {
  std::printf(usage, program_invocation_short_name);
  return 0;
}

inline int print_version() {
  std::printf("%s (Orvanta) %s\n", program_invocation_short_name, ORVANTA_VERSION);
  return 0;
}

// After getopt_long has said what was wrong (or with a message of the
// tool's own), the usage goes to standard error.
inline int usage_error(const char* usage) {
  std::fprintf(stderr, usage, program_invocation_short_name);
  return 2;
}

// What getopt_long refused, said in French (its own messages follow the
// locale, which may not be French): call with opterr = 0 and a leading ':' in
// the short options, for the '?' and ':' it returns.
inline int option_error(int refused, char** argv, const char* usage) {
  const char* option = argv[optind - 1];
  char short_option[] = {'-', static_cast<char>(optopt), '\0'};
  if (refused != ':' && optopt != 0) option = short_option;
  std::fprintf(stderr, refused == ':' ? "%s: il manque une valeur à l'option « %s »\n" : "%s: option inconnue « %s »\n",
               program_invocation_short_name, option);
  return usage_error(usage);
}

}  // namespace tools
