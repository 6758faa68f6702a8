// Plays NMEA text onto a pseudo-terminal at the pace of a receiver, for
// trying Orvanta without a receiver and for end-to-end tests. It speaks
// French, as the program and its other tools do.
//
//   nmea_replay FILE [--baud 4800] [--speed 1] [--loop] [--link PATH] [--noise BYTES]   (--help tells more)
//
// Prints the pty's path on stdout (and makes PATH a link to it), then sends
// FILE's lines, each ended with CR LF; comment lines ('#') and blank lines
// are skipped. The sentences go out when their own times say (a new second,
// or tenth, starts where the time of an RMC or GGA sentence changes),
// divided by --speed, and never faster than the line: ten bit times per byte
// at --baud. With --loop it starts over at the end. With --noise, BYTES of
// line noise (random bytes, never a '$' that would start a sentence) follow
// each sentence, as a bad line or a receiver's binary messages put between
// them.
// Like a receiver, it talks whether or not anyone listens: what is sent while
// the port is closed, or while its queue is full, is lost. SIGTERM or SIGINT
// end it; the pty then hangs up, as an unplugged receiver's port does.
#include "tools/command_line.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <random>
#include <signal.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

volatile sig_atomic_t stop_requested = 0;

void request_stop(int) { stop_requested = 1; }

struct Options {
  std::string file;
  long baud = 4800;
  double speed = 1;
  bool loop = false;
  std::string link;
  long noise = 0;
};

constexpr char kUsage[] =
    "Utilisation : %1$s FICHIER [--baud BITS] [--speed FACTEUR] [--loop] [--link CHEMIN] [--noise OCTETS]\n"
    "Joue les phrases NMEA de FICHIER sur un nouveau pseudo-terminal comme un\n"
    "récepteur le ferait, à l'heure qu'elles portent et jamais plus vite qu'une\n"
    "liaison série, et affiche le chemin du terminal.\n"
    "\n"
    "  --baud BITS       vitesse de la liaison en bits par seconde, de 1 à 4000000\n"
    "                    (4800 par défaut) : jamais plus de dix temps de bit par\n"
    "                    octet\n"
    "  --speed FACTEUR   joue FACTEUR fois plus vite que ne le disent les heures des\n"
    "                    phrases RMC et GGA, de 0.001 à 1000 (1 par défaut, le temps\n"
    "                    réel) ; 0 laisse le rythme à la seule liaison, qu'il remplit\n"
    "  --loop            reprend au début de FICHIER à la fin, jusqu'à l'arrêt\n"
    "  --link CHEMIN     nomme aussi le terminal CHEMIN (un lien symbolique retiré à\n"
    "                    la fin), par exemple /dev/ttyUSB9 pour que les listes de\n"
    "                    ports série le montrent ; CHEMIN ne doit pas exister\n"
    "  --noise OCTETS    envoie OCTETS octets au hasard (jamais un « $ ») après\n"
    "                    chaque phrase, de 0 à 1000000, comme une liaison bruitée\n"
    "  -h, --help        affiche cette aide et quitte\n"
    "      --version     affiche la version et quitte\n"
    "\n"
    "FICHIER est un fichier ordinaire ; les lignes qui commencent par « # » et les\n"
    "lignes vides sont passées. SIGTERM ou SIGINT (Ctrl-C) l'arrête ; le terminal\n"
    "raccroche alors.\n";

// The options' ranges, checked before any arithmetic: the time a sentence
// takes on the line (bytes x 10 x 10^9 / baud, in nanoseconds) and a
// recording's step divided by the speed factor then stay far within 64 bits.
constexpr long kFastestBaud = 4'000'000;
constexpr long kMostNoise = 1'000'000;
constexpr double kSlowestSpeed = 0.001, kFastestSpeed = 1000;

enum { kBaud = 0x200, kSpeed, kLoop, kLink, kNoise };

bool parse_number(std::string_view text, long& out) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size();
}

bool parse_number(std::string_view text, double& out) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out, std::chars_format::fixed);
  return error == std::errc() && end == text.data() + text.size() && std::isfinite(out);
}

