// A mock systemd-timedated (python3-dbusmock's template) on a private bus of
// its own: setting the clock through timedated is tested without the
// machine's system bus or clock. A program reaches it as its system bus
// through DBUS_SYSTEM_BUS_ADDRESS.
#pragma once

#include <QDBusConnection>
#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testing_support {

class MockTimedated {
 public:
  // Starts the bus and the mock in `folder`; ready() is false, with the
  // reason in why(), when dbus-daemon or dbusmock is missing.
  explicit MockTimedated(const std::filesystem::path& folder);
  ~MockTimedated();

  bool ready() const { return why_.empty(); }
  const std::string& why() const { return why_; }
  const std::string& address() const { return address_; }
  QDBusConnection bus() const;

  struct SetTimeCall {
    double at;         // when the mock took it, seconds since the epoch
    int64_t usec;      // the time asked for
    std::string rest;  // the other arguments, as the mock logs them
  };
  std::vector<SetTimeCall> set_time_calls() const;

  // From now on SetTime fails, as it does while automatic synchronisation is on.
  void refuse();

 private:
  std::filesystem::path log_;
  std::string address_;
  std::string why_;
  std::vector<pid_t> children_;
};

}  // namespace testing_support
