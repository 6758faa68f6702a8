// Writes the track of a journal in a standard format, for the tools that
// read GPX, KML or CSV.
//
//   orvanta-export [--format gpx|kml|csv] [--skip-faulty] [-o FILE|-] JOURNAL|-
//
// The journal is read as the track viewer reads it, line for line, and the
// output is written as it goes: a journal of any length takes the same memory.
// It speaks French, as the program and its messages do.
#include "common/file_replacement.h"
#include "common/posix_io.h"
#include "tools/command_line.h"
#include "track/export_messages.h"
#include "track/export_stream.h"
#include "track/journal_file.h"
#include "track/load_messages.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kUsage[] =
    "Utilisation : %1$s [--format gpx|kml|csv] [--skip-faulty] [-o FICHIER] JOURNAL\n"
    "Écrit la trace d'un journal d'Orvanta en GPX 1.1, KML 2.2 ou CSV.\n"
    "\n"
    "  -f, --format=FORMAT    gpx (par défaut), kml ou csv\n"
    "  -o, --output=FICHIER   écrit dans FICHIER au lieu de la sortie standard (« - »\n"
    "                         la désigne) ; FICHIER n'est remplacé qu'une fois toute\n"
    "                         la trace écrite\n"
    "      --skip-faulty      passe les lignes fautives en nommant chacune sur la\n"
    "                         sortie d'erreur, et exporte tout ce qui est lisible\n"
    "  -h, --help             affiche cette aide et quitte\n"
    "      --version          affiche la version et quitte\n"
    "\n"
    "JOURNAL « - » est l'entrée standard. Les positions sont en degrés décimaux\n"
    "(sud et ouest négatifs), les heures en UTC, les vitesses en nœuds. Le journal\n"
    "est lu comme la fenêtre de trace le lit : sans --skip-faulty, une ligne\n"
    "fautive arrête la conversion avec le message de la fenêtre.\n"
    "\n"
    "Code de retour : 0 si la trace est écrite, 1 si le journal ou la sortie a\n"
    "échoué, 2 pour une ligne de commande erronée ou une sortie qui est le\n"
    "journal lui-même.\n";

enum { kSkipFaulty = 0x200 };

constexpr char kStandardStream[] = "-";

void say(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, message.c_str());
}

// A wrong command line: what was wrong, then the usage.
int usage_error(const std::string& message) {
  say(message);
  return tools::usage_error(kUsage);
}

int failure(const std::string& message, int status = 1) {
  say(message);
  return status;
}

std::string cannot_write(const std::string& output, int error) {
  return (output == kStandardStream ? std::string("Impossible d'écrire sur la sortie standard (")
                                    : "Impossible d'écrire dans " + output + " (") +
         track::system_reason(error) + ").";
}

// Standard input as the journal, read once from start to end: the export
// never goes back to a record.
class StandardInput : public track::ByteSource {
 public:
  std::optional<std::size_t> read(char* buffer, std::size_t capacity) override {
    for (;;) {
      const ssize_t got = ::read(STDIN_FILENO, buffer, capacity);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR) return std::nullopt;
    }
  }
  std::optional<std::size_t> read_at(uint64_t, char*, std::size_t) const override { return std::nullopt; }
  uint64_t size() const override { return 0; }
};

// A regular file's identity, which tells two names or descriptors of one
// file apart from two files.
struct FileId {
  dev_t device;
  ino_t inode;
  bool operator==(const FileId&) const = default;
};

std::optional<FileId> regular_file(bool found, const struct stat& info) {
  if (!found || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileId{info.st_dev, info.st_ino};
}

std::optional<FileId> file_behind(const std::string& path) {
  struct stat info {};
  return regular_file(::stat(path.c_str(), &info) == 0, info);
}

std::optional<FileId> file_behind(int fd) {
  struct stat info {};
  return regular_file(::fstat(fd, &info) == 0, info);
}

// Why the journal at `path` could not be opened (`error` the open's errno).
std::string open_failure_reason(const std::string& path, int error) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return track::system_reason(errno);
  if (S_ISDIR(info.st_mode)) return track::system_reason(EISDIR);
  if (!S_ISREG(info.st_mode)) return "ce n'est pas un fichier ordinaire";
  return track::system_reason(error);
}

}  // namespace

