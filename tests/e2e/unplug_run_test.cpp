// The real program while its receiver is unplugged and plugged back in: the
// port closes by itself, nothing spins while the device is gone, and logging
// resumes by itself under automatic connection.
// The same through a gpsd of the test's own, stopped and started on the pty.
#include "program_run.h"
#include "serial/gpsd/gpsd_connection.h"
#include "support/loopback_listener.h"
#include "support/test_daemons.h"

#include <csignal>
#include <sys/wait.h>
#include <thread>

using testing_support::drive_sentences;
using testing_support::only_drive_records;
using testing_support::read_file;
using namespace std::chrono_literals;

namespace {

const std::string kGpsd = testing_support::test_daemon("usr/sbin/gpsd");

// The parameter: through gpsd.
class UnplugRun : public testing_support::ProgramRun, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    ProgramRun::SetUp();
    if (IsSkipped() || !GetParam()) return;
    if (access(kGpsd.c_str(), X_OK) != 0) GTEST_SKIP() << testing_support::kNoTestDaemons;
    gpsd_port_ = testing_support::LoopbackListener().port;  // free once the listener goes
    plug_in(drive_sentences(40));                           // for the whole test; gpsd comes and goes on it
  }
  void TearDown() override {
    ProgramRun::TearDown();
    receiver_goes();
  }

  void receiver_comes() {
    if (!GetParam()) return plug_in(drive_sentences(40));
    gpsd_ = testing_support::spawn(
        {kGpsd, "-N", "-n", "-b", "-S", gpsd_port_, "-F", (root / "gpsd.sock").string(), link}, root / "gpsd.out");
    if (!wait_until([&] { return serial::gpsd_answers({"127.0.0.1", gpsd_port_}, 100ms); }, 10s))
      GTEST_SKIP() << "gpsd did not start: " << read_file(root / "gpsd.out");
  }
  void receiver_goes() {
    if (!GetParam()) return unplug();
    if (gpsd_ > 0) kill(gpsd_, SIGTERM), waitpid(gpsd_, nullptr, 0);
    gpsd_ = -1;
  }
  std::string journal() const { return read_file(root / "journal.txt"); }

  std::string gpsd_port_;
  pid_t gpsd_ = -1;
};

TEST_P(UnplugRun, LoggingPausesWithoutSpinningAndResumesByItself) {
  receiver_comes();
  if (IsSkipped()) return;
  start_program(3, GetParam() ? "Port=gpsd://127.0.0.1:" + gpsd_port_ + "\r\n" : "");
  ASSERT_TRUE(wait_until([&] { return journal().size() >= 2 * size_t{65}; }, 40s)) << read_file(root / "orvanta.out");

  receiver_goes();
  ASSERT_TRUE(wait_until([&] { return !program_holds(GetParam() ? "socket:" : "/dev/pts/"); }, 10s))
      << "the port closes by itself";
  const std::string before = journal();
  // Measured from the close, over three retry cycles and more.
  const double cpu = program_cpu_seconds();
  std::this_thread::sleep_for(10s);
  const double cpu_while_gone = program_cpu_seconds() - cpu;
  EXPECT_LT(cpu_while_gone, 0.5) << "seconds of CPU in 10 s with the device gone";
  EXPECT_EQ(journal(), before) << "nothing recorded while unplugged";

  receiver_comes();
  EXPECT_TRUE(wait_until([&] { return journal().size() >= before.size() + 2 * size_t{65}; }, 40s))
      << read_file(root / "orvanta.out");
  stop_program();
  const std::string after = journal();
  EXPECT_EQ(after.substr(0, before.size()), before) << "the records before the unplug stay as they were";
  EXPECT_TRUE(only_drive_records(after, 40));
  EXPECT_TRUE(!GetParam() || read_file(root / "orvanta.INI").find("Port=gpsd://127.0.0.1:") != std::string::npos);
  RecordProperty("cpu_seconds_while_gone", std::to_string(cpu_while_gone));
  std::printf("CPU while unplugged: %.3f s in 10 s\n", cpu_while_gone);
}

INSTANTIATE_TEST_SUITE_P(Receivers, UnplugRun, ::testing::Bool(),
                         [](const auto& p) { return std::string(p.param ? "Gpsd" : "SerialPort"); });

}  // namespace
