#include "serial/posix/dev_port_lister.h"

#include "common/unique_fd.h"
#include "support/pty_pair.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace serial {
namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "orvanta-dev-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }
  void add_file(const std::string& name) const { std::ofstream(path_ / name) << ""; }

 private:
  fs::path path_;
};

std::vector<std::string> sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// A fake tree's entries are plain files: they stand for device nodes, and
// only the ttyS* named in `uarts` have a UART behind them.
SerialNodeProbe files_as_nodes(const std::vector<std::string>& uarts) {
  return [uarts](const std::string& path, std::string_view name) {
    if (!fs::is_regular_file(path)) return false;
    return !name.starts_with("ttyS") || std::find(uarts.begin(), uarts.end(), name) != uarts.end();
  };
}

TEST(DevPortLister, ListsSerialTtyNamesThatAreNodesOrLinksToThem) {
  TempFolder dev;
  for (const char* name : {"ttyS0", "ttyS1", "ttyUSB0", "ttyACM3", "ttyAMA0", "ttyXRUSB1", "ttyGS0", "rfcomm0", "tnt1",
                           "tty1", "console", "sda", "ptmx", "xttyUSB0"}) {
    dev.add_file(name);
  }
  fs::create_symlink(dev.path() / "ttyUSB0", dev.path() / "ttyUSB7");  // udev's by-name link
  fs::create_symlink(dev.path() / "gone", dev.path() / "ttyUSB8");     // dangling
  fs::create_directory(dev.path() / "ttyUSB9");

  // A machine without consoles: this one's may bear any of those names.
  const SystemRoots no_consoles{dev.path().string(), dev.path().string()};
  DevPortLister lister(dev.path().string(), files_as_nodes({"ttyS1"}), no_consoles);
  std::vector<std::string> names{"stale"};
  ASSERT_EQ(lister.list(names), 0);
  EXPECT_EQ(sorted(names), (std::vector<std::string>{"rfcomm0", "tnt1", "ttyACM3", "ttyAMA0", "ttyGS0", "ttyS1",
                                                     "ttyUSB0", "ttyUSB7", "ttyXRUSB1"}));
}

// A console is left out before the probe looks at it, whichever way the
// kernel names it: its own consoles file, or the active console followed
// through tty0; a link to it goes too.
TEST(DevPortLister, LeavesOutTheSystemConsolesWithoutProbingThem) {
  TempFolder dev, sys, proc;
  for (const char* name : {"ttyS0", "ttyS1", "ttyUSB0", "ttyUSB1", "tty2"}) dev.add_file(name);
  fs::create_symlink(dev.path() / "ttyS1", dev.path() / "ttyACM0");
  fs::create_directories(sys.path() / "class/tty/console");
  fs::create_directories(sys.path() / "class/tty/tty0");
  std::ofstream(sys.path() / "class/tty/console/active") << "tty0 ttyS1\n";
  std::ofstream(sys.path() / "class/tty/tty0/active") << "tty2\n";
  std::ofstream(proc.path() / "consoles") << "ttyUSB0              -W- (EC  p a)  188:0\n";
  const SystemRoots roots{sys.path().string(), proc.path().string()};

  std::vector<std::string> probed;
  const SerialNodeProbe probe = [&](const std::string& path, std::string_view name) {
    probed.emplace_back(name);
    return files_as_nodes({"ttyS0"})(path, name);
  };
  DevPortLister lister(dev.path().string(), probe, roots);
  std::vector<std::string> names;
  ASSERT_EQ(lister.list(names), 0);
  EXPECT_EQ(sorted(names), (std::vector<std::string>{"ttyS0", "ttyUSB1"}));
  EXPECT_EQ(sorted(probed), (std::vector<std::string>{"ttyS0", "ttyUSB1"}));
  EXPECT_TRUE(SystemConsoles::read(roots).contains((dev.path() / "tty2").string())) << "tty0 followed";
}

TEST(DevPortLister, AnUnreadableRootGivesItsError) {
  DevPortLister lister("/nonexistent/dev");
  std::vector<std::string> names{"kept"};
  EXPECT_EQ(lister.list(names), ENOENT);
  EXPECT_EQ(names, std::vector<std::string>{"kept"});
}

TEST(DevPortLister, TheRealProbeWantsCharacterDevicesAndUartsBehindTtyS) {
  TempFolder dev;
  dev.add_file("ttyUSB0");
  fs::create_symlink("/dev/null", dev.path() / "ttyACM0");
  EXPECT_FALSE(is_present_serial_node((dev.path() / "ttyUSB0").string(), "ttyUSB0"));
  EXPECT_TRUE(is_present_serial_node((dev.path() / "ttyACM0").string(), "ttyACM0"));
  EXPECT_FALSE(is_present_serial_node((dev.path() / "missing").string(), "ttyUSB1"));
  // A ttyS* without a UART type of its own is no port.
  testing::PtyPair pty;
  EXPECT_FALSE(is_present_serial_node(pty.path(), "ttyS9"));
  EXPECT_TRUE(is_present_serial_node(pty.path(), "ttyUSB9"));

  DevPortLister lister(dev.path().string());
  std::vector<std::string> names;
  ASSERT_EQ(lister.list(names), 0);
  EXPECT_EQ(names, std::vector<std::string>{"ttyACM0"});
}

// Opening a UART raises DTR and RTS (and drops them on close, which resets
// some receivers), and fails while another program holds it: the probe asks
// the kernel's description of the port instead.
TEST(DevPortLister, TheRealProbeNeverOpensTheNode) {
  testing::PtyPair pty;
  common::UniqueFd watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  ASSERT_TRUE(watch);
  ASSERT_GE(::inotify_add_watch(watch.get(), pty.path().c_str(), IN_OPEN), 0);
  is_present_serial_node(pty.path(), "ttyS9");
  char event[sizeof(inotify_event) + NAME_MAX + 1];
  const ssize_t got = ::read(watch.get(), event, sizeof event);
  const int error = errno;
  EXPECT_LT(got, 0) << "the node was opened";
  EXPECT_EQ(error, EAGAIN);
}

TEST(DevPortLister, AMachinesFirstUartIsFoundByItsType) {
  std::ifstream type_file("/sys/class/tty/ttyS0/type");
  int type = -1;
  if (!(type_file >> type) || !fs::exists("/dev/ttyS0")) GTEST_SKIP() << "no ttyS0 here";
  EXPECT_EQ(is_present_serial_node("/dev/ttyS0", "ttyS0"), type != 0);
}

}  // namespace
}  // namespace serial
