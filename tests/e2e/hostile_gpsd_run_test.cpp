// The real program reading a gpsd that never runs dry, or never ends a line:
// records keep coming from the one, nothing from the other, and either way
// a termination signal ends the program at once.
#include "program_run.h"
#include "support/fake_gpsd.h"

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>

using testing_support::drive_sentences;
using testing_support::FakeGpsd;
using testing_support::only_drive_records;
using testing_support::read_file;
using namespace std::chrono_literals;

namespace {

using HostileGpsdRun = testing_support::ProgramRun;

TEST_F(HostileGpsdRun, AFloodingGpsdNeitherStopsTheRecordsNorTheProgram) {
  plug_in(drive_sentences(1));  // the settings need a port in the list; Port= wins over it
  for (const auto mode : {FakeGpsd::Mode::Fast, FakeGpsd::Mode::EndlessLine}) {
    const bool fast = mode == FakeGpsd::Mode::Fast;
    SCOPED_TRACE(fast ? "fast" : "endless line");
    std::filesystem::remove(root / "journal.txt");
    FakeGpsd gpsd(mode, drive_sentences(40));
    start_program(3, "Port=" + gpsd.name() + "\r\n");
    const auto journal = [&] { return read_file(root / "journal.txt"); };
    if (fast)
      EXPECT_TRUE(wait_until([&] { return journal().size() >= 2 * size_t{65}; }, 40s))
          << read_file(root / "orvanta.out");
    else
      std::this_thread::sleep_for(7s);  // two cycles and more
    const auto asked = std::chrono::steady_clock::now();
    kill(program, SIGTERM);
    int status = 0;
    waitpid(program, &status, 0);
    program = -1;
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 3s) << "within 1 s on a machine at rest";
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_TRUE(fast ? only_drive_records(journal(), 40) : ::testing::AssertionResult(journal().empty()));
  }
}

}  // namespace
