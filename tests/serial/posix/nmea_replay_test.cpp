// The replay tool feeding the device layer through a pty, as end-to-end runs use it.
#include "serial/posix/posix_device_opener.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

extern char** environ;

namespace serial {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";

class ReplayTool : public ::testing::Test {
 protected:
  void SetUp() override {
    tool_ = fs::path(ORVANTA_TOOLS_DIR) / "nmea_replay";
    if (::access(tool_.c_str(), X_OK) != 0) GTEST_SKIP() << "nmea_replay not built";
    std::string pattern = (fs::temp_directory_path() / "orvanta-replay-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
  }
  void TearDown() override {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
    if (!folder_.empty()) fs::remove_all(folder_);
  }

  // Starts the tool and returns the path it prints.
  std::string start(const std::vector<std::string>& args) {
    int pipe_fds[2];
    EXPECT_EQ(::pipe(pipe_fds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
    std::vector<char*> argv{const_cast<char*>(tool_.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid_, tool_.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe_fds[1]);
    out_ = pipe_fds[0];
    std::string line;
    char c;
    pollfd p{out_, POLLIN, 0};
    while (::poll(&p, 1, 5000) == 1 && ::read(out_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }

  fs::path tool_;
  fs::path folder_;
  pid_t pid_ = -1;
  int out_ = -1;
};

TEST_F(ReplayTool, SendsTheSentencesPacedAndHangsUpWhenStopped) {
  std::ofstream(folder_ / "track.nmea") << "# recorded on the bench\n" << kRmc << "\n\n" << kGga << "\r\n";
  const std::string link = (folder_ / "gps").string();
  auto started = std::chrono::steady_clock::now();
  std::string path = start({(folder_ / "track.nmea").string(), "--loop", "--link", link, "--baud", "4800"});
  ASSERT_TRUE(path.starts_with("/dev/pts/")) << path;
  EXPECT_EQ(fs::read_symlink(link), path);

  int error = 0;
  auto device = posix_serial_devices().open(link, error);
  ASSERT_TRUE(device) << error;
  ASSERT_EQ(device->set_event_mask(EventBit::RxChar), 0);
  std::string received;
  const std::string cycle = kRmc + "\r\n" + kGga + "\r\n";
  while (received.find(cycle + kRmc) == std::string::npos && received.size() < 4096) {
    uint32_t events = 0;
    ASSERT_EQ(device->wait_event(events), 0);
    char buffer[512];
    int done = 0;
    ASSERT_EQ(device->read(buffer, sizeof buffer, done), 0);
    received.append(buffer, done);
  }
  EXPECT_NE(received.find(cycle + kRmc), std::string::npos) << received;
  // Never ahead of 4800 bits per second, ten bits a byte.
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  EXPECT_LE(received.size(), 480 * seconds + cycle.size());

  ASSERT_EQ(::kill(pid_, SIGTERM), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(pid_, &status, 0), pid_);
  pid_ = -1;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  uint32_t events = 0;
  EXPECT_EQ(device->wait_event(events), EIO);
}

}  // namespace
}  // namespace serial
