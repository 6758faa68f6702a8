// The real program, started in a folder of its own with a settings file, fed
// by the replay tool through a pseudo-terminal: the journal and the
// last-position file must hold exactly the fixes it was sent; started with
// arguments, it ignores them.
#include "program_run.h"
#include "support/wait_until.h"

#include <csignal>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>

using testing_support::drive_sentences;
using testing_support::only_drive_records;
using testing_support::read_file;

namespace {

class LoggingRun : public testing_support::ProgramRun {};

TEST_F(LoggingRun, RecordsTheFixesItReceivesByteForByte) {
  plug_in(drive_sentences(40));
  start_program();
  const bool recorded =
      wait_until([&] { return read_file(root / "journal.txt").size() >= 3 * size_t{65}; }, std::chrono::seconds(40));
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

namespace {

// Whether the program has put its termination handler in place, so that a
// SIGTERM closes it as the user would.
bool catches_sigterm(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("SigCgt:")) return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
  }
  return false;
}

// The program takes no arguments: Qt's own options must not act either. An
// unknown platform would stop Qt at once; ignored, the program runs on and
// ends normally, saving its settings.
TEST(StartUp, ArgumentsAreIgnoredQtsOwnOptionsIncluded) {
  namespace fs = std::filesystem;
  QTemporaryDir dir;
  const fs::path root = dir.path().toStdString();
  const fs::path program = root / "orvanta";
  fs::copy_file(ORVANTA_BINARY, program);
  {
    std::ofstream ini(root / "orvanta.INI", std::ios::binary);
    ini << "[Fichiers]\r\nFichier log 1=" << (root / "journal.txt").string()
        << "\r\nFichier log 2=" << (root / "last.txt").string() << "\r\n[RS232]\r\nConnection auto=0\r\n";
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const pid_t app =
      testing_support::spawn({"/usr/bin/setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time", program.string(),
                              "-platform", "no-such-platform", "-reverse", "-qwindowtitle", "Autre"},
                             root / "orvanta.out");
  int status = 0;
  const bool running = testing_support::WaitUntil(
      [&] { return catches_sigterm(app) || waitpid(app, &status, WNOHANG) == app; }, std::chrono::seconds(20),
      [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); });
  kill(app, SIGTERM);
  waitpid(app, &status, 0);
  ASSERT_TRUE(running);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << read_file(root / "orvanta.out");
  EXPECT_NE(read_file(root / "orvanta.INI").find("[Tracer]\r\n"), std::string::npos) << read_file(root / "orvanta.out");
}

}  // namespace
