// How much the open port costs while a receiver talks, and how late the
// program hears of each byte, next to the least any reader pays for the same
// stream.
//
//   serial_event_latency [--chunk N]... [SECONDS]     (default: --chunk 1, 30 s)
//
// A writer thread plays synthetic NMEA sentences onto the master of a
// pseudo-terminal at the pace of a 4800-baud line: one second's sentences,
// then silence until the next second. `--chunk N` sets how the line hands them
// over: N bytes per write, one write every N byte times (10 bit times each).
// 1 is the worst case, every byte on its own; a UART's receive FIFO hands over
// 8-14 bytes per interrupt, a USB adapter what arrived since its last poll
// (1-16 ms apart, a 64-byte packet at most). Repeat the option to measure
// several patterns in one run.
//
// Each pattern is played twice, SECONDS each, to two readers of the slave:
//   baseline  one thread in a poll()+read() loop on the raw slave fd: no port
//             component, no hand-over to the GUI thread;
//   port      a TComPort configured as the main window configures it (4800 8N1,
//             all events, smThreadSync, OnRxChar reading the announced count),
//             opened on the slave through the real Linux device layer.
// So a run takes patterns x 2 x SECONDS. For each it measures the process CPU
// use with the writer thread's share taken out, and the delay from each byte's
// write on the master to the moment the reader hears of it (poll() returning;
// OnRxChar being entered). The delay starts when the line hands the byte to
// the system: the time it waited in a FIFO or adapter before is the line's.
#include "serial/com_port.h"
#include "serial/posix/event_fd.h"
#include "serial/posix/posix_device_opener.h"
#include "common/unique_fd.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>
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

// Plays `seconds` of sentences onto `master` from `start`, `chunk` bytes per
// write, each write as many byte times after the second's start as the bytes
// before it. Returns the CPU time this thread used.
double PlayStream(int master, int chunk, int seconds, Clock::time_point start, Stream& stream,
                  const std::atomic<bool>& stop, std::atomic<bool>& failed) {
  const double cpu_before = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  for (int s = 0; s < seconds && !stop; ++s) {
    const Clock::time_point second_start = start + std::chrono::seconds(s);
    const std::string burst = SecondOfSentences(s);
    for (size_t first = 0; first < burst.size() && !stop; first += static_cast<size_t>(chunk)) {
      std::this_thread::sleep_until(second_start + kByteTime * static_cast<long>(first));
      const size_t count = std::min(static_cast<size_t>(chunk), burst.size() - first);
      if (!stream.Stamp(count) || ::write(master, burst.data() + first, count) != static_cast<ssize_t>(count)) {
        failed = true;
        return CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpu_before;
      }
    }
  }
  return CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpu_before;
}

// One way of listening to the slave. Start and Stop lie outside the measured
// time; Listen returns at `end`.
class Reader {
 public:
  virtual ~Reader() = default;
  virtual void Start(Pty& pty, Stream& stream) = 0;
  virtual void Listen(Clock::time_point end) = 0;
  virtual void Stop() = 0;
};

