// A mock systemd-timedated (python3-dbusmock's template) on a private bus, a
// program's system bus through DBUS_SYSTEM_BUS_ADDRESS=`address`: neither the
// machine's bus nor its clock is touched.
#pragma once

#include <QProcess>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct MockTimedated {
  explicit MockTimedated(const std::filesystem::path& folder);
  ~MockTimedated();
  // The SetTime calls so far, as the mock logs them:
  // "<when, in seconds since the epoch> SetTime <usec> <relative> <interactive>".
  std::vector<std::string> set_time_calls() const;

  std::string why_not;  // why it could not start, when it could not
  std::string address;
  std::filesystem::path log;
  QProcess bus, mock;
};

}  // namespace testing_support
