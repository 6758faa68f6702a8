// A hostile gpsd of the test's own on a loopback port, served by a thread of
// the test: it greets each client as gpsd does, then behaves as its mode says.
// One client at a time; the next is accepted when one leaves.
#pragma once

#include "common/unique_fd.h"
#include "support/loopback_listener.h"

#include <atomic>
#include <cerrno>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>

namespace testing_support {

class FakeGpsd {
 public:
  enum class Mode {
    Fast,                // `text` (sentences, reports quoting them) again and again, at full speed
    EndlessLine,         // a report line that never ends
    ResetAfterGreeting,  // the connection reset (RST) once the client has asked for sentences
  };

  explicit FakeGpsd(Mode mode, std::string text = {}) : mode_(mode), text_(std::move(text)) {
    if (mode_ == Mode::EndlessLine) text_ = std::string(4096, 'x');
    thread_ = std::thread([this] { serve(); });
  }
  ~FakeGpsd() {
    stop_ = true;
    thread_.join();
  }
  std::string name() const { return "gpsd://127.0.0.1:" + listener_.port; }
  const std::string& port() const { return listener_.port; }

 private:
  // Waits for `events` while the test runs; false once it ends.
  bool ready(int fd, short events) const {
    while (!stop_) {
      pollfd p{fd, events, 0};
      if (::poll(&p, 1, 20) > 0) return true;
    }
    return false;
  }
  bool send_all(int fd, const std::string& bytes) const {
    for (size_t at = 0; at < bytes.size();) {
      if (!ready(fd, POLLOUT)) return false;
      const ssize_t sent = ::send(fd, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (sent < 0 && errno != EAGAIN && errno != EINTR) return false;
      if (sent > 0) at += static_cast<size_t>(sent);
    }
    return true;
  }
  void serve() {
    while (ready(listener_.fd.get(), POLLIN)) {
      common::UniqueFd client(::accept4(listener_.fd.get(), nullptr, nullptr, SOCK_CLOEXEC));
      if (!client) continue;
      if (!send_all(client.get(), "{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n")) continue;
      switch (mode_) {
        case Mode::ResetAfterGreeting: {
          if (!ready(client.get(), POLLIN)) break;  // the client's request came: it has opened
          const linger reset{1, 0};
          ::setsockopt(client.get(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
          break;
        }
        case Mode::EndlessLine:
          if (!send_all(client.get(), "{\"class\":\"DEVICE\",\"path\":\"")) break;
          [[fallthrough]];
        case Mode::Fast:
          while (send_all(client.get(), text_)) {
          }
          break;
      }
    }
  }

  const Mode mode_;
  std::string text_;
  LoopbackListener listener_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

}  // namespace testing_support
