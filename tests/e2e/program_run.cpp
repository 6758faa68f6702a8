#include "program_run.h"

#include "serial/com_select_text.h"
#include "serial/gpsd/gpsd_ports.h"
#include "serial/posix/dev_port_lister.h"
#include "support/wait_until.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testing_support {

pid_t spawn(const std::vector<std::string>& argv, const fs::path& out) {
  pid_t pid = fork();
  if (pid == 0) {
    FILE* f = std::freopen(out.c_str(), "w", stdout);
    (void)f;
    dup2(fileno(stdout), 2);
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

namespace {

void stop(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  pid = -1;
}

}  // namespace

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string with_checksum(const std::string& body) {
  unsigned sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

std::string drive_sentences(int fixes) {
  std::string nmea;
  for (int i = 0; i < fixes; ++i) {
    char time[16], lat[32];
    std::snprintf(time, sizeof time, "1200%02d", i % 60);
    std::snprintf(lat, sizeof lat, "4500.%04d", i * 100);
    nmea += with_checksum(std::string("GPRMC,") + time + ",A," + lat + ",N,00600.0000,E,012.5,045.0,070126,,") +
            with_checksum(std::string("GPGGA,") + time + "," + lat + ",N,00600.0000,E,1,08,0.9,100.0,M,47.0,M,,");
  }
  return nmea;
}

std::string drive_record(int i) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "07/01/2026\t12:00:%02d\t45\xB0 00' %04d\" N\t006\xB0 00' 0000\" E\t012 noeuds\r\n",
                i % 60, i * 100);
  return buf;
}

::testing::AssertionResult only_records_among(const std::string& journal, const std::function<std::string(int)>& record,
                                              int count) {
  if (journal.size() % 65 != 0) return ::testing::AssertionFailure() << "a record cut short: " << journal;
  for (size_t at = 0; at < journal.size(); at += 65) {
    const std::string found = journal.substr(at, 65);
    bool sent = false;
    for (int i = 0; i < count && !sent; ++i) sent = record(i) == found;
    if (!sent) return ::testing::AssertionFailure() << "not a fix that was sent: " << found;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult only_drive_records(const std::string& journal, int fixes) {
  return only_records_among(journal, drive_record, fixes);
}

void ProgramRun::SetUp() {
  if (geteuid() != 0 || access("/dev", W_OK) != 0) GTEST_SKIP() << "needs to add a port link in /dev";
  root = dir_.path().toStdString();
  fs::copy_file(ORVANTA_BINARY, root / "orvanta");
  link = "/dev/ttyUSBorvanta" + std::to_string(getpid());
}

void ProgramRun::TearDown() {
  stop_program();
  unplug();
}

void ProgramRun::plug_in(const std::string& nmea, long baud) {
  {
    std::ofstream out(root / "receiver.nmea", std::ios::binary);
    out << nmea;
  }
  replay = spawn({std::string(ORVANTA_TOOLS_DIR) + "/orvanta-nmea-replay", (root / "receiver.nmea").string(), "--loop",
                  "--baud", std::to_string(baud), "--link", link},
                 root / "replay.out");
  ASSERT_TRUE(wait_until([&] { return fs::is_symlink(link); }, std::chrono::seconds(10)));
}

void ProgramRun::unplug() {
  stop(replay);
  std::error_code ec;
  fs::remove(link, ec);
}

void ProgramRun::start_program(int interval, const std::string& rs232, const std::string& actions) {
  // The settings pick the port by its place in the machine's port list (a
  // local gpsd's included).
  serial::GpsdPortLister lister(serial::posix_port_lister());
  std::vector<std::string> ports;
  ASSERT_EQ(lister.list(ports), 0);
  serial::SortPortNames(ports);
  const auto found = std::find(ports.begin(), ports.end(), link.substr(5));
  ASSERT_NE(found, ports.end());
  {
    std::ofstream ini(root / "orvanta.INI", std::ios::binary);
    ini << "[Fichiers]\r\nFichier log 1=" << (root / "journal.txt").string()
        << "\r\nFichier log 2=" << (root / "last.txt").string() << "\r\n[Actions]\r\nIntervalle=" << interval << "\r\n"
        << actions << "[RS232]\r\n"
        << rs232 << "Connection auto=1\r\nCOMM=" << (found - ports.begin()) << "\r\nVitesse=6\r\n";
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  program = spawn({"/usr/bin/setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time", (root / "orvanta").string()},
                  root / "orvanta.out");
}

void ProgramRun::stop_program() { stop(program); }

bool ProgramRun::wait_until(const std::function<bool()>& done, std::chrono::seconds timeout) {
  return WaitUntil(done, timeout, [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); });
}

double ProgramRun::program_cpu_seconds() const {
  // Fields 14 and 15 of /proc/PID/stat, after the command name in brackets.
  const std::string stat = read_file("/proc/" + std::to_string(program) + "/stat");
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  long ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i)
    if (i >= 14) ticks += std::stol(field);
  return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool ProgramRun::program_holds(std::string_view what) const {
  std::error_code error;
  for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(program) + "/fd", error)) {
    if (std::filesystem::read_symlink(fd.path(), error).string().starts_with(what)) return true;
  }
  return false;
}

}  // namespace testing_support
