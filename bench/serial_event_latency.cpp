// How much the open port costs while a receiver talks, and how late the
// program hears of each byte.
//
//   serial_event_latency [SECONDS]     (default 30)
//
// Opens a TComPort, configured as the main window configures it (4800 8N1,
// all events, smThreadSync, OnRxChar reading the announced count), on the
// slave side of a pseudo-terminal, through the real Linux device layer. A
// writer thread plays synthetic NMEA sentences onto the master at the pace of
// a 4800-baud line: one second's sentences byte after byte, ten bit times
// apart, then silence until the next second. Prints the process CPU use
// (getrusage), with the writer's own share taken out, and the delay from each
// byte's write on the master to the OnRxChar that announced it (median, 95th
// percentile, maximum).
#include "serial/com_port.h"
#include "serial/posix/posix_device_opener.h"

#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBaud = 4800;
constexpr auto kByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / kBaud);

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

double CpuSeconds(const rusage& u) {
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(u.ru_utime) + seconds(u.ru_stime);
}

double Millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: serial_event_latency [SECONDS]\n");
    return 2;
  }
  QCoreApplication app(argc, argv);

  int master = -1, slave = -1;
  char slave_name[256];
  if (openpty(&master, &slave, slave_name, nullptr, nullptr) != 0) {
    std::perror("openpty");
    return 1;
  }

  // Write times of every byte the writer sends, by its position in the stream.
  const size_t capacity = static_cast<size_t>(seconds + 1) * kBaud / 10;
  std::vector<Clock::time_point> written_at(capacity);
  std::atomic<size_t> written{0};
  std::vector<double> delays_ms;
  delays_ms.reserve(capacity);
  size_t received = 0;
  long wakeups = 0;

  serial::TComPort port(serial::posix_serial_devices());
  port.SetPort(slave_name);
  port.SetBaudRate(serial::br4800);
  port.OnRxChar = [&](serial::TCustomComPort* sender, int count) {
    const Clock::time_point now = Clock::now();
    ++wakeups;
    std::string text;
    const int got = sender->ReadText(text, count);
    written.load(std::memory_order_acquire);
    for (int i = 0; i < got; ++i) delays_ms.push_back(Millis(now - written_at[received++]));
  };
  try {
    port.Open();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "open %s: %s\n", slave_name, e.what());
    return 1;
  }

  rusage start_usage{};
  getrusage(RUSAGE_SELF, &start_usage);
  const Clock::time_point start = Clock::now();
  std::atomic<bool> stop{false};
  rusage writer_usage{};
  std::thread writer([&] {
    rusage before{};
    getrusage(RUSAGE_THREAD, &before);
    for (int s = 0; s < seconds && !stop; ++s) {
      const Clock::time_point second_start = start + std::chrono::seconds(s);
      const std::string burst = SecondOfSentences(s);
      for (size_t i = 0; i < burst.size() && !stop; ++i) {
        std::this_thread::sleep_until(second_start + kByteTime * static_cast<long>(i));
        const size_t n = written.load(std::memory_order_relaxed);
        if (n == capacity) break;
        // Published before the write, so the byte can never be read first.
        written_at[n] = Clock::now();
        written.store(n + 1, std::memory_order_release);
        if (::write(master, &burst[i], 1) != 1) {
          stop = true;
          break;
        }
      }
    }
    rusage after{};
    getrusage(RUSAGE_THREAD, &after);
    writer_usage.ru_utime.tv_sec = after.ru_utime.tv_sec - before.ru_utime.tv_sec;
    writer_usage.ru_utime.tv_usec = after.ru_utime.tv_usec - before.ru_utime.tv_usec;
    writer_usage.ru_stime.tv_sec = after.ru_stime.tv_sec - before.ru_stime.tv_sec;
    writer_usage.ru_stime.tv_usec = after.ru_stime.tv_usec - before.ru_stime.tv_usec;
  });

  // Run the event loop for the stream's length plus time for the last bytes.
  QTimer::singleShot(std::chrono::seconds(seconds) + std::chrono::milliseconds(200), &app, &QCoreApplication::quit);
  app.exec();
  stop = true;
  writer.join();
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  rusage end_usage{};
  getrusage(RUSAGE_SELF, &end_usage);
  port.Close();
  ::close(slave);
  ::close(master);

  const double process_cpu = CpuSeconds(end_usage) - CpuSeconds(start_usage);
  const double writer_cpu = CpuSeconds(writer_usage);
  std::printf("stream: %zu bytes over %.1f s on %s (%d baud)\n", written.load(), wall, slave_name, kBaud);
  std::printf("announced: %zu bytes in %ld OnRxChar calls\n", received, wakeups);
  std::printf("cpu: %.3f %% of one core for the port (process %.3f %%, writer %.3f %%)\n",
              100.0 * (process_cpu - writer_cpu) / wall, 100.0 * process_cpu / wall, 100.0 * writer_cpu / wall);
  if (delays_ms.empty()) {
    std::printf("delay: no byte announced\n");
    return 1;
  }
  std::sort(delays_ms.begin(), delays_ms.end());
  auto at = [&](double q) { return delays_ms[static_cast<size_t>(q * (delays_ms.size() - 1))]; };
  std::printf("delay write -> OnRxChar: median %.3f ms, p95 %.3f ms, max %.3f ms\n", at(0.5), at(0.95),
              delays_ms.back());
  return 0;
}
