// The real program while its receiver is unplugged and plugged back in: the
// port closes by itself, nothing spins while the device is gone, and logging
// resumes by itself under automatic connection.
#include "program_run.h"

#include <thread>

using testing_support::drive_sentences;
using testing_support::only_drive_records;
using testing_support::read_file;
using namespace std::chrono_literals;

namespace {

class UnplugRun : public testing_support::ProgramRun {
 protected:
  std::string journal() const { return read_file(root / "journal.txt"); }
};

TEST_F(UnplugRun, LoggingPausesWithoutSpinningAndResumesByItself) {
  plug_in(drive_sentences(40));
  start_program();
  ASSERT_TRUE(wait_until([&] { return journal().size() >= 2 * 65; }, 40s)) << read_file(root / "orvanta.out");

  unplug();
  ASSERT_TRUE(wait_until([&] { return !program_holds_a_terminal(); }, 10s)) << "the port closes by itself";
  const std::string before = journal();
  // Measured from the close, over three retry cycles and more.
  const double cpu = program_cpu_seconds();
  std::this_thread::sleep_for(10s);
  const double cpu_while_gone = program_cpu_seconds() - cpu;
  EXPECT_LT(cpu_while_gone, 0.5) << "seconds of CPU in 10 s with the device gone";
  EXPECT_EQ(journal(), before) << "nothing recorded while unplugged";

  plug_in(drive_sentences(40));
  EXPECT_TRUE(wait_until([&] { return journal().size() >= before.size() + 2 * 65; }, 40s))
      << read_file(root / "orvanta.out");
  stop_program();
  const std::string after = journal();
  EXPECT_EQ(after.substr(0, before.size()), before) << "the records before the unplug stay as they were";
  EXPECT_TRUE(only_drive_records(after, 40));
  RecordProperty("cpu_seconds_while_gone", std::to_string(cpu_while_gone));
  std::printf("CPU while unplugged: %.3f s in 10 s\n", cpu_while_gone);
}

}  // namespace
