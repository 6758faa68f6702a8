// The real program, started in a folder of its own with a settings file, fed
// by the replay tool through a pseudo-terminal: the journal and the
// last-position file must hold exactly the fixes it was sent.
#include "program_run.h"

#include <string>

using testing_support::only_drive_records;
using testing_support::drive_sentences;
using testing_support::read_file;

namespace {

class LoggingRun : public testing_support::ProgramRun {};

TEST_F(LoggingRun, RecordsTheFixesItReceivesByteForByte) {
  plug_in(drive_sentences(40));
  start_program();
  const bool recorded = wait_until([&] { return read_file(root / "journal.txt").size() >= 3 * 65; },
                                   std::chrono::seconds(40));
  // A termination signal closes the main window as the user would: the cycle
  // in progress ends, the port closes and the settings are saved.
  stop_program();
  unplug();
  ASSERT_TRUE(recorded) << read_file(root / "orvanta.out");

  EXPECT_TRUE(only_drive_records(read_file(root / "journal.txt"), 40));
  EXPECT_EQ(read_file(root / "last.txt"), "45.00\t006.00\n");

  const std::string settings = read_file(root / "orvanta.INI");
  EXPECT_NE(settings.find("Connection auto=1\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("[Tracer]\r\n"), std::string::npos) << settings;
}

}  // namespace