// The floor: a thread asleep in poll() on the slave, set raw at 4800 baud as
// the port sets it, reading whatever is queued when woken.
class BaselineReader : public Reader {
 public:
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
  void Listen(Clock::time_point end) override { std::this_thread::sleep_until(end); }
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

class PortReader : public Reader {
 public:
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
  long wakeups = 0;
  bool write_failed = false;
  double cpu_percent = 0;  // of one core, the writer's share taken out
  double median_ms = 0, p95_ms = 0, max_ms = 0;
};

Measurement Measure(Reader& reader, int chunk, int seconds) {
  Pty pty;
  Stream stream(seconds);
  reader.Start(pty, stream);

  std::atomic<bool> stop{false}, failed{false};
  double writer_cpu = 0;
  const double cpu_before = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const Clock::time_point start = Clock::now();
  std::thread writer([&] { writer_cpu = PlayStream(pty.master.get(), chunk, seconds, start, stream, stop, failed); });
  reader.Listen(start + std::chrono::seconds(seconds) + kDrainTime);
  stop = true;
  writer.join();
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  Measurement m;
  m.cpu_percent = 100.0 * (CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu_before - writer_cpu) / wall;
  reader.Stop();

  m.written = stream.written();
  m.heard = stream.heard();
  m.wakeups = stream.wakeups();
  m.write_failed = failed;
  std::vector<double>& delays = stream.delays_ms();
  if (!delays.empty()) {
    std::sort(delays.begin(), delays.end());
    auto at = [&](double q) { return delays[static_cast<size_t>(q * static_cast<double>(delays.size() - 1))]; };
    m.median_ms = at(0.5);
    m.p95_ms = at(0.95);
    m.max_ms = delays.back();
  }
  return m;
}

struct Row {
  int chunk;
  Measurement baseline, port;
};

std::string PatternName(int chunk) { return std::to_string(chunk) + " B/write"; }

void PrintTable(const std::vector<Row>& rows, int seconds) {
  std::printf("\n%d s of 4800-baud NMEA per run; CPU in %% of one core; delay from write to reader, ms\n\n", seconds);
  std::printf("%-12s | %12s | %10s | %6s | %-23s | %-23s\n", "pattern", "baseline CPU", "port CPU", "ratio",
              "baseline median / p95", "port median / p95");
  std::printf("%.12s-+-%.12s-+-%.10s-+-%.6s-+-%.23s-+-%.23s\n", "------------", "------------", "------------",
              "------------", "-------------------------", "-------------------------");
  for (const Row& r : rows) {
    char ratio[16], base_delay[32], port_delay[32];
    if (r.baseline.cpu_percent > 0)
      std::snprintf(ratio, sizeof ratio, "%.1fx", r.port.cpu_percent / r.baseline.cpu_percent);
    else
      std::snprintf(ratio, sizeof ratio, "-");
    std::snprintf(base_delay, sizeof base_delay, "%.3f / %.3f", r.baseline.median_ms, r.baseline.p95_ms);
    std::snprintf(port_delay, sizeof port_delay, "%.3f / %.3f", r.port.median_ms, r.port.p95_ms);
    std::printf("%-12s | %11.3f%% | %9.3f%% | %6s | %-23s | %-23s\n", PatternName(r.chunk).c_str(),
                r.baseline.cpu_percent, r.port.cpu_percent, ratio, base_delay, port_delay);
  }
  std::printf("\n%-12s | %-8s | %8s | %8s | %8s | %10s\n", "pattern", "reader", "written", "heard", "wake-ups",
              "max delay");
  for (const Row& r : rows) {
    for (const auto& [name, m] : {std::pair{"baseline", &r.baseline}, std::pair{"port", &r.port}}) {
      std::printf("%-12s | %-8s | %8zu | %8zu | %8ld | %7.3f ms%s\n", PatternName(r.chunk).c_str(), name, m->written,
                  m->heard, m->wakeups, m->max_ms,
                  m->write_failed ? "  (writer stopped: write failed or reader fell behind)" : "");
    }
  }
}

int Usage() {
  std::fprintf(stderr,
               "usage: serial_event_latency [--chunk N]... [SECONDS]\n"
               "  --chunk N  bytes per write, 1..%d (default 1); repeat for several patterns\n"
               "  SECONDS    length of each run (default 30)\n",
               kMaxChunk);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 30;
  std::vector<int> chunks;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--chunk") == 0) {
      if (++i == argc) return Usage();
      char* end = nullptr;
      const long chunk = std::strtol(argv[i], &end, 10);
      if (*end != '\0' || chunk < 1 || chunk > kMaxChunk) return Usage();
      chunks.push_back(static_cast<int>(chunk));
    } else {
      char* end = nullptr;
      const long value = std::strtol(argv[i], &end, 10);
      if (*end != '\0' || value <= 0 || value > 24 * 3600) return Usage();
      seconds = static_cast<int>(value);
    }
  }
  if (chunks.empty()) chunks.push_back(1);
  QCoreApplication app(argc, argv);

  std::fprintf(stderr, "%zu pattern(s) x 2 readers x %d s: about %.0f s\n", chunks.size(), seconds,
               static_cast<double>(chunks.size()) * 2 * (seconds + 0.2));
  std::vector<Row> rows;
  try {
    for (int chunk : chunks) {
      Row row{chunk, {}, {}};
      BaselineReader baseline;
      row.baseline = Measure(baseline, chunk, seconds);
      std::fprintf(stderr, "%s baseline: %.3f %%\n", PatternName(chunk).c_str(), row.baseline.cpu_percent);
      PortReader port;
      row.port = Measure(port, chunk, seconds);
      std::fprintf(stderr, "%s port:     %.3f %%\n", PatternName(chunk).c_str(), row.port.cpu_percent);
      rows.push_back(row);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "serial_event_latency: %s\n", e.what());
    return 1;
  }
  PrintTable(rows, seconds);
  for (const Row& r : rows) {
    for (const Measurement* m : {&r.baseline, &r.port}) {
      if (m->write_failed || m->heard != m->written) return 1;
    }
  }
  return 0;
}
