// The real program in a folder of its own: fed by the replay tool through a
// pseudo-terminal, the journal and the last-position file must hold exactly
// the fixes it was sent; started with arguments, it ignores them.
#include "program_run.h"

#include <csignal>
#include <cstdio>
#include <sys/wait.h>

using e2e::ProgramRun;
using e2e::read_file;
using e2e::spawn;
using e2e::wait_for;
namespace fs = std::filesystem;

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

// A drive north, one fix a second: minutes of latitude go 00.0000, 00.0100 ...
std::string sentence(int i) {
  char time[16], lat[32];
  std::snprintf(time, sizeof time, "1200%02d", i % 60);
  std::snprintf(lat, sizeof lat, "4500.%04d", i * 100);
  return std::string("$GPRMC,") + time + ",A," + lat + ",N,00600.0000,E,012.5,045.0,070126,,*00\r\n" +
         "$GPGGA," + time + "," + lat + ",N,00600.0000,E,1,08,0.9,100.0,M,47.0,M,,*47\r\n";
}

std::string journal_line(int i) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "07/01/2026\t12:00:%02d\t45\xB0 00' %04d\" N\t006\xB0 00' 0000\" E\t012 noeuds\r\n",
                i % 60, i * 100);
  return buf;
}

}  // namespace

TEST(LoggingRun, RecordsTheFixesItReceivesByteForByte) {
  if (!ProgramRun::possible()) GTEST_SKIP() << "needs to add a port link in /dev";
  ProgramRun run;
  std::string nmea;
  for (int i = 0; i < 40; ++i) nmea += sentence(i);
  run.start(nmea);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_TRUE(run.finish_after_records(3, 40)) << run.output();

  e2e::expect_records_among(run.journal(), journal_line, 40);
  EXPECT_EQ(read_file(run.root() / "last.txt"), "45.00\t006.00\n");

  const std::string settings = read_file(run.root() / "orvanta.INI");
  EXPECT_NE(settings.find("Connection auto=1\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("[Tracer]\r\n"), std::string::npos) << settings;
}

// The program takes no arguments: Qt's own options must not act either. An
// unknown platform would stop Qt at once; ignored, the program runs on and
// ends normally, saving its settings.
TEST(StartUp, ArgumentsAreIgnoredQtsOwnOptionsIncluded) {
  QTemporaryDir dir;
  const fs::path root = dir.path().toStdString();
  const fs::path program = root / "orvanta";
  fs::copy_file(ORVANTA_BINARY, program);
  {
    std::ofstream ini(root / "orvanta.INI", std::ios::binary);
    ini << "[Fichiers]\r\nFichier log 1=" << (root / "journal.txt").string() << "\r\nFichier log 2="
        << (root / "last.txt").string() << "\r\n[RS232]\r\nConnection auto=0\r\n";
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const pid_t app = spawn({"/usr/bin/setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time", program.string(),
                           "-platform", "no-such-platform", "-reverse", "-qwindowtitle", "Autre"},
                          root / "orvanta.out");
  int status = 0;
  const bool running = wait_for([&] { return catches_sigterm(app) || waitpid(app, &status, WNOHANG) == app; }, 20);
  kill(app, SIGTERM);
  waitpid(app, &status, 0);
  ASSERT_TRUE(running);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << read_file(root / "orvanta.out");
  EXPECT_NE(read_file(root / "orvanta.INI").find("[Tracer]\r\n"), std::string::npos) << read_file(root / "orvanta.out");
}
