// The real program, started in a folder of its own with a settings file, fed
// by the replay tool through a pseudo-terminal: the journal and the
// last-position file must hold exactly the fixes it was sent.
#include "serial/com_select_text.h"
#include "serial/posix/dev_port_lister.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The program and the replay tool take their time: look now and then.
bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds timeout) {
  return testing_support::WaitUntil(done, timeout, [] { std::this_thread::sleep_for(100ms); });
}

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

pid_t spawn(const std::vector<std::string>& argv, const fs::path& out) {
  pid_t pid = fork();
  if (pid == 0) {
    FILE* f = std::freopen(out.c_str(), "w", stdout);
    (void)f;
    dup2(fileno(stdout), 2);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

void stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
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
  if (geteuid() != 0 || access("/dev", W_OK) != 0) GTEST_SKIP() << "needs to add a port link in /dev";
  QTemporaryDir dir;
  const fs::path root = dir.path().toStdString();
  const fs::path program = root / "orvanta";
  fs::copy_file(ORVANTA_BINARY, program);

  {
    std::ofstream nmea(root / "drive.nmea", std::ios::binary);
    for (int i = 0; i < 40; ++i) nmea << sentence(i);
  }
  const std::string link = "/dev/ttyUSBorvanta" + std::to_string(getpid());
  pid_t replay = spawn({std::string(ORVANTA_TOOLS_DIR) + "/nmea_replay", (root / "drive.nmea").string(), "--loop",
                        "--link", link},
                       root / "replay.out");
  ASSERT_TRUE(WaitUntil([&] { return fs::is_symlink(link); }, 10s));

  // The settings pick the port by its place in the machine's port list.
  std::vector<std::string> ports;
  ASSERT_EQ(serial::posix_port_lister().list(ports), 0);
  serial::SortPortNames(ports);
  const auto found = std::find(ports.begin(), ports.end(), link.substr(5));
  ASSERT_NE(found, ports.end());
  {
    std::ofstream ini(root / "orvanta.INI", std::ios::binary);
    ini << "[Fichiers]\r\nFichier log 1=" << (root / "journal.txt").string() << "\r\nFichier log 2="
        << (root / "last.txt").string() << "\r\n[Actions]\r\nIntervalle=3\r\nHeure auto=0\r\n"
        << "[RS232]\r\nConnection auto=1\r\nCOMM=" << (found - ports.begin()) << "\r\nVitesse=6\r\n";
  }

  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  pid_t app = spawn({"/usr/bin/setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time", program.string()},
                    root / "orvanta.out");
  const bool recorded = WaitUntil([&] { return read_file(root / "journal.txt").size() >= 3 * 65; }, 40s);
  // A termination signal closes the main window as the user would: the cycle
  // in progress ends, the port closes and the settings are saved.
  stop(app);
  stop(replay);
  std::error_code ec;
  fs::remove(link, ec);
  ASSERT_TRUE(recorded) << read_file(root / "orvanta.out");

  // Every record is one of the fixes sent, whole.
  const std::string journal = read_file(root / "journal.txt");
  ASSERT_EQ(journal.size() % 65, 0u) << journal;
  for (size_t at = 0; at < journal.size(); at += 65) {
    const std::string record = journal.substr(at, 65);
    bool sent = false;
    for (int i = 0; i < 40 && !sent; ++i) sent = journal_line(i) == record;
    EXPECT_TRUE(sent) << record;
  }
  EXPECT_EQ(read_file(root / "last.txt"), "45.00\t006.00\n");

  const std::string settings = read_file(root / "orvanta.INI");
  EXPECT_NE(settings.find("Connection auto=1\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("[Tracer]\r\n"), std::string::npos) << settings;
}
