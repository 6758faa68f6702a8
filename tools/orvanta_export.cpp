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
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
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
    "      --skip-faulty      passe les lignes fautives en nommant les 100 premières\n"
    "                         sur la sortie d'erreur, et exporte tout ce qui est\n"
    "                         lisible\n"
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

// Faulty lines named one by one; the rest are only counted, so that a journal
// of garbage does not flood the terminal.
constexpr int64_t kFaultyLinesNamed = 100;

// The signals that end the export before it is done.
constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGPIPE};

// The new file beside the output while it is written: a signal that ends the
// export removes it, so that nothing is left beside FILE. A copy of its name,
// since the handler may use nothing that allocates.
char g_new_file[PATH_MAX];

extern "C" void remove_new_file_and_end(int signal) {
  if (g_new_file[0] != '\0') ::unlink(g_new_file);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

// Blocks the ending signals while the new file's name changes hands.
class EndingSignalsHeld {
 public:
  EndingSignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : kEndingSignals) sigaddset(&held, signal);
    ::sigprocmask(SIG_BLOCK, &held, &previous_);
  }
  ~EndingSignalsHeld() { ::sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  EndingSignalsHeld(const EndingSignalsHeld&) = delete;
  EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

void remove_new_file_on_signals(const std::string& name) {
  if (name.empty() || name.size() >= sizeof g_new_file) return;
  std::memcpy(g_new_file, name.c_str(), name.size() + 1);
  for (const int signal : kEndingSignals) {
    struct sigaction action {};
    // A signal the caller chose to ignore (nohup) stays ignored.
    if (::sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) continue;
    action = {};
    action.sa_handler = remove_new_file_and_end;
    ::sigaction(signal, &action, nullptr);
  }
}

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
  if (output == kStandardStream)
    return "Impossible d'écrire sur la sortie standard (" + track::system_reason(error) + ").";
  if (error == EACCES && common::is_planted_link(output))
    return "Impossible d'écrire dans " + output +
           " (lien symbolique d'un autre utilisateur dans un dossier partagé, non suivi).";
  return "Impossible d'écrire dans " + output + " (" + track::system_reason(error) + ").";
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

  std::optional<common::FileReplacement> replacement = [&]() -> std::optional<common::FileReplacement> {
    if (to_stdout) return std::nullopt;
    const EndingSignalsHeld held;
    std::optional<common::FileReplacement> made = common::FileReplacement::create(output);
    if (made) remove_new_file_on_signals(made->temp_path());
    return made;
  }();
  if (!to_stdout && !replacement) return failure(cannot_write(output, errno));
  const int fd = replacement ? replacement->fd() : STDOUT_FILENO;

  track::SkippedLine skipped;
  if (skip_faulty) {
    skipped = [named = int64_t{0}](int64_t line, track::JournalField field) mutable {
      if (++named > kFaultyLinesNamed) return;
      say("ligne " + std::to_string(line) + " ignorée : " + std::string(track::faulty_field_reason(field)));
      if (named == kFaultyLinesNamed) say("les lignes fautives suivantes sont seulement comptées");
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
    case Kind::CrOnlyLineEnds:
      return failure(journal_name +
                     " : ses lignes finissent par CR seul, sans LF ; il n'est pas converti (ses lignes doivent finir "
                     "par CR LF, comme Orvanta les écrit : « sed -i 's/\\r/\\r\\n/g' JOURNAL » les convertit)");
    case Kind::Written:
      break;
  }
  if (replacement) {
    const EndingSignalsHeld held;
    if (!replacement->commit()) return failure(cannot_write(output, errno));
    g_new_file[0] = '\0';
  }
  if (outcome.off_globe > 0) {
    say(std::to_string(outcome.off_globe) +
        " enregistrement(s) au-delà de 90 degrés de latitude ou de 180 degrés de longitude laissé(s) de côté, le "
        "premier à la ligne " +
        std::to_string(outcome.first_off_globe_line));
  }
  return 0;
}
