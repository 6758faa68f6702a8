// The real program copied into a temporary folder of its own with a settings
// file, fed by the replay tool through a pseudo-terminal named like a USB
// adapter in /dev.
#pragma once

#include "serial/com_select_text.h"
#include "serial/posix/dev_port_lister.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;

inline std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs `argv` with its standard output and error into `out`.
inline pid_t spawn(const std::vector<std::string>& argv, const fs::path& out) {
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

inline void stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
}

inline bool wait_for(const std::function<bool()>& done, int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

// Every 65-byte record of `journal` is whole and one of the `count` lines
// `sent(i)` gives.
inline void expect_records_among(const std::string& journal, const std::function<std::string(int)>& sent, int count) {
  ASSERT_EQ(journal.size() % 65, 0u) << journal;
  for (size_t at = 0; at < journal.size(); at += 65) {
    const std::string record = journal.substr(at, 65);
    bool found = false;
    for (int i = 0; i < count && !found; ++i) found = sent(i) == record;
    EXPECT_TRUE(found) << record;
  }
}

// One run: start() replays `nmea` in a loop and starts the program with a
// settings file that records every fix of its port to journal.txt and
// last.txt; finish() ends both as a user would (SIGTERM closes the main
// window, which saves the settings).
class ProgramRun {
 public:
  ~ProgramRun() { finish(); }

  static bool possible() { return geteuid() == 0 && access("/dev", W_OK) == 0; }

  // `settings` is added to the [RS232] section.
  void start(const std::string& nmea, const std::string& settings = {}) {
    const fs::path program = root() / "orvanta";
    fs::copy_file(ORVANTA_BINARY, program);
    std::ofstream(root() / "drive.nmea", std::ios::binary) << nmea;
    replay_ = spawn({std::string(ORVANTA_TOOLS_DIR) + "/nmea_replay", (root() / "drive.nmea").string(), "--loop",
                     "--link", link_},
                    root() / "replay.out");
    ASSERT_TRUE(wait_for([&] { return fs::is_symlink(link_); }, 10));

    // The settings pick the port by its place in the machine's port list.
    std::vector<std::string> ports;
    ASSERT_EQ(serial::posix_port_lister().list(ports), 0);
    serial::SortPortNames(ports);
    const auto found = std::find(ports.begin(), ports.end(), link_.substr(5));
    ASSERT_NE(found, ports.end());
    std::ofstream(root() / "orvanta.INI", std::ios::binary)
        << "[Fichiers]\r\nFichier log 1=" << (root() / "journal.txt").string() << "\r\nFichier log 2="
        << (root() / "last.txt").string() << "\r\n[Actions]\r\nIntervalle=3\r\nHeure auto=0\r\n"
        << "[RS232]\r\n" << settings << "Connection auto=1\r\nCOMM=" << (found - ports.begin()) << "\r\nVitesse=6\r\n";

    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app_ = spawn({"/usr/bin/setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time", program.string()},
                 root() / "orvanta.out");
  }

  void finish() {
    stop(std::exchange(app_, 0));
    stop(std::exchange(replay_, 0));
    std::error_code ec;
    fs::remove(link_, ec);
  }

  // Waits up to `seconds` for `records` whole records, then ends the run.
  bool finish_after_records(size_t records, int seconds) {
    const bool recorded = wait_for([&] { return journal().size() >= records * 65; }, seconds);
    finish();
    return recorded;
  }

  fs::path root() const { return dir_.path().toStdString(); }
  std::string journal() const { return read_file(root() / "journal.txt"); }
  std::string output() const { return read_file(root() / "orvanta.out"); }

 private:
  QTemporaryDir dir_;
  const std::string link_ = "/dev/ttyUSBorvanta" + std::to_string(getpid());
  pid_t replay_ = 0;
  pid_t app_ = 0;
};

}  // namespace e2e
