#include "mock_timedated.h"

#include "wait_until.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testing_support {

namespace {

constexpr const char* kPython = "/usr/bin/python3";  // Debian's, which has dbusmock
constexpr const char* kService = "org.freedesktop.timedate1";

// `system_bus`, when given, is the child's system bus.
pid_t start(std::vector<std::string> argv, const fs::path& out, const std::string& system_bus = {}) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (!system_bus.empty()) setenv("DBUS_SYSTEM_BUS_ADDRESS", system_bus.c_str(), 1);
    if (!std::freopen(out.c_str(), "w", stdout)) _exit(127);
    dup2(fileno(stdout), 2);
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

bool slowly_until(const std::function<bool()>& done) {
  return WaitUntil(done, std::chrono::seconds(15), [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
}

}  // namespace

MockTimedated::MockTimedated(const fs::path& folder) : log_(folder / "timedated.log") {
  if (access("/usr/bin/dbus-daemon", X_OK) != 0) {
    why_ = "dbus-daemon is not installed (Debian package dbus-daemon)";
  } else if (std::system((std::string(kPython) + " -c 'import dbusmock' 2>/dev/null").c_str()) != 0) {
    why_ = "dbusmock is not installed (Debian package python3-dbusmock)";
  }
  if (!why_.empty()) return;
  const fs::path socket = folder / "bus";
  address_ = "unix:path=" + socket.string();
  children_.push_back(start({"/usr/bin/dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + address_},
                            folder / "dbus-daemon.out"));
  if (!slowly_until([&] { return fs::exists(socket); })) {
    why_ = "dbus-daemon did not start";
    return;
  }
  children_.push_back(start({kPython, "-m", "dbusmock", "--template", "timedated", "-l", log_.string()},
                            folder / "dbusmock.out", address_));
  if (!slowly_until([&] { return bus().interface()->isServiceRegistered(kService).value(); }))
    why_ = "the mock timedated did not come up";
}

MockTimedated::~MockTimedated() {
  QDBusConnection::disconnectFromBus(QString::fromStdString(address_));
  for (auto child = children_.rbegin(); child != children_.rend(); ++child) {
    kill(*child, SIGTERM);
    waitpid(*child, nullptr, 0);
  }
}

QDBusConnection MockTimedated::bus() const {
  return QDBusConnection::connectToBus(QString::fromStdString(address_), QString::fromStdString(address_));
}

std::vector<MockTimedated::SetTimeCall> MockTimedated::set_time_calls() const {
  // Lines such as "1796663748.732 SetTime 1700000000123456 False False".
  std::vector<SetTimeCall> calls;
  std::ifstream log(log_);
  for (std::string line; std::getline(log, line);) {
    std::istringstream fields(line);
    SetTimeCall call{};
    std::string method;
    if (!(fields >> call.at >> method >> call.usec) || method != "SetTime") continue;
    std::getline(fields >> std::ws, call.rest);
    calls.push_back(call);
  }
  return calls;
}

void MockTimedated::refuse() {
  QDBusMessage add =
      QDBusMessage::createMethodCall(kService, "/org/freedesktop/timedate1", "org.freedesktop.DBus.Mock", "AddMethod");
  add << kService << "SetTime"
      << "xbb"
      << ""
      << "raise dbus.exceptions.DBusException('Automatic time synchronization is enabled', "
         "name='org.freedesktop.timedate1.AutomaticTimeSyncEnabled')";
  bus().call(add);
}

}  // namespace testing_support
