// Plays NMEA text onto a pseudo-terminal at the pace of a serial line, for
// trying Orvanta without a receiver and for end-to-end tests.
//
//   nmea_replay FILE [--baud 4800] [--loop] [--link PATH] [--noise BYTES]   (--help tells more)
//
// Prints the pty's path on stdout (and makes PATH a link to it), then sends
// FILE's lines, each ended with CR LF, ten bit times per byte; comment lines
// ('#') and blank lines are skipped. With --loop it starts over at the end.
// With --noise, BYTES of line noise (random bytes, never a '$' that would
// start a sentence) follow each sentence, as a bad line or a receiver's
// binary messages put between them.
// Like a receiver, it talks whether or not anyone listens: what is sent while
// the port is closed, or while its queue is full, is lost. SIGTERM or SIGINT
// end it; the pty then hangs up, as an unplugged receiver's port does.
#include "tools/command_line.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <random>
#include <signal.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

volatile sig_atomic_t stop_requested = 0;

void request_stop(int) { stop_requested = 1; }

struct Options {
  std::string file;
  long baud = 4800;
  bool loop = false;
  std::string link;
  long noise = 0;
};

constexpr char kUsage[] =
    "usage: %1$s FILE [--baud BITS] [--loop] [--link PATH] [--noise BYTES]\n"
    "Plays the NMEA sentences of FILE onto a new pseudo-terminal at the pace of a\n"
    "serial line, as a receiver would, and prints the terminal's path.\n"
    "\n"
    "  --baud BITS  line speed that sets the pace, in bits per second (default 4800)\n"
    "  --loop       start over at the end of FILE, until stopped\n"
    "  --link PATH  also name the terminal PATH (a symbolic link, removed at the\n"
    "               end), e.g. /dev/ttyUSB9 so that serial port lists show it\n"
    "  --noise BYTES  send BYTES random bytes (never a '$') after each sentence,\n"
    "               as a noisy line would\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Lines starting with '#' and blank lines of FILE are skipped. SIGTERM or\n"
    "SIGINT (Ctrl-C) ends it; the terminal then hangs up.\n";

enum { kBaud = 0x200, kLoop, kLink, kNoise };

// Returns -1 to go on, else the exit status.
int parse_options(int argc, char** argv, Options& options) {
  static const option kOptions[] = {{"baud", required_argument, nullptr, kBaud},
                                    {"loop", no_argument, nullptr, kLoop},
                                    {"link", required_argument, nullptr, kLink},
                                    {"noise", required_argument, nullptr, kNoise},
                                    tools::kHelpOption,
                                    tools::kVersionOption,
                                    {}};
  for (int c; (c = getopt_long(argc, argv, "h", kOptions, nullptr)) != -1;) {
    switch (c) {
      case kBaud:
      case kNoise: {
        const std::string_view value = optarg;
        long& number = c == kBaud ? options.baud : options.noise;
        auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (error != std::errc() || end != value.data() + value.size() || number < (c == kBaud ? 1 : 0)) {
          std::fprintf(stderr, "%s: bad %s '%s'\n", program_invocation_short_name, c == kBaud ? "speed" : "noise",
                       optarg);
          return tools::usage_error(kUsage);
        }
        break;
      }
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
        return tools::usage_error(kUsage);
    }
  }
  if (argc - optind != 1) return tools::usage_error(kUsage);
  options.file = argv[optind];
  return -1;
}

bool read_sentences(const std::string& path, std::vector<std::string>& sentences) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    sentences.push_back(line + "\r\n");
  }
  return !in.bad();
}

// Replaces a link left by an earlier run; never removes anything but a link.
// Returns what went wrong, or nothing.
std::string make_link(const std::string& target, const std::string& link) {
  struct stat info {};
  if (::lstat(link.c_str(), &info) == 0) {
    if (!S_ISLNK(info.st_mode)) return "it exists and is not a symbolic link";
    if (::unlink(link.c_str()) != 0) return std::strerror(errno);
  }
  if (::symlink(target.c_str(), link.c_str()) != 0) return std::strerror(errno);
  return {};
}

// Sleeps until `deadline` with SIGINT and SIGTERM let through; false when one came.
bool sleep_until(std::chrono::steady_clock::time_point deadline, const sigset_t& wait_mask) {
  while (!stop_requested) {
    auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::nanoseconds::zero()) return true;
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    ::ppoll(nullptr, 0, &ts, &wait_mask);
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const int status = parse_options(argc, argv, options); status >= 0) return status;
  const char* const me = program_invocation_short_name;
  std::vector<std::string> sentences;
  if (!read_sentences(options.file, sentences)) {
    std::fprintf(stderr, "%s: cannot read %s: %s\n", me, options.file.c_str(), std::strerror(errno));
    return 1;
  }
  // With nothing to send, a loop would only spin.
  if (sentences.empty()) {
    std::fprintf(stderr, "%s: %s holds no sentence (only blank or '#' lines)\n", me, options.file.c_str());
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
    std::fprintf(stderr, "%s: openpty: %s\n", me, std::strerror(errno));
    return 1;
  }
  std::string slave_path = ::ttyname(slave);
  // Only the program under test holds the port open: with nobody on it the
  // sentences fall on the floor, as they would from a receiver.
  ::close(slave);
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  ::fcntl(master, F_SETFD, FD_CLOEXEC);

  if (!options.link.empty()) {
    if (const std::string failure = make_link(slave_path, options.link); !failure.empty()) {
      std::fprintf(stderr, "%s: cannot link %s: %s\n", me, options.link.c_str(), failure.c_str());
      return 1;
    }
  }
  std::printf("%s\n", slave_path.c_str());
  std::fflush(stdout);

  std::mt19937 random(1);  // the same noise every run
  std::uniform_int_distribution<int> byte(0, 254);
  std::string noise(static_cast<size_t>(options.noise), '\0');
  auto deadline = std::chrono::steady_clock::now();
  bool running = true;
  do {
    for (const std::string& sentence : sentences) {
      for (char& c : noise) {
        const int value = byte(random);  // 255 values: every byte but '$'
        c = static_cast<char>(value + (value >= '$'));
      }
      const std::string text = sentence + noise;
      // A full queue drops the rest of the sentence: nobody is reading.
      ssize_t ignored = ::write(master, text.data(), text.size());
      (void)ignored;
      deadline += std::chrono::nanoseconds(static_cast<int64_t>(text.size()) * 10 * 1000000000 / options.baud);
      if (!(running = sleep_until(deadline, wait_mask))) break;
    }
  } while (running && options.loop);

  if (!options.link.empty()) ::unlink(options.link.c_str());
  ::close(master);
  return 0;
}