int bad_value(const char* option, const char* value, const char* range) {
  std::fprintf(stderr, "%s: valeur incorrecte pour %s : « %s » (%s)\n", program_invocation_short_name, option, value,
               range);
  return tools::usage_error(kUsage);
}

// Returns -1 to go on, else the exit status.
int parse_options(int argc, char** argv, Options& options) {
  static const option kOptions[] = {{"baud", required_argument, nullptr, kBaud},
                                    {"speed", required_argument, nullptr, kSpeed},
                                    {"loop", no_argument, nullptr, kLoop},
                                    {"link", required_argument, nullptr, kLink},
                                    {"noise", required_argument, nullptr, kNoise},
                                    tools::kHelpOption,
                                    tools::kVersionOption,
                                    {}};
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, ":h", kOptions, nullptr)) != -1;) {
    switch (c) {
      case kBaud:
        if (!parse_number(optarg, options.baud) || options.baud < 1 || options.baud > kFastestBaud)
          return bad_value("--baud", optarg, "un entier de 1 à 4000000");
        break;
      case kNoise:
        if (!parse_number(optarg, options.noise) || options.noise < 0 || options.noise > kMostNoise)
          return bad_value("--noise", optarg, "un entier de 0 à 1000000");
        break;
      case kSpeed:
        if (!parse_number(optarg, options.speed) ||
            (options.speed != 0 && (options.speed < kSlowestSpeed || options.speed > kFastestSpeed)))
          return bad_value("--speed", optarg, "0, ou un nombre de 0.001 à 1000");
        break;
      case kLoop:
        options.loop = true;
        break;
      case kLink:
        options.link = optarg;
        break;
      case tools::kHelp:
        return tools::print_help(kUsage);
      case tools::kVersion:
        return tools::print_version();
      default:
        return tools::option_error(c, argv, kUsage);
    }
  }
  if (argc - optind != 1) return tools::usage_error(kUsage);
  options.file = argv[optind];
  return -1;
}

// FILE's sentences, read a block at a time, so that the memory taken is the
// same whatever the file holds. A line longer than any receiver's sentence
// is none, and is passed over.
class SentenceFile {
 public:
  SentenceFile() = default;
  SentenceFile(const SentenceFile&) = delete;
  SentenceFile& operator=(const SentenceFile&) = delete;
  ~SentenceFile() {
    if (fd_ >= 0) ::close(fd_);
  }

  // Only a regular file: a device such as /dev/zero never ends and a pipe
  // cannot start over. Opened without waiting, so that a FIFO cannot hold
  // the open. False, with errno set (EINVAL: not a regular file), otherwise.
  bool open(const std::string& path) {
    do {
      fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) return false;
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode)) return true;
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return false;
  }

  // The next sentence, with CR LF; false at the end of the file, or on a
  // failed read (failed() then tells).
  bool next(std::string& sentence) {
    std::string line;
    bool too_long = false;
    for (;;) {
      if (begin_ == end_ && !fill()) return false;
      if (begin_ == end_) return take(line, too_long, sentence);  // a last line without LF
      const char* start = buffer_.data() + begin_;
      const auto* lf = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
      const std::size_t length = lf ? static_cast<std::size_t>(lf - start) : end_ - begin_;
      too_long = too_long || line.size() + length > kLongestLine;
      if (!too_long) line.append(start, length);
      begin_ += length + (lf ? 1 : 0);
      if (lf && take(line, too_long, sentence)) return true;
      if (lf) {
        line.clear();
        too_long = false;
      }
    }
  }

  bool rewind() {
    begin_ = end_ = 0;
    return ::lseek(fd_, 0, SEEK_SET) == 0;
  }
  bool failed() const { return failed_; }

 private:
  // NMEA allows 82 characters; captures hold some more (proprietary
  // sentences, two sentences run together).
  static constexpr std::size_t kLongestLine = 1024;

  // False at the end of the file or on a failure.
  bool fill() {
    begin_ = end_ = 0;
    ssize_t got;
    do {
      got = ::read(fd_, buffer_.data(), buffer_.size());
    } while (got < 0 && errno == EINTR);
    failed_ = got < 0;
    if (got <= 0) return false;
    end_ = static_cast<std::size_t>(got);
    return true;
  }

  static bool take(std::string& line, bool too_long, std::string& sentence) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (too_long || line.empty() || line[0] == '#') return false;
    sentence = line + "\r\n";
    return true;
  }

  int fd_ = -1;
  std::array<char, 65536> buffer_{};
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool failed_ = false;
};

