#include "platform/linux/chrony_socket.h"

#include "common/unique_fd.h"

#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

using namespace std::chrono_literals;

namespace {

template <typename T>
T field(const char* message, size_t offset) {
  T value;
  std::memcpy(&value, message + offset, sizeof value);
  return value;
}

}  // namespace

// A socket in a test folder plays chronyd's; the message is read by the
// offsets of chrony's documented struct sock_sample (x86-64 and other LP64).
TEST(ChronySocket, SendsOneSampleADatagramAsChronydReadsIt) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("refclock.sock").toStdString();
  const common::UniqueFd chronyd(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(bind(chronyd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

  platform::ChronySocket sink;
  const platform::TimeSample sample{platform::UtcInstant(1'700'000'000'250ms), -1234ms};
  EXPECT_TRUE(sink.send(path, sample));
  char message[64];
  ASSERT_EQ(recv(chronyd.get(), message, sizeof message, MSG_DONTWAIT), 40);
  EXPECT_EQ(field<int64_t>(message, 0), 1'700'000'000);  // tv_sec
  EXPECT_EQ(field<int64_t>(message, 8), 250'000);        // tv_usec
  EXPECT_DOUBLE_EQ(field<double>(message, 16), -1.234);  // offset
  EXPECT_EQ(field<int32_t>(message, 24), 0);             // pulse
  EXPECT_EQ(field<int32_t>(message, 28), 0);             // leap
  EXPECT_EQ(field<int32_t>(message, 36), 0x534f434b);    // magic

  // No chronyd, or a path no socket can have: nothing sent, nothing waits.
  EXPECT_FALSE(sink.send(dir.filePath("none").toStdString(), sample));
  EXPECT_FALSE(sink.send(std::string(200, 'x'), sample));
}
