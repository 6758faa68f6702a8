#include "serial/posix/dev_port_lister.h"

#include "serial/posix/posix_device_opener.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <linux/serial.h>
#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace serial {
namespace {

constexpr std::string_view kSerialPrefixes[] = {"ttyS",     "ttyUSB", "ttyACM", "ttyAMA",
                                                "ttyXRUSB", "ttyGS",  "rfcomm", "tnt"};

// The UART type the kernel publishes for the device (what TIOCGSERIAL would
// report), read from sysfs: opening the port to ask would raise DTR and RTS,
// drop them again on close (resetting some attached devices), and fail for a
// port another program holds.
bool has_uart(dev_t device) {
  const std::string type_path =
      "/sys/dev/char/" + std::to_string(major(device)) + ":" + std::to_string(minor(device)) + "/type";
  std::ifstream type_file(type_path);
  int type = PORT_UNKNOWN;
  return type_file >> type && type != PORT_UNKNOWN;
}

}  // namespace

bool has_serial_tty_name(std::string_view name) {
  for (std::string_view prefix : kSerialPrefixes) {
    if (name.starts_with(prefix)) return true;
  }
  return false;
}

bool is_present_serial_node(const std::string& path, std::string_view name) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return false;
  return !name.starts_with("ttyS") || has_uart(info.st_rdev);
}

DevPortLister::DevPortLister(std::string root, SerialNodeProbe probe, SystemRoots consoles)
    : root_(std::move(root)), probe_(std::move(probe)), consoles_(std::move(consoles)) {}

int DevPortLister::list(std::vector<std::string>& names) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(root_.c_str()), ::closedir);
  if (!dir) return errno;
  const SystemConsoles consoles = SystemConsoles::read(consoles_);
  std::vector<std::string> found;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (!entry) break;
    std::string_view name = entry->d_name;
    if (!has_serial_tty_name(name)) continue;
    const std::string path = root_ + "/" + entry->d_name;
    if (!consoles.contains(path) && probe_(path, name)) found.emplace_back(name);
  }
  if (errno != 0) return errno;
  names = std::move(found);
  return 0;
}

std::string DevPortLister::device_of(const std::string& port) {
  const std::string path = device_path(port, root_);
  std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), ::free);
  return resolved ? resolved.get() : path;
}

DevPortLister& posix_port_lister() {
  static DevPortLister lister;
  return lister;
}

}  // namespace serial
