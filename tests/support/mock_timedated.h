// A mock systemd-timedated (python3-dbusmock's template) on a private bus of
// its own, so that setting the clock through timedated can be tested without
// the machine's system bus and without touching its clock. The program under
// test reaches it as its system bus through DBUS_SYSTEM_BUS_ADDRESS.
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
  // Starts a bus and the mock in `folder`; see ready().
  explicit MockTimedated(const std::filesystem::path& folder);
  ~MockTimedated();
  MockTimedated(const MockTimedated&) = delete;
  MockTimedated& operator=(const MockTimedated&) = delete;

  // False, with the reason, when dbus-daemon or dbusmock is missing.
  bool ready() const { return why_.empty(); }
  const std::string& why() const { return why_; }

  const std::string& address() const { return address_; }
  // The test's own connection to the bus.
  QDBusConnection bus() const;

  struct SetTimeCall {
    double at;         // when the mock took it, seconds since the epoch
    int64_t usec;      // the time asked for
    std::string rest;  // the other arguments, as the mock logs them
  };
  std::vector<SetTimeCall> set_time_calls() const;

  // From now on SetTime fails, as timedated's does while automatic
  // synchronisation is on.
  void refuse();

 private:
  std::filesystem::path log_;
  std::string address_;
  std::string why_;
  pid_t daemon_ = -1;
  pid_t mock_ = -1;
};

}  // namespace testing_support
