// The real program keeping time from a receiver that keeps time: with
// "Heure precise=1" the time it asks timedated (a mock, on a private bus) to
// set lands within 50 ms of the receiver's; with "Chrony=…" a chronyd of our
// own (-x: it never touches the clock) takes its samples as a reference clock.
// The program runs without CAP_SYS_TIME, so the machine's clock is never set.
#include "program_run.h"
#include "support/mock_timedated.h"
#include "timed_receiver.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/wait.h>
#include <thread>

using namespace std::chrono_literals;
using testing_support::read_file;

namespace {

class ClockRun : public testing_support::ProgramRun {};

TEST_F(ClockRun, PreciseTimeLandsWithinFiftyMillisecondsOfTheReceiver) {
  testing_support::MockTimedated timedated(root);
  if (!timedated.ready()) GTEST_SKIP() << timedated.why();
  testing_support::TimedReceiver receiver(link, 0ms, [&] { return program_holds("/dev/pts/"); });
  ASSERT_TRUE(receiver.ok());

  setenv("DBUS_SYSTEM_BUS_ADDRESS", timedated.address().c_str(), 1);
  start_program(3, {}, "Heure auto=1\r\nHeure precise=1\r\n");
  unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  const bool set = wait_until([&] { return timedated.set_time_calls().size() >= 4; }, 40s);
  stop_program();
  ASSERT_TRUE(set) << read_file(root / "orvanta.out");

  // The receiver's time when timedated took the request is the real time then.
  double worst = 0;
  for (const auto& call : timedated.set_time_calls()) {
    const double error = static_cast<double>(call.usec) / 1e6 - call.at;
    std::printf("applied - receiver: %+.3f s\n", error);
    worst = std::max(worst, std::abs(error));
  }
  EXPECT_LT(worst, 0.050);
}

// The fields of the GPS source in `chronyc -c sources` on `command_socket`:
// mode, state, name, stratum, poll, reach, last reception, adjusted and
// measured offset, error.
std::vector<std::string> gps_source(const std::filesystem::path& command_socket) {
  std::vector<std::string> fields;
  if (FILE* out = popen(("/usr/bin/chronyc -h " + command_socket.string() + " -c sources 2>&1").c_str(), "r")) {
    for (char line[512]; fgets(line, sizeof line, out);) {
      std::vector<std::string> row;
      std::stringstream csv(line);
      for (std::string f; std::getline(csv, f, ',');) row.push_back(f);
      if (row.size() >= 10 && row[2] == "GPS") fields = row;
    }
    pclose(out);
  }
  return fields;
}

TEST_F(ClockRun, ChronydTakesTheSamplesAsAReferenceClock) {
  if (access("/usr/sbin/chronyd", X_OK) != 0 || access("/usr/bin/chronyc", X_OK) != 0)
    GTEST_SKIP() << "chrony is not installed (Debian package chrony)";
  // chronyd of our own: -x, the SOCK reference clock, a command socket in a
  // folder closed to others (it insists), no NTP port, no command port.
  const std::filesystem::path folder = root / "chrony", refclock = folder / "refclock.sock",
                              command = folder / "chronyd.sock";
  std::filesystem::create_directory(folder);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  std::ofstream(folder / "chrony.conf") << "refclock SOCK " << refclock.string() << " refid GPS\nbindcmdaddress "
                                        << command.string() << "\ncmdport 0\nport 0\npidfile "
                                        << (folder / "chronyd.pid").string() << "\n";
  const pid_t chronyd = testing_support::spawn(
      {"/usr/sbin/chronyd", "-x", "-d", "-u", "root", "-f", (folder / "chrony.conf").string()}, folder / "chronyd.out");
  const bool started = wait_until([&] { return std::filesystem::exists(command); }, 10s);
  std::shared_ptr<void> stop_chronyd(nullptr, [chronyd](void*) {
    kill(chronyd, SIGTERM);
    waitpid(chronyd, nullptr, 0);
  });
  if (!started) GTEST_SKIP() << "chronyd could not start: " << read_file(folder / "chronyd.out");

  constexpr auto kDelay = 200ms;  // after the second that the sentence names
  testing_support::TimedReceiver receiver(link, kDelay, [&] { return program_holds("/dev/pts/"); });
  ASSERT_TRUE(receiver.ok());
  start_program(3, {}, "Heure auto=0\r\nChrony=" + refclock.string() + "\r\n");
  std::vector<std::string> gps;
  const bool reached = wait_until(
      [&] {
        gps = gps_source(command);
        return !gps.empty() && gps[5] != "0";
      },
      100s);
  stop_program();
  ASSERT_TRUE(reached) << read_file(folder / "chronyd.out") << read_file(root / "orvanta.out");

  // The sentences came 200 ms late: the local clock is that much ahead.
  std::printf("chronyd: reach %s, offset %s s, error %s s\n", gps[5].c_str(), gps[8].c_str(), gps[9].c_str());
  EXPECT_NEAR(std::stod(gps[8]), std::chrono::duration<double>(kDelay).count(), 0.050);
}

}  // namespace
