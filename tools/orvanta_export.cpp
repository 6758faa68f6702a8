// Writes the track of a journal in a standard format, for the tools that
// read GPX, KML or CSV.
//
//   orvanta-export [--format gpx|kml|csv] [-o FILE] JOURNAL
//
// The journal is read as the track viewer reads it, line for line, and the
// output is written as it goes: a journal of any length takes the same memory.
#include "common/file_replacement.h"
#include "common/posix_io.h"
#include "tools/command_line.h"
#include "track/export_stream.h"
#include "track/journal_file.h"
#include "track/load_messages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kUsage[] =
    "usage: %1$s [--format gpx|kml|csv] [-o FILE] JOURNAL\n"
    "Writes the track recorded in an Orvanta journal as GPX 1.1, KML 2.2 or CSV.\n"
    "\n"
    "  -f, --format=FORMAT  gpx (the default), kml or csv\n"
    "  -o, --output=FILE    write to FILE instead of standard output; FILE is\n"
    "                       replaced only once the whole track is written\n"
    "  -h, --help           show this help and exit\n"
    "  --version            show the version and exit\n"
    "\n"
    "Positions are in decimal degrees (south and west negative), times in UTC,\n"
    "speeds in knots. The journal is read as the track viewer reads it: a faulty\n"
    "line stops the conversion with the viewer's message.\n"
    "\n"
    "Exit status: 0 if the track was written, 1 if the journal or the output\n"
    "failed, 2 for a wrong command line.\n";

// A wrong command line: what was wrong, then the usage.
int usage_error(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, message.c_str());
  return tools::usage_error(kUsage);
}

int failure(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, message.c_str());
  return 1;
}

std::string cannot_write(const std::string& output) {
  return "cannot write " + (output.empty() ? std::string("standard output") : output) + ": " + std::strerror(errno);
}

bool same_file(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

int main(int argc, char** argv) {
  std::string format = "gpx";
  std::string output;
  static const option kOptions[] = {{"format", required_argument, nullptr, 'f'},
                                    {"output", required_argument, nullptr, 'o'},
                                    tools::kHelpOption,
                                    tools::kVersionOption,
                                    {}};
  for (int c; (c = ::getopt_long(argc, argv, "f:o:h", kOptions, nullptr)) != -1;) {
    switch (c) {
      case 'f':
        format = optarg;
        break;
      case 'o':
        output = optarg;
        if (output.empty()) return usage_error("empty output file name");
        break;
      case tools::kHelp:
        return tools::print_help(kUsage);
      case tools::kVersion:
        return tools::print_version();
      default:
        return tools::usage_error(kUsage);  // getopt has said what was wrong
    }
  }
  if (optind == argc) return usage_error("no journal given");
  if (argc - optind > 1) return usage_error(std::string("one journal only, not also '") + argv[optind + 1] + "'");
  const std::string journal = argv[optind];
  const std::unique_ptr<track::TrackWriter> writer = track::make_track_writer(format);
  if (!writer) return usage_error("unknown format '" + format + "' (gpx, kml or csv)");

  const std::unique_ptr<track::JournalFile> file = track::JournalFile::open(journal);
  if (!file) return failure(track::cannot_open_message(journal));
  if (!output.empty() && same_file(journal, output)) return failure("the output would replace the journal it reads");

  std::optional<common::FileReplacement> replacement =
      output.empty() ? std::optional<common::FileReplacement>() : common::FileReplacement::create(output);
  if (!output.empty() && !replacement) return failure(cannot_write(output));
  const int fd = replacement ? replacement->fd() : STDOUT_FILENO;

  using Kind = track::ExportOutcome::Kind;
  const track::ExportOutcome outcome =
      track::export_journal(*file, *writer, [fd](std::string_view block) { return common::write_all(fd, block); });
  switch (outcome.kind) {
    case Kind::CannotRead:
      return failure(track::cannot_read_message(journal));
    case Kind::FaultyLine:
      return failure(track::faulty_line_message(journal, outcome.lines));
    case Kind::NothingAccepted:
      return failure(track::nothing_accepted_message(journal));
    case Kind::CannotWrite:
      return failure(cannot_write(output));
    case Kind::Written:
      break;
  }
  if (replacement && !replacement->commit()) return failure(cannot_write(output));
  if (outcome.off_globe > 0) {
    std::fprintf(stderr,
                 "%s: %lld record(s) beyond 90 degrees of latitude or 180 of longitude left out,"
                 " the first at line %lld\n",
                 program_invocation_short_name, static_cast<long long>(outcome.off_globe),
                 static_cast<long long>(outcome.first_off_globe_line));
  }
  return 0;
}
