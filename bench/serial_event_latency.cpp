// How much the open port costs while a receiver talks, and how late the
// program hears of each byte, next to the least any reader pays for the same
// stream and to gpsd, the usual daemon for the job.
//
//   serial_event_latency [--chunk N | --sentences]... [--reader NAME]...
//                        [--repeat R] [SECONDS]
//                        (default: --chunk 1 --sentences, every reader, 1 round, 30 s)
//
// A writer thread plays synthetic NMEA sentences onto the master of a
// pseudo-terminal at the pace of a 4800-baud line: one second's sentences,
// then silence until the next second. `--chunk N` sets how the line hands them
// over: N bytes per write, one write every N byte times (10 bit times each).
// 1 is the worst case, every byte on its own; a UART's receive FIFO hands over
// 8-14 bytes per interrupt, a USB adapter what arrived since its last poll
// (1-16 ms apart, a 64-byte packet at most). `--sentences` writes each
// sentence whole when its last byte is due, as a receiver that sends a
// sentence per USB packet does. Repeat the options to measure several patterns
// in one run.
//
// Each pattern is played to each reader of the slave in turn, SECONDS each
// (`--reader` picks some, e.g. to profile one); `--repeat` plays the whole
// set R times over and reports the run of median CPU, for a shared machine:
//   baseline  one thread in a poll()+read() loop on the raw slave fd: no port
//             component, no hand-over to the GUI thread;
//   gpsd      `gpsd -N -n -b` on the slave, our own instance on our own pty
//             (skipped when gpsd is not installed);
//   port      a TComPort configured as the main window configures it (4800 8N1,
//             all events, smThreadSync, OnRxChar reading the announced count),
//             opened on the slave through the real Linux device layer.
// For each it measures the reader's CPU use and context switches (the writer
// thread's own taken out), per write ("delivery"), and the delay from each
// byte's write on the master to the moment the reader hears of it (poll()
// returning; OnRxChar being entered; not seen for gpsd). The delay starts when
// the line hands the byte to the system: the time it waited in a FIFO or
// adapter before is the line's.
#include "common/unique_fd.h"
#include "serial/com_port.h"
#include "serial/posix/event_fd.h"
#include "serial/posix/posix_device_opener.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <system_error>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBaud = 4800;
constexpr auto kByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / kBaud);
// Time left after the last second for the last bytes to be heard.
constexpr auto kDrainTime = std::chrono::milliseconds(200);
// A pty's input queue holds 4 KiB; a larger write would wait for the reader.
constexpr int kMaxChunk = 4095;

