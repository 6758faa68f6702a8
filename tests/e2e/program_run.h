// The real program, run as a user runs it: a copy in a folder of its own with
// a settings file, the clock capability dropped, and a receiver played by the
// replay tool onto a pseudo-terminal named like a USB adapter in /dev (so it
// is in the port list; needs root).
#pragma once

#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace testing_support {

std::string read_file(const std::filesystem::path& p);

// Starts `argv` with its standard output and error into `out`.
pid_t spawn(const std::vector<std::string>& argv, const std::filesystem::path& out);

// "$" + body + "*" + its checksum + CR LF.
std::string with_checksum(const std::string& body);

// A drive north, one fix after another (RMC and GGA): minutes of latitude go
// 00.0000, 00.0100 ...; and the journal record of fix `i`.
std::string drive_sentences(int fixes);
std::string drive_record(int i);
// Whether `journal` is whole records, each one of `record(0)` .. `record(count - 1)`.
::testing::AssertionResult only_records_among(const std::string& journal, const std::function<std::string(int)>& record,
                                              int count);
// Whether `journal` is whole records of the first `fixes` fixes of the drive.
::testing::AssertionResult only_drive_records(const std::string& journal, int fixes);

class ProgramRun : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the receiver: `nmea` played in a loop at `baud`, under the link.
  void plug_in(const std::string& nmea, long baud = 4800);
  // Ends it: its pty hangs up and the link goes, as an unplugged adapter's do.
  void unplug();
  // Writes the settings file (the port is the link's entry of the port list,
  // automatic connection on, 4800 baud, recording on, clock setting off) with
  // `interval` seconds between records and `rs232` added to its [RS232]
  // section, then starts the program. A "Port=" in `rs232` wins over the
  // entry; `actions` stands for the clock setting in [Actions].
  void start_program(int interval = 3, const std::string& rs232 = {}, const std::string& actions = "Heure auto=0\r\n");
  // Ends the program as a termination signal does (the window closes).
  void stop_program();

  // Looks every tenth of a second.
  static bool wait_until(const std::function<bool()>& done, std::chrono::seconds timeout);
  // The program's CPU time so far (user and system), in seconds.
  double program_cpu_seconds() const;
  // Whether the program has a file open whose link in /proc starts with
  // `what` ("/dev/pts/" for its receiver's port, "socket:" for gpsd).
  bool program_holds(std::string_view what) const;

  std::filesystem::path root;
  std::string link;
  pid_t program = -1;
  pid_t replay = -1;

 private:
  QTemporaryDir dir_;
};

}  // namespace testing_support
