#include "mock_timedated.h"

#include "wait_until.h"

#include <fstream>
#include <thread>
#include <unistd.h>

namespace testing_support {

namespace {

void start(QProcess& process, const QStringList& argv) {
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  process.start(argv[0], argv.mid(1));
}

bool appears(const std::filesystem::path& file) {
  return WaitUntil([&] { return std::filesystem::exists(file); }, std::chrono::seconds(15),
                   [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
}

}  // namespace

// The mock opens its log once it holds timedated's name; calls made from then
// on wait on the bus until it serves them.
MockTimedated::MockTimedated(const std::filesystem::path& folder)
    : address("unix:path=" + (folder / "bus").string()), log(folder / "timedated.log") {
  // Debian's python3, which has dbusmock.
  if (access("/usr/bin/dbus-daemon", X_OK) != 0 || std::system("/usr/bin/python3 -c 'import dbusmock' 2>/dev/null")) {
    why_not = "needs dbus-daemon and python3-dbusmock (Debian packages)";
    return;
  }
  const QString on = QString::fromStdString(address);
  start(bus, {"/usr/bin/dbus-daemon", "--session", "--nofork", "--address=" + on});
  if (appears(folder / "bus"))
    start(mock, {"/usr/bin/env", "DBUS_SYSTEM_BUS_ADDRESS=" + on, "/usr/bin/python3", "-m", "dbusmock", "--template",
                 "timedated", "-l", QString::fromStdString(log.string())});
  if (!appears(log)) why_not = "the mock timedated did not come up";
}

MockTimedated::~MockTimedated() {
  for (QProcess* child : {&mock, &bus}) {
    child->terminate();
    child->waitForFinished();
  }
}

std::vector<std::string> MockTimedated::set_time_calls() const {
  std::vector<std::string> calls;
  std::ifstream in(log);
  for (std::string line; std::getline(in, line);)
    if (line.find(" SetTime ") != std::string::npos) calls.push_back(line);
  return calls;
}

}  // namespace testing_support
