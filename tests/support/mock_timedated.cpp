#include "mock_timedated.h"

#include "wait_until.h"

#include <csignal>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testing_support {

namespace {

pid_t start(std::vector<std::string> argv) {
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (std::string& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  pid_t pid = -1;
  return posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) == 0 ? pid : -1;
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
  children.push_back(start({"/usr/bin/dbus-daemon", "--session", "--nofork", "--address=" + address}));
  if (appears(folder / "bus"))
    children.push_back(start({"/usr/bin/env", "DBUS_SYSTEM_BUS_ADDRESS=" + address, "/usr/bin/python3", "-m",
                              "dbusmock", "--template", "timedated", "-l", log.string()}));
  if (!appears(log)) why_not = "the mock timedated did not come up";
}

MockTimedated::~MockTimedated() {
  for (const pid_t child : children) {
    if (child <= 0) continue;
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
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
