// The real program keeping time from a receiver that keeps time: with
// "Heure precise=1" the time it asks timedated (a mock, on a private bus) to
// set lands within 50 ms of the receiver's; with "Chrony=…" a chronyd of our
// own (-x: it never touches the clock) takes its samples as a reference clock.
// The program runs without CAP_SYS_TIME, so the machine's clock is never set.
#include "program_run.h"
#include "support/mock_timedated.h"
#include "support/wait_until.h"
#include "timed_receiver.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
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
  testing_support::TimedReceiver receiver(link, 0ms);
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

// chronyd with a configuration of its own: the SOCK reference clock, a command
// socket in the test folder, no NTP port, no command port.
class Chronyd {
 public:
  explicit Chronyd(const std::filesystem::path& folder) : folder_(folder) {
    std::ofstream(folder / "chrony.conf") << "refclock SOCK " << refclock().string() << " refid GPS\n"
                                          << "bindcmdaddress " << command().string() << "\n"
                                          << "cmdport 0\nport 0\npidfile " << (folder / "chronyd.pid").string() << "\n";
    // The folder of the command socket must be closed to others (0700).
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    pid_ =
        testing_support::spawn({"/usr/sbin/chronyd", "-x", "-d", "-u", "root", "-f", (folder / "chrony.conf").string()},
                               folder / "chronyd.out");
    testing_support::WaitUntil([&] { return std::filesystem::exists(command()); }, 10s,
                               [] { std::this_thread::sleep_for(50ms); });
  }
  ~Chronyd() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }

  bool running() const { return std::filesystem::exists(command()) && std::filesystem::exists(refclock()); }
  std::string log() const { return read_file(folder_ / "chronyd.out"); }
  std::filesystem::path refclock() const { return folder_ / "refclock.sock"; }
  std::filesystem::path command() const { return folder_ / "chronyd.sock"; }

  // The fields of the GPS source in `chronyc -c sources`: mode, state, name,
  // stratum, poll, reach, last reception, adjusted and measured offset, error.
  std::vector<std::string> gps_source() const {
    const std::string command_line = "/usr/bin/chronyc -h " + command().string() + " -c sources 2>&1";
    std::vector<std::string> fields;
    if (FILE* out = popen(command_line.c_str(), "r")) {
      char line[512];
      while (fgets(line, sizeof line, out)) {
        std::stringstream csv(line);
        std::vector<std::string> row;
        for (std::string f; std::getline(csv, f, ',');) row.push_back(f);
        if (row.size() >= 10 && row[2] == "GPS") fields = row;
      }
      pclose(out);
    }
    return fields;
  }

 private:
  std::filesystem::path folder_;
  pid_t pid_ = -1;
};

TEST_F(ClockRun, ChronydTakesTheSamplesAsAReferenceClock) {
  if (access("/usr/sbin/chronyd", X_OK) != 0 || access("/usr/bin/chronyc", X_OK) != 0)
    GTEST_SKIP() << "chrony is not installed (Debian package chrony)";
  const std::filesystem::path folder = root / "chrony";
  std::filesystem::create_directory(folder);
  Chronyd chronyd(folder);
  if (!chronyd.running()) GTEST_SKIP() << "chronyd could not start: " << chronyd.log();

  constexpr auto kDelay = 200ms;  // after the second that the sentence names
  testing_support::TimedReceiver receiver(link, kDelay);
  ASSERT_TRUE(receiver.ok());
  start_program(3, {}, "Heure auto=0\r\nChrony=" + chronyd.refclock().string() + "\r\n");

  std::vector<std::string> gps;
  const bool reached = wait_until(
      [&] {
        gps = chronyd.gps_source();
        return !gps.empty() && gps[5] != "0";
      },
      100s);
  stop_program();
  ASSERT_TRUE(reached) << chronyd.log() << read_file(root / "orvanta.out");

  // The sentences came 200 ms late: the local clock is that much ahead.
  const double offset = std::stod(gps[8]);
  std::printf("chronyd: reach %s, offset %+.3f s, error %.3f s\n", gps[5].c_str(), offset, std::stod(gps[9]));
  EXPECT_NEAR(offset, std::chrono::duration<double>(kDelay).count(), 0.050);
}

}  // namespace
