// The real program, without CAP_SYS_TIME, keeping time from a receiver 200 ms
// late: a chronyd of our own (-x: it never touches the clock) takes its
// samples, and with "Heure precise=1" the times it asks a mock timedated to
// set land within 50 ms of the receiver's.
#include "common/unique_fd.h"
#include "program_run.h"
#include "support/mock_timedated.h"
#include "support/test_daemons.h"

#include <csignal>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>

using namespace std::chrono;
using testing_support::read_file;
using testing_support::test_daemon;

namespace {

class ClockRun : public testing_support::ProgramRun {};

// The reach and measured offset (s) of the GPS source in chronyc's CSV: mode,
// state, name, stratum, poll, reach (octal), last reception, offsets, error.
std::pair<unsigned, double> gps_source(const std::filesystem::path& command_socket) {
  std::pair<unsigned, double> source{0, 0};
  FILE* out =
      popen((test_daemon("usr/bin/chronyc") + " -h " + command_socket.string() + " -c sources 2>&1").c_str(), "r");
  for (char line[512]; out && fgets(line, sizeof line, out);)
    std::sscanf(line, "%*c,%*c,GPS,%*d,%*d,%o,%*[^,],%*f,%lf", &source.first, &source.second);
  if (out) pclose(out);
  return source;
}

TEST_F(ClockRun, ChronydAndTimedatedTakeTheReceiversTime) {
  const std::string chronyd_binary = test_daemon("usr/sbin/chronyd");
  if (access(chronyd_binary.c_str(), X_OK) != 0) GTEST_SKIP() << testing_support::kNoTestDaemons;
  testing_support::MockTimedated timedated(root);
  if (!timedated.why_not.empty()) GTEST_SKIP() << timedated.why_not;
  // chronyd of our own: the SOCK reference clock, a command socket in a
  // folder closed to others (it insists), no NTP port, no command port.
  const std::filesystem::path folder = root / "chrony", refclock = folder / "refclock.sock",
                              command = folder / "chronyd.sock";
  std::filesystem::create_directory(folder);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  std::ofstream(folder / "chrony.conf") << "refclock SOCK " << refclock.string() << " refid GPS\nbindcmdaddress "
                                        << command.string() << "\ncmdport 0\nport 0\npidfile "
                                        << (folder / "chronyd.pid").string() << "\n";
  const pid_t chronyd = testing_support::spawn(
      {chronyd_binary, "-x", "-d", "-u", "root", "-f", (folder / "chrony.conf").string()}, folder / "chronyd.out");
  const bool started = wait_until([&] { return std::filesystem::exists(command); }, 10s);
  std::shared_ptr<void> stop_chronyd(nullptr, [chronyd](void*) {
    kill(chronyd, SIGTERM);
    waitpid(chronyd, nullptr, 0);
  });
  if (!started) GTEST_SKIP() << "chronyd could not start: " << read_file(folder / "chronyd.out");

  // The receiver sends only while the program holds the port (nothing stale
  // waits for it) and keeps no end of it open (it would look held).
  constexpr auto kDelay = 200ms;
  int master = -1, slave = -1;
  termios raw{};
  cfmakeraw(&raw);
  char name[128] = {};
  ASSERT_EQ(openpty(&master, &slave, name, &raw, nullptr), 0);
  const common::UniqueFd master_end(master);
  close(slave);
  std::filesystem::create_symlink(name, link);
  const std::jthread receiver([&](const std::stop_token& stop) {
    while (!stop.stop_requested()) {
      const auto second = floor<seconds>(system_clock::now() - kDelay) + 1s;
      std::this_thread::sleep_until(second + kDelay);
      if (!program_holds("/dev/pts/")) continue;
      const time_t t = system_clock::to_time_t(second);
      tm utc{};
      char body[96];
      strftime(body, sizeof body, "GPRMC,%H%M%S,A,4500.0000,N,00600.0000,E,012.5,045.0,%d%m%y,,", gmtime_r(&t, &utc));
      const std::string sentence = testing_support::with_checksum(body);
      if (write(master, sentence.data(), sentence.size()) < 0) return;
    }
  });

  setenv("DBUS_SYSTEM_BUS_ADDRESS", timedated.address.c_str(), 1);
  start_program(3, {}, "Heure auto=1\r\nHeure precise=1\r\nChrony=" + refclock.string() + "\r\n");
  unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  std::pair<unsigned, double> gps;
  const bool reached = wait_until(
      [&] { return (gps = gps_source(command)).first != 0 && timedated.set_time_calls().size() >= 4; }, 100s);
  stop_program();
  ASSERT_TRUE(reached) << read_file(folder / "chronyd.out") << read_file(root / "orvanta.out");

  // The local clock is 200 ms ahead of the receiver's (the sentence's plus its age).
  std::printf("chronyd: offset %+.3f s\n", gps.second);
  EXPECT_NEAR(gps.second, 0.200, 0.050);
  for (const std::string& call : timedated.set_time_calls()) {
    double at = 0, usec = 0;  // when timedated took it; what it was asked
    std::sscanf(call.c_str(), "%lf SetTime %lf", &at, &usec);
    std::printf("applied - local: %+.3f s\n", usec / 1e6 - at);
    EXPECT_NEAR(usec / 1e6 - at, -0.200, 0.050);
  }
}

}  // namespace