int main(int argc, char** argv) {
  std::string format = "gpx";
  std::string output = kStandardStream;
  bool skip_faulty = false;
  static const option kOptions[] = {{"format", required_argument, nullptr, 'f'},
                                    {"output", required_argument, nullptr, 'o'},
                                    {"skip-faulty", no_argument, nullptr, kSkipFaulty},
                                    tools::kHelpOption,
                                    tools::kVersionOption,
                                    {}};
  opterr = 0;  // getopt's own messages would be in English
  for (int c; (c = ::getopt_long(argc, argv, ":f:o:h", kOptions, nullptr)) != -1;) {
    switch (c) {
      case 'f':
        format = optarg;
        break;
      case 'o':
        output = optarg;
        if (output.empty()) return usage_error("nom de fichier de sortie vide");
        break;
      case kSkipFaulty:
        skip_faulty = true;
        break;
      case tools::kHelp:
        return tools::print_help(kUsage);
      case tools::kVersion:
        return tools::print_version();
      case ':':
        return usage_error(std::string("il manque une valeur à l'option « ") + argv[optind - 1] + " »");
      default:
        return usage_error("option inconnue « " +
                           (optopt != 0 ? std::string("-") + static_cast<char>(optopt) : argv[optind - 1]) + " »");
    }
  }
  if (optind == argc) return usage_error("aucun journal donné");
  if (argc - optind > 1) return usage_error(std::string("un seul journal, pas aussi « ") + argv[optind + 1] + " »");
  const std::string journal = argv[optind];
  const std::unique_ptr<track::TrackWriter> writer = track::make_track_writer(format);
  if (!writer) return usage_error("format inconnu « " + format + " » (gpx, kml ou csv)");

  const bool from_stdin = journal == kStandardStream;
  const std::string journal_name = from_stdin ? "(entrée standard)" : journal;
  std::unique_ptr<track::ByteSource> source;
  if (from_stdin) {
    source = std::make_unique<StandardInput>();
  } else if (!(source = track::JournalFile::open(journal))) {
    const int error = errno;
    return failure(track::cannot_open_message(journal, open_failure_reason(journal, error)));
  }

  // Written into, the journal would be lost (replaced) or would grow as it is
  // read (appended to, `orvanta-export J >> J`).
  const bool to_stdout = output == kStandardStream;
  const std::optional<FileId> input = from_stdin ? file_behind(STDIN_FILENO) : file_behind(journal);
  if (input && input == (to_stdout ? file_behind(STDOUT_FILENO) : file_behind(output))) {
    return failure((to_stdout ? std::string("la sortie standard") : output) +
                       " est le journal à convertir : choisissez une autre sortie",
                   2);
  }

  std::optional<common::FileReplacement> replacement =
      to_stdout ? std::optional<common::FileReplacement>() : common::FileReplacement::create(output);
  if (!to_stdout && !replacement) return failure(cannot_write(output, errno));
  const int fd = replacement ? replacement->fd() : STDOUT_FILENO;

  track::SkippedLine skipped;
  if (skip_faulty) {
    skipped = [](int64_t line, track::JournalField field) {
      say("ligne " + std::to_string(line) + " ignorée : " + std::string(track::faulty_field_reason(field)));
    };
  }
  int write_error = 0;
  const track::ExportOutcome outcome = track::export_journal(
      *source, *writer,
      [fd, &write_error](std::string_view block) {
        if (common::write_all(fd, block)) return true;
        write_error = errno;
        return false;
      },
      skipped);
  if (outcome.skipped > 0) say(std::to_string(outcome.skipped) + " ligne(s) fautive(s) ignorée(s)");

  using Kind = track::ExportOutcome::Kind;
  switch (outcome.kind) {
    case Kind::CannotRead:
      return failure(track::cannot_read_message(journal_name));
    case Kind::FaultyLine:
      return failure(track::faulty_line_message(journal_name, outcome.lines));
    case Kind::NothingAccepted:
      return failure(track::nothing_accepted_message(journal_name));
    case Kind::CannotWrite:
      return failure(cannot_write(output, write_error));
    case Kind::Written:
      break;
  }
  if (replacement && !replacement->commit()) return failure(cannot_write(output, errno));
  if (outcome.off_globe > 0) {
    say(std::to_string(outcome.off_globe) +
        " enregistrement(s) au-delà de 90 degrés de latitude ou de 180 degrés de longitude laissé(s) de côté, le "
        "premier à la ligne " +
        std::to_string(outcome.first_off_globe_line));
  }
  return 0;
}