// The time of day an RMC or GGA sentence of any talker carries
// ("$GPRMC,123519,…", "$GNGGA,123519.20,…"), in milliseconds; nothing for
// any other sentence or a field that is no time.
std::optional<int64_t> sentence_time(std::string_view s) {
  if (s.size() < 13 || s[0] != '$' || (s.substr(3, 4) != "RMC," && s.substr(3, 4) != "GGA,")) return std::nullopt;
  s.remove_prefix(7);
  int64_t parts[3];
  for (std::size_t i = 0; i < 3; ++i) {
    const char tens = s[2 * i], units = s[2 * i + 1];
    if (tens < '0' || tens > '9' || units < '0' || units > '9') return std::nullopt;
    parts[i] = (tens - '0') * 10 + (units - '0');
  }
  if (parts[0] > 23 || parts[1] > 59 || parts[2] > 60) return std::nullopt;
  int64_t ms = ((parts[0] * 60 + parts[1]) * 60 + parts[2]) * 1000;
  s.remove_prefix(6);
  if (!s.empty() && s[0] == '.') {
    s.remove_prefix(1);
    for (int64_t scale = 100; !s.empty() && s[0] >= '0' && s[0] <= '9'; s.remove_prefix(1), scale /= 10) {
      ms += (s[0] - '0') * scale;
    }
  }
  if (!s.empty() && s[0] != ',') return std::nullopt;
  return ms;
}

// When each piece of text may go. The line is never faster than ten bit times
// a byte. A group (the sentences from a time to the next different one) goes
// no sooner than its time says after the group before, divided by the speed
// factor: a receiver's second takes a second. A step back in time (the file
// starting over, midnight aside) or a jump of more than kLongestStep (a gap
// in the recording, a garbled time) waits no longer than kLongestStep.
class Pace {
 public:
  Pace(long baud, double speed) : baud_(baud), speed_(speed), line_free_(Clock::now()), group_start_(line_free_) {}

  // The moment `text` goes, `sentence` being the sentence it starts with;
  // the line is then busy with it until its last byte is through.
  Clock::time_point book(std::string_view sentence, std::size_t bytes) {
    const std::optional<int64_t> time = speed_ > 0 ? sentence_time(sentence) : std::nullopt;
    if (time && time != group_time_) {
      if (group_time_) {
        int64_t step = *time - *group_time_;
        if (step < -kDay / 2) step += kDay;
        step = std::clamp<int64_t>(step, 0, kLongestStep);
        group_start_ += std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double, std::milli>(static_cast<double>(step) / speed_));
      }
      group_start_ = std::max(group_start_, line_free_);
      group_time_ = time;
    }
    const Clock::time_point at = std::max(line_free_, group_start_);
    line_free_ = at + std::chrono::nanoseconds(static_cast<int64_t>(bytes) * 10 * 1000000000 / baud_);
    return at;
  }
  Clock::time_point line_free() const { return line_free_; }

 private:
  static constexpr int64_t kDay = 86400000;
  static constexpr int64_t kLongestStep = 10000;

  long baud_;
  double speed_;
  Clock::time_point line_free_;
  Clock::time_point group_start_;
  std::optional<int64_t> group_time_;
};

// Sleeps until `deadline` with SIGINT and SIGTERM let through; false when one came.
bool sleep_until(Clock::time_point deadline, const sigset_t& wait_mask) {
  while (!stop_requested) {
    auto left = deadline - Clock::now();
    if (left <= std::chrono::nanoseconds::zero()) return true;
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    ::ppoll(nullptr, 0, &ts, &wait_mask);
  }
  return false;
}

