// The replay tool feeding the device layer through a pty, as end-to-end runs use it.
#include "serial/posix/posix_device_opener.h"
#include "support/replay_tool.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace serial {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";

class ReplayToolRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing_support::ReplayTool::available()) GTEST_SKIP() << "nmea_replay not built";
    std::string pattern = (fs::temp_directory_path() / "orvanta-replay-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
  }
  void TearDown() override {
    if (!folder_.empty()) fs::remove_all(folder_);
  }

  testing_support::ReplayTool tool_;
  fs::path folder_;
};

TEST_F(ReplayToolRun, SendsTheSentencesPacedAndHangsUpWhenStopped) {
  std::ofstream(folder_ / "track.nmea") << "# recorded on the bench\n" << kRmc << "\n\n" << kGga << "\r\n";
  const std::string link = (folder_ / "gps").string();
  auto started = std::chrono::steady_clock::now();
  std::string path = tool_.start({(folder_ / "track.nmea").string(), "--loop", "--link", link, "--baud", "4800"});
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

  const int status = tool_.stop();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  uint32_t events = 0;
  EXPECT_EQ(device->wait_event(events), EIO);
}

// A capture played at --speed 4 on a fast line runs about four seconds of its
// sentences' time a second (wide bounds: a busy machine delays reads).
TEST_F(ReplayToolRun, PlaysACaptureInTheTimeItsSentencesCarry) {
  const fs::path capture = fs::path(ORVANTA_CAPTURES_DIR) / "quectel-l76k-nmea.log";
  if (!fs::exists(capture)) GTEST_SKIP() << "no receiver captures in " << ORVANTA_CAPTURES_DIR;
  const std::string path = tool_.start({capture.string(), "--baud", "1000000", "--speed", "4"});
  int error = 0;
  auto device = posix_serial_devices().open(path, error);
  ASSERT_TRUE(device) << error << " " << path;
  ASSERT_EQ(device->set_event_mask(EventBit::RxChar), 0);
  // (seconds since reading began, seconds of the day in the sentence)
  std::vector<std::pair<double, double>> fixes;
  std::string text;
  const auto begin = std::chrono::steady_clock::now();
  for (double now = 0; now < 2; now = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count()) {
    uint32_t events = 0;
    char buffer[4096];
    int done = 0;
    ASSERT_TRUE(device->wait_event(events) == 0 && device->read(buffer, sizeof buffer, done) == 0);
    text.append(buffer, done);
    for (size_t at; (at = text.find("RMC,")) != std::string::npos && text.size() >= at + 14; text.erase(0, at + 4)) {
      double h = 0, m = 0, sec = 0;
      std::sscanf(text.c_str() + at + 4, "%2lf%2lf%lf", &h, &m, &sec);
      fixes.emplace_back(now, h * 3600 + m * 60 + sec);
    }
  }
  ASSERT_GE(fixes.size(), 10u);
  const double pace = (fixes.back().second - fixes.front().second) / (fixes.back().first - fixes.front().first);
  EXPECT_GT(pace, 2.0);
  EXPECT_LT(pace, 8.0);
}

}  // namespace
}  // namespace serial