std::string WithChecksum(const std::string& body) {
  unsigned char sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

// Where a gpsd to compare with lives; empty when it is not installed.
std::string GpsdPath() {
  for (const char* path : {"/usr/sbin/gpsd", "/usr/local/sbin/gpsd"})
    if (::access(path, X_OK) == 0) return path;
  return {};
}

// One second of a receiver's output: RMC, GGA, GSA and three GSV sentences.
std::string SecondOfSentences(int second) {
  char time[16];
  std::snprintf(time, sizeof time, "%02d%02d%02d.00", (second / 3600) % 24, (second / 60) % 60, second % 60);
  const std::string t = time;
  std::string out;
  out += WithChecksum("GPRMC," + t + ",A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
  out += WithChecksum("GPGGA," + t + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
  out += WithChecksum("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
  out += WithChecksum("GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00");
  out += WithChecksum("GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00");
  out += WithChecksum("GPGSV,3,3,11,22,42,067,42,24,14,311,43,27,05,244,00,,,,");
  return out;
}

double CpuSeconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

double Millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Pty {
  Pty() {
    int m = -1, s = -1;
    if (openpty(&m, &s, slave_name, nullptr, nullptr) != 0)
      throw std::system_error(errno, std::generic_category(), "openpty");
    master.reset(m);
    slave.reset(s);
    // A reader that stops reading must end the writer, not hang it.
    if (fcntl(m, F_SETFL, fcntl(m, F_GETFL) | O_NONBLOCK) != 0)
      throw std::system_error(errno, std::generic_category(), "fcntl");
  }
  common::UniqueFd master, slave;
  char slave_name[256]{};
};

// Write times of every byte of one run, by position in the stream, and what
// the reader made of them. The writer stamps bytes before writing them, so a
// byte can never be heard before its stamp is published.
class Stream {
 public:
  // Room for more than a 4800-baud line can carry, reserved up front so that
  // no reader pays for growing the log while it is measured.
  explicit Stream(int seconds) : written_at_(static_cast<size_t>(seconds + 1) * kBaud / 10) {
    delays_ms_.reserve(written_at_.size());
  }

  // Writer side: stamps the next `count` bytes; false when the log is full.
  bool Stamp(size_t count) {
    const size_t n = written_.load(std::memory_order_relaxed);
    if (n + count > written_at_.size()) return false;
    std::fill_n(written_at_.begin() + static_cast<std::ptrdiff_t>(n), count, Clock::now());
    written_.store(n + count, std::memory_order_release);
    return true;
  }

  // Reader side: the next `count` bytes were heard at `now`, in one wake-up.
  void Heard(Clock::time_point now, size_t count) {
    ++wakeups_;
    const size_t stamped = written_.load(std::memory_order_acquire);
    for (size_t i = 0; i < count && heard_ < stamped; ++i) delays_ms_.push_back(Millis(now - written_at_[heard_++]));
  }

  size_t written() const { return written_.load(); }
  size_t heard() const { return heard_; }
  long wakeups() const { return wakeups_; }
  std::vector<double>& delays_ms() { return delays_ms_; }

 private:
  std::vector<Clock::time_point> written_at_;
  std::atomic<size_t> written_{0};
  size_t heard_ = 0;
  long wakeups_ = 0;
  std::vector<double> delays_ms_;
};

// How the line hands the stream over: `chunk` bytes per write, or (0) one
// sentence per write.
struct Pattern {
  int chunk;
  std::string Name() const { return chunk == 0 ? "sentences" : std::to_string(chunk) + " B/write"; }
  // Length of the write that starts at `first` in `burst`.
  size_t WriteLength(const std::string& burst, size_t first) const {
    if (chunk > 0) return std::min(static_cast<size_t>(chunk), burst.size() - first);
    const size_t end = burst.find('\n', first);
    return end == std::string::npos ? burst.size() - first : end + 1 - first;
  }
};

// CPU time and context switches of one thread, a process, or what was spent
// between two readings of them.
struct Cost {
  double cpu_seconds = 0;
  long voluntary = 0, involuntary = 0;
  Cost operator-(const Cost& o) const {
    return {cpu_seconds - o.cpu_seconds, voluntary - o.voluntary, involuntary - o.involuntary};
  }
};

Cost CostOf(int who, clockid_t clock) {
  rusage usage{};
  getrusage(who, &usage);
  return {CpuSeconds(clock), usage.ru_nvcsw, usage.ru_nivcsw};
}

// Another process: its CPU clock and the switches of each of its threads.
Cost CostOfProcess(pid_t pid) {
  Cost cost;
  clockid_t clock{};
  if (clock_getcpuclockid(pid, &clock) == 0) cost.cpu_seconds = CpuSeconds(clock);
  std::error_code ignored;
  for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ignored)) {
    std::ifstream status(task.path() / "status");
    std::string key;
    long value = 0;
    while (status >> key) {
      if (key == "voluntary_ctxt_switches:" && status >> value) cost.voluntary += value;
      if (key == "nonvoluntary_ctxt_switches:" && status >> value) cost.involuntary += value;
    }
  }
  return cost;
}

// Plays `seconds` of sentences onto `master` from `start` in the pattern's
// writes, each as many byte times after the second's start as the bytes before
// its last one. Returns what this thread spent; counts the writes.
Cost PlayStream(int master, Pattern pattern, int seconds, Clock::time_point start, Stream& stream,
                const std::atomic<bool>& stop, std::atomic<bool>& failed, long& writes) {
  const Cost before = CostOf(RUSAGE_THREAD, CLOCK_THREAD_CPUTIME_ID);
  for (int s = 0; s < seconds && !stop && !failed; ++s) {
    const Clock::time_point second_start = start + std::chrono::seconds(s);
    const std::string burst = SecondOfSentences(s);
    size_t count = 0;
    for (size_t first = 0; first < burst.size() && !stop; first += count) {
      count = pattern.WriteLength(burst, first);
      std::this_thread::sleep_until(second_start + kByteTime * static_cast<long>(first + count - 1));
      if (!stream.Stamp(count) || ::write(master, burst.data() + first, count) != static_cast<ssize_t>(count)) {
        failed = true;
        break;
      }
      ++writes;
    }
  }
  return CostOf(RUSAGE_THREAD, CLOCK_THREAD_CPUTIME_ID) - before;
}

// One way of listening to the slave. Start and Stop lie outside the measured
// time; Listen returns at `end`.
class Reader {
 public:
  virtual ~Reader() = default;
  virtual std::string Name() const = 0;
  virtual void Start(Pty& pty, Stream& stream) = 0;
  virtual void Listen(Clock::time_point end) { std::this_thread::sleep_until(end); }
  virtual void Stop() = 0;
  // What the reader has spent so far, the writer thread's share included when
  // it runs in this process.
  virtual Cost Spent() { return CostOf(RUSAGE_SELF, CLOCK_PROCESS_CPUTIME_ID); }
  virtual bool InThisProcess() const { return true; }
  // Whether it tells the Stream when it hears bytes.
  virtual bool ReportsBytes() const { return true; }
};

// The floor: a thread asleep in poll() on the slave, set raw at 4800 baud as
// the port sets it, reading whatever is queued when woken.
class BaselineReader : public Reader {
 public:
  std::string Name() const override { return "baseline"; }
  void Start(Pty& pty, Stream& stream) override {
    termios tio{};
    if (tcgetattr(pty.slave.get(), &tio) != 0) throw std::system_error(errno, std::generic_category(), "tcgetattr");
    cfmakeraw(&tio);
    cfsetspeed(&tio, B4800);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(pty.slave.get(), TCSANOW, &tio) != 0)
      throw std::system_error(errno, std::generic_category(), "tcsetattr");
    if (const int error = serial::make_event_fd(stop_); error != 0)
      throw std::system_error(error, std::generic_category(), "eventfd");
    thread_ = std::thread([this, slave = pty.slave.get(), &stream] { Loop(slave, stream); });
  }
  void Stop() override {
    serial::signal_event_fd(stop_.get());
    thread_.join();
  }

 private:
  void Loop(int slave, Stream& stream) {
    pollfd fds[2] = {{slave, POLLIN, 0}, {stop_.get(), POLLIN, 0}};
    char buffer[4096];
    for (;;) {
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      const Clock::time_point now = Clock::now();
      if (fds[1].revents != 0) return;
      if ((fds[0].revents & POLLIN) == 0) return;  // hang-up or error: nothing more will come
      const ssize_t got = ::read(slave, buffer, sizeof buffer);
      if (got <= 0) return;
      stream.Heard(now, static_cast<size_t>(got));
    }
  }

  common::UniqueFd stop_;
  std::thread thread_;
};

// gpsd reading the slave (-b: never writes to it), serving no client (-n:
// reads all the same), on a loopback port of its own so that it cannot meet
// another instance.
class GpsdReader : public Reader {
 public:
  explicit GpsdReader(std::string path) : path_(std::move(path)) {}
  ~GpsdReader() override { End(); }
  std::string Name() const override { return "gpsd"; }
  void Start(Pty& pty, Stream&) override {
    const std::string port = std::to_string(FreeLoopbackPort());
    std::vector<std::string> args = {path_, "-N", "-n", "-b", "-S", port, pty.slave_name};
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    for (int fd : {0, 1, 2})
      posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    const int error = posix_spawn(&pid_, path_.c_str(), &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (error != 0) throw std::system_error(error, std::generic_category(), "gpsd");
    // Measure it once it holds the device and has settled.
    const Clock::time_point give_up = Clock::now() + std::chrono::seconds(5);
    while (!HoldsDevice(pty.slave_name)) {
      if (Clock::now() > give_up) throw std::runtime_error("gpsd did not open " + std::string(pty.slave_name));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  void Stop() override { End(); }
  Cost Spent() override { return CostOfProcess(pid_); }
  bool InThisProcess() const override { return false; }
  bool ReportsBytes() const override { return false; }

 private:
  static int FreeLoopbackPort() {
    common::UniqueFd s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (s.get() < 0 || ::bind(s.get(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(s.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
      throw std::system_error(errno, std::generic_category(), "loopback port");
    return ntohs(address.sin_port);
  }
  bool HoldsDevice(const std::string& device) const {
    std::error_code ignored;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid_) + "/fd", ignored))
      if (std::filesystem::read_symlink(fd.path(), ignored) == device) return true;
    return false;
  }
  void End() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

  std::string path_;
  pid_t pid_ = 0;
};

class PortReader : public Reader {
 public:
  std::string Name() const override { return "port"; }
  void Start(Pty& pty, Stream& stream) override {
    port_.SetPort(pty.slave_name);
    port_.SetBaudRate(serial::br4800);
    port_.OnRxChar = [&stream](serial::TCustomComPort* sender, int count) {
      const Clock::time_point now = Clock::now();
      std::string text;
      stream.Heard(now, static_cast<size_t>(sender->ReadText(text, count)));
    };
    port_.Open();
  }
  void Listen(Clock::time_point end) override {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
    // A coarse timer may fire 5 % early, cutting off the stream's last second.
    QTimer::singleShot(std::max(left, std::chrono::milliseconds(0)), Qt::PreciseTimer, QCoreApplication::instance(),
                       &QCoreApplication::quit);
    QCoreApplication::exec();
  }
  void Stop() override { port_.Close(); }

 private:
  serial::TComPort port_{serial::posix_serial_devices()};
};

struct Measurement {
  size_t written = 0;
  size_t heard = 0;
  long writes = 0;
  long wakeups = 0;
  size_t left_unread = 0;
  bool write_failed = false;
  double cpu_percent = 0;  // of one core, the writer's share taken out
  Cost spent;              // the same, and its context switches
  bool has_delays = false;
  double median_ms = 0, p95_ms = 0, max_ms = 0;

  bool HeardAll() const { return !write_failed && heard == written && left_unread == 0; }
  double PerWrite(long n) const { return writes > 0 ? static_cast<double>(n) / static_cast<double>(writes) : 0; }
};

Measurement Measure(Reader& reader, Pattern pattern, int seconds) {
  Pty pty;
  Stream stream(seconds);
  reader.Start(pty, stream);

  std::atomic<bool> stop{false}, failed{false};
  Cost writer_spent;
  Measurement m;
  const Cost before = reader.Spent();
  const Clock::time_point start = Clock::now();
  std::thread writer(
      [&] { writer_spent = PlayStream(pty.master.get(), pattern, seconds, start, stream, stop, failed, m.writes); });
  reader.Listen(start + std::chrono::seconds(seconds) + kDrainTime);
  stop = true;
  writer.join();
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  m.spent = reader.Spent() - before;
  if (reader.InThisProcess()) m.spent = m.spent - writer_spent;
  m.cpu_percent = 100.0 * m.spent.cpu_seconds / wall;
  int unread = 0;
  if (::ioctl(pty.slave.get(), FIONREAD, &unread) == 0) m.left_unread = static_cast<size_t>(unread);
  reader.Stop();

  m.written = stream.written();
  m.heard = reader.ReportsBytes() ? stream.heard() : m.written - m.left_unread;
  m.wakeups = stream.wakeups();
  m.write_failed = failed;
  std::vector<double>& delays = stream.delays_ms();
  if (!delays.empty()) {
    std::sort(delays.begin(), delays.end());
    auto at = [&](double q) { return delays[static_cast<size_t>(q * static_cast<double>(delays.size() - 1))]; };
    m.has_delays = true;
    m.median_ms = at(0.5);
    m.p95_ms = at(0.95);
    m.max_ms = delays.back();
  }
  return m;
}

// Every run of one reader on one pattern, and the one of median CPU that
// stands for them.
struct Result {
  Pattern pattern;
  std::string reader;
  std::vector<Measurement> runs;
  const Measurement& Median() const {
    std::vector<const Measurement*> sorted;
    for (const Measurement& m : runs) sorted.push_back(&m);
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->cpu_percent < b->cpu_percent; });
    return *sorted[(sorted.size() - 1) / 2];
  }
};

const Result* Find(const std::vector<Result>& results, const Result& like, const std::string& reader) {
  for (const Result& r : results)
    if (r.pattern.chunk == like.pattern.chunk && r.reader == reader) return &r;
  return nullptr;
}

std::string Ratio(double a, const Result* b) {
  if (!b || b->Median().cpu_percent <= 0) return "-";
  char text[16];
  std::snprintf(text, sizeof text, "%.2fx", a / b->Median().cpu_percent);
  return text;
}

void PrintTable(const std::vector<Result>& results, int seconds, int rounds) {
  std::printf(
      "\n%d s of 4800-baud NMEA per run, %d round(s), the run of median CPU shown; CPU in %% of one core;"
      "\nswitches (voluntary + involuntary) per write; delay from write to reader, ms\n\n",
      seconds, rounds);
  std::printf("%-11s | %-8s | %8s | %7s | %7s | %14s | %-23s\n", "pattern", "reader", "CPU", "÷ gpsd", "÷ base",
              "switches/write", "delay median / p95");
  std::printf("%.11s-+-%.8s-+-%.8s-+-%.7s-+-%.7s-+-%.14s-+-%.23s\n", "-------------", "----------", "----------",
              "---------", "---------", "----------------", "-------------------------");
  for (const Result& r : results) {
    const Measurement& m = r.Median();
    char switches[32], delay[32] = "-";
    std::snprintf(switches, sizeof switches, "%.2f + %.2f", m.PerWrite(m.spent.voluntary),
                  m.PerWrite(m.spent.involuntary));
    if (m.has_delays) std::snprintf(delay, sizeof delay, "%.3f / %.3f", m.median_ms, m.p95_ms);
    std::printf("%-11s | %-8s | %7.3f%% | %7s | %7s | %14s | %-23s\n", r.pattern.Name().c_str(), r.reader.c_str(),
                m.cpu_percent, Ratio(m.cpu_percent, Find(results, r, "gpsd")).c_str(),
                Ratio(m.cpu_percent, Find(results, r, "baseline")).c_str(), switches, delay);
  }
  if (rounds > 1) {
    std::printf("\n%-11s | %-8s | CPU of each round\n", "pattern", "reader");
    for (const Result& r : results) {
      std::printf("%-11s | %-8s |", r.pattern.Name().c_str(), r.reader.c_str());
      for (const Measurement& m : r.runs) std::printf(" %.3f%%", m.cpu_percent);
      std::printf("\n");
    }
  }
  std::printf("\n%-11s | %-8s | %8s | %8s | %7s | %8s | %10s\n", "pattern", "reader", "written", "heard", "writes",
              "wake-ups", "max delay");
  for (const Result& r : results) {
    const Measurement& m = r.Median();
    char wakeups[16] = "-", max_delay[16] = "-";
    if (m.has_delays) {
      std::snprintf(wakeups, sizeof wakeups, "%ld", m.wakeups);
      std::snprintf(max_delay, sizeof max_delay, "%.3f ms", m.max_ms);
    }
    std::printf("%-11s | %-8s | %8zu | %8zu | %7ld | %8s | %10s%s\n", r.pattern.Name().c_str(), r.reader.c_str(),
                m.written, m.heard, m.writes, wakeups, max_delay,
                m.write_failed ? "  (writer stopped: write failed or reader fell behind)" : "");
  }
}

int Usage() {
  std::fprintf(stderr,
               "usage: serial_event_latency [--chunk N | --sentences]... [--reader NAME]... [--repeat R] [SECONDS]\n"
               "  --chunk N    bytes per write, 1..%d\n"
               "  --sentences  one sentence per write\n"
               "               (default: --chunk 1 --sentences; repeat for several patterns)\n"
               "  --reader     baseline, gpsd or port (default: all three)\n"
               "  --repeat R   rounds of every pattern and reader (default 1)\n"
               "  SECONDS      length of each run (default 30)\n",
               kMaxChunk);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 30;
  int rounds = 1;
  std::vector<Pattern> patterns;
  std::vector<std::string> chosen;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--chunk") == 0) {
      if (++i == argc) return Usage();
      char* end = nullptr;
      const long chunk = std::strtol(argv[i], &end, 10);
      if (*end != '\0' || chunk < 1 || chunk > kMaxChunk) return Usage();
      patterns.push_back({static_cast<int>(chunk)});
    } else if (std::strcmp(argv[i], "--sentences") == 0) {
      patterns.push_back({0});
    } else if (std::strcmp(argv[i], "--reader") == 0) {
      if (++i == argc) return Usage();
      chosen.emplace_back(argv[i]);
    } else if (std::strcmp(argv[i], "--repeat") == 0) {
      if (++i == argc) return Usage();
      char* end = nullptr;
      const long value = std::strtol(argv[i], &end, 10);
      if (*end != '\0' || value < 1 || value > 100) return Usage();
      rounds = static_cast<int>(value);
    } else {
      char* end = nullptr;
      const long value = std::strtol(argv[i], &end, 10);
      if (*end != '\0' || value <= 0 || value > 24L * 3600) return Usage();
      seconds = static_cast<int>(value);
    }
  }
  if (patterns.empty()) patterns = {{1}, {0}};
  QCoreApplication app(argc, argv);
  // A gpsd that ends early must not end this program with it.
  ::signal(SIGPIPE, SIG_IGN);

  const std::string gpsd = GpsdPath();
  if (gpsd.empty()) std::fprintf(stderr, "gpsd is not installed: its column is skipped\n");
  auto wanted = [&](const char* name) {
    return chosen.empty() || std::find(chosen.begin(), chosen.end(), name) != chosen.end();
  };
  auto make_readers = [&] {
    std::vector<std::unique_ptr<Reader>> list;
    if (wanted("baseline")) list.push_back(std::make_unique<BaselineReader>());
    if (wanted("gpsd") && !gpsd.empty()) list.push_back(std::make_unique<GpsdReader>(gpsd));
    if (wanted("port")) list.push_back(std::make_unique<PortReader>());
    return list;
  };
  const size_t readers = make_readers().size();
  if (readers == 0) return Usage();
  std::fprintf(stderr, "%d round(s) x %zu pattern(s) x %zu reader(s) x %d s: about %.0f s\n", rounds, patterns.size(),
               readers, seconds,
               static_cast<double>(rounds) * static_cast<double>(patterns.size() * readers) * (seconds + 0.7));
  std::vector<Result> results;
  try {
    for (int round = 0; round < rounds; ++round) {
      size_t next = 0;
      for (Pattern pattern : patterns) {
        for (auto& reader : make_readers()) {
          if (round == 0) results.push_back({pattern, reader->Name(), {}});
          Result& result = results[next++];
          result.runs.push_back(Measure(*reader, pattern, seconds));
          std::fprintf(stderr, "%s %s: %.3f %%\n", pattern.Name().c_str(), reader->Name().c_str(),
                       result.runs.back().cpu_percent);
        }
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "serial_event_latency: %s\n", e.what());
    return 1;
  }
  PrintTable(results, seconds, rounds);
  for (const Result& r : results)
    for (const Measurement& m : r.runs)
      if (!m.HeardAll()) return 1;
  return 0;
}