// Removes the link made at the start, unless something else stands there
// by now: only what this program made is ever removed.
void remove_link(const std::string& link, const std::string& target) {
  char points_to[PATH_MAX];
  const ssize_t n = ::readlink(link.c_str(), points_to, sizeof points_to);
  if (n >= 0 && std::string_view(points_to, static_cast<std::size_t>(n)) == target) ::unlink(link.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const int status = parse_options(argc, argv, options); status >= 0) return status;
  const char* const me = program_invocation_short_name;
  SentenceFile file;
  if (!file.open(options.file)) {
    std::fprintf(stderr, "%s: impossible de lire %s : %s\n", me, options.file.c_str(),
                 errno == EINVAL ? "ce n'est pas un fichier ordinaire" : std::strerror(errno));
    return 1;
  }
  // With nothing to send, a loop would only spin.
  std::string sentence;
  if (!file.next(sentence) || !file.rewind()) {
    if (file.failed()) {
      std::fprintf(stderr, "%s: impossible de lire %s : %s\n", me, options.file.c_str(), std::strerror(errno));
    } else {
      std::fprintf(stderr, "%s: %s ne contient aucune phrase (seulement des lignes vides ou « # »)\n", me,
                   options.file.c_str());
    }
    return 1;
  }

  // Signals are only let through while sleeping, so that a stop is never
  // missed between the check and the sleep.
  sigset_t stop_signals, wait_mask;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  sigprocmask(SIG_BLOCK, &stop_signals, &wait_mask);
  sigdelset(&wait_mask, SIGINT);
  sigdelset(&wait_mask, SIGTERM);
  struct sigaction action {};
  action.sa_handler = request_stop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  termios raw{};
  cfmakeraw(&raw);
  raw.c_cflag |= CLOCAL | CREAD;
  int master = -1, slave = -1;
  if (::openpty(&master, &slave, nullptr, &raw, nullptr) != 0) {
    std::fprintf(stderr, "%s: impossible de créer un pseudo-terminal : %s\n", me, std::strerror(errno));
    return 1;
  }
  std::string slave_path = ::ttyname(slave);
  // Only the program under test holds the port open: with nobody on it the
  // sentences fall on the floor, as they would from a receiver.
  ::close(slave);
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  ::fcntl(master, F_SETFD, FD_CLOEXEC);

  // Whatever already has the name stays as it is: it may be a real device,
  // another program's link, or anything that is not ours to remove.
  if (!options.link.empty() && ::symlink(slave_path.c_str(), options.link.c_str()) != 0) {
    const int error = errno;
    std::fprintf(stderr, "%s: impossible de créer le lien %s : %s\n", me, options.link.c_str(),
                 error == EEXIST ? "il existe déjà (retirez-le, ou choisissez un autre nom)" : std::strerror(error));
    return error == EEXIST ? 2 : 1;
  }
  std::printf("%s\n", slave_path.c_str());
  std::fflush(stdout);

  std::mt19937 random(1);  // the same noise every run
  std::uniform_int_distribution<int> byte(0, 254);
  std::string noise(static_cast<size_t>(options.noise), '\0');
  Pace pace(options.baud, options.speed);
  bool running = true;
  do {
    while (running && file.next(sentence)) {
      for (char& c : noise) {
        const int value = byte(random);  // 255 values: every byte but '$'
        c = static_cast<char>(value + (value >= '$'));
      }
      const std::string text = sentence + noise;
      if (!(running = sleep_until(pace.book(sentence, text.size()), wait_mask))) break;
      // A full queue drops the rest of the sentence: nobody is reading.
      ssize_t ignored = ::write(master, text.data(), text.size());
      (void)ignored;
    }
  } while (running && !file.failed() && options.loop && file.rewind());
  const bool failed = file.failed();
  if (failed) std::fprintf(stderr, "%s: impossible de lire %s : %s\n", me, options.file.c_str(), std::strerror(errno));
  // The last sentence goes through the line before the terminal hangs up.
  if (running && !failed) sleep_until(pace.line_free(), wait_mask);

  if (!options.link.empty()) remove_link(options.link, slave_path);
  ::close(master);
  return failed ? 1 : 0;
}
