#include "serial/posix/dev_port_lister.h"

#include "serial/posix/unique_fd.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

namespace serial {
namespace {

constexpr std::string_view kSerialPrefixes[] = {"ttyS",     "ttyUSB", "ttyACM", "ttyAMA",
                                                "ttyXRUSB", "ttyGS",  "rfcomm", "tnt"};

bool has_uart(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) return false;
  serial_struct info{};
  return ::ioctl(fd.get(), TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
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
  return !name.starts_with("ttyS") || has_uart(path);
}

DevPortLister::DevPortLister(std::string root, SerialNodeProbe probe)
    : root_(std::move(root)), probe_(std::move(probe)) {}

int DevPortLister::list(std::vector<std::string>& names) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(root_.c_str()), ::closedir);
  if (!dir) return errno;
  std::vector<std::string> found;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (!entry) break;
    std::string_view name = entry->d_name;
    if (has_serial_tty_name(name) && probe_(root_ + "/" + entry->d_name, name)) found.emplace_back(name);
  }
  if (errno != 0) return errno;
  names = std::move(found);
  return 0;
}

DevPortLister& posix_port_lister() {
  static DevPortLister lister;
  return lister;
}

}  // namespace serial
