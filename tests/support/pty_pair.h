// A pseudo-terminal pair for device tests: the device under test opens the
// slave by its path; the test plays the far end on the master and inspects
// the line through its own slave descriptor.
#pragma once

#include "support/wait_until.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <string_view>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace serial::testing {

class PtyPair {
 public:
  PtyPair() {
    termios raw{};
    cfmakeraw(&raw);
    char name[128] = {};
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
      ADD_FAILURE() << "openpty failed";
      return;
    }
    path_ = name;
  }
  ~PtyPair() {
    close_master();
    if (slave_ >= 0) ::close(slave_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& path() const { return path_; }
  int slave() const { return slave_; }

  // The far end sends.
  void send(std::string_view bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Waits until the line discipline holds `count` bytes for the device (the
  // pty hands bytes over on a kernel worker, a little after send returns).
  void await_queued(int count) {
    int queued = 0;
    testing_support::WaitUntil([&] { return ::ioctl(slave_, FIONREAD, &queued) != 0 || queued >= count; });
    ASSERT_EQ(queued, count);
  }

  // What the far end received, waiting up to 5 s for `count` bytes.
  std::string receive(size_t count) {
    std::string got;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 100) != 1) continue;
      char buffer[256];
      ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
      if (n <= 0) break;
      got.append(buffer, static_cast<size_t>(n));
    }
    return got;
  }

  // The far end goes away, as an unplugged adapter does.
  void close_master() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

}  // namespace serial::testing
