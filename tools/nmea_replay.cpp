// Plays NMEA text onto a pseudo-terminal at the pace of a serial line, for
// trying Orvanta without a receiver and for end-to-end tests.
//
//   nmea_replay FILE [--baud 4800] [--loop] [--link PATH] [--noise BYTES]
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
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
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

bool parse_options(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--loop") {
      options.loop = true;
    } else if ((arg == "--baud" || arg == "--link" || arg == "--noise") && i + 1 < argc) {
      std::string value = argv[++i];
      if (arg == "--link") {
        options.link = value;
        continue;
      }
      long& number = arg == "--baud" ? options.baud : options.noise;
      auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
      if (error != std::errc() || end != value.data() + value.size() || number < (arg == "--baud" ? 1 : 0))
        return false;
    } else if (options.file.empty() && !arg.starts_with("--")) {
      options.file = arg;
    } else {
      return false;
    }
  }
  return !options.file.empty();
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
bool make_link(const std::string& target, const std::string& link) {
  struct stat info {};
  if (::lstat(link.c_str(), &info) == 0) {
    if (!S_ISLNK(info.st_mode) || ::unlink(link.c_str()) != 0) return false;
  }
  return ::symlink(target.c_str(), link.c_str()) == 0;
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
  if (!parse_options(argc, argv, options)) {
    std::fprintf(stderr, "usage: nmea_replay FILE [--baud 4800] [--loop] [--link PATH] [--noise BYTES]\n");
    return 2;
  }
  std::vector<std::string> sentences;
  if (!read_sentences(options.file, sentences)) {
    std::fprintf(stderr, "nmea_replay: cannot read %s: %s\n", options.file.c_str(), std::strerror(errno));
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
    std::fprintf(stderr, "nmea_replay: openpty: %s\n", std::strerror(errno));
    return 1;
  }
  std::string slave_path = ::ttyname(slave);
  // Only the program under test holds the port open: with nobody on it the
  // sentences fall on the floor, as they would from a receiver.
  ::close(slave);
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  ::fcntl(master, F_SETFD, FD_CLOEXEC);

  if (!options.link.empty() && !make_link(slave_path, options.link)) {
    std::fprintf(stderr, "nmea_replay: cannot link %s: %s\n", options.link.c_str(), std::strerror(errno));
    return 1;
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
