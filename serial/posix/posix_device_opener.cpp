#include "serial/posix/posix_device_opener.h"

#include "common/unique_fd.h"
#include "serial/posix/line_settings.h"
#include "serial/posix/posix_serial_device.h"
#include "serial/posix/tty_holders.h"
#include "serial/serial_log.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <string_view>
#include <strings.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

namespace serial {
namespace {

// The number n of a "COMn" name, or 0 when the name is not one.
unsigned com_number(const std::string& port) {
  if (port.size() < 4 || strncasecmp(port.c_str(), "COM", 3) != 0 || port[3] == '0') return 0;
  unsigned n = 0;
  const char* end = port.data() + port.size();
  auto [stop, error] = std::from_chars(port.data() + 3, end, n);
  return error == std::errc() && stop == end ? n : 0;
}

// Whether the kernel files the character device under its ttys, told by
// sysfs without opening it (an open alone sets some devices going: a
// watchdog). Devices sysfs does not describe (ptys) are told by the open.
bool sysfs_says_not_a_tty(dev_t device, const std::string& sys) {
  char link[4096];
  const std::string subsystem =
      sys + "/dev/char/" + std::to_string(major(device)) + ":" + std::to_string(minor(device)) + "/subsystem";
  const ssize_t length = ::readlink(subsystem.c_str(), link, sizeof link);
  return length > 0 && !std::string_view(link, static_cast<size_t>(length)).ends_with("/tty");
}

// What the file at `path` is, told before it is opened: only a serial line
// will do. /dev/tty (5:0) stands for whoever opens it's own terminal, and
// /dev/ptmx (5:2) makes a new pseudo-terminal at each open.
int check_device(const std::string& path, const SystemRoots& roots, dev_t& device) {
  struct stat node {};
  if (::stat(path.c_str(), &node) != 0) return errno;
  if (!S_ISCHR(node.st_mode)) return ENOTTY;
  device = node.st_rdev;
  if (device == makedev(5, 0)) return EBUSY;
  if (device == makedev(5, 2) || sysfs_says_not_a_tty(device, roots.sys)) return ENOTTY;
  return 0;
}

// Opens the tty without waiting for a carrier and takes it for ourselves: an
// advisory lock keeps out the programs that honour it (root included), and
// TIOCEXCL refuses every other open but root's. A tty that another program
// holds, exclusively or not, or that is a process's controlling terminal, is
// left as it is once the open has told that it is a tty (root's open
// succeeds where TIOCEXCL refuses others; opening a line already open changes
// nothing on it): its settings are that program's. The line turns raw at
// once, at the speed it had: settings may come only later (an open inside
// BeginUpdate), and a cooked line reads an end-of-file character as a
// vanished device. `original` keeps the settings it had, to give back.
int open_exclusive(const std::string& path, dev_t device, const std::string& proc, common::UniqueFd& fd,
                   termios& original) {
  fd.reset(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) return errno;
  if (!::isatty(fd.get())) return ENOTTY;
  struct stat opened {};
  // The name may have been made to lead elsewhere since it was looked at.
  if (::fstat(fd.get(), &opened) != 0 || opened.st_rdev != device) return EBUSY;
  if (is_exclusive(fd.get()) || held_by_another_process(device, proc)) return EBUSY;
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return errno == EWOULDBLOCK ? EBUSY : errno;
  if (::tcgetattr(fd.get(), &original) != 0) return errno;
  termios t = original;
  make_raw(t);
  if (::tcsetattr(fd.get(), TCSANOW, &t) != 0) return errno;
  return ::ioctl(fd.get(), TIOCEXCL) == 0 ? 0 : errno;
}

}  // namespace

std::string device_path(const std::string& port, const std::string& dev) {
  if (port.find('/') != std::string::npos) return port;
  if (unsigned n = com_number(port)) return dev + "/ttyS" + std::to_string(n - 1);
  return dev + "/" + port;
}

std::unique_ptr<SerialDevice> PosixSerialDeviceOpener::open(const std::string& port, int& error) {
  error = 0;
  if (port.empty()) {
    error = ENOENT;
    return nullptr;
  }
  const std::string path = device_path(port);
  // Decided before the open: opening a console's UART already disturbs it.
  if (SystemConsoles::read(roots_).contains(path)) {
    qCDebug(serial_log, "%s is a system console: never opened", path.c_str());
    error = EBUSY;
    return nullptr;
  }
  dev_t device = 0;
  error = check_device(path, roots_, device);
  if (error != 0) return nullptr;
  common::UniqueFd fd;
  termios original{};
  error = open_exclusive(path, device, roots_.proc, fd, original);
  if (error != 0) return nullptr;
  return PosixSerialDevice::adopt(std::move(fd), error, &original);
}

PosixSerialDeviceOpener& posix_serial_devices() {
  static PosixSerialDeviceOpener opener;
  return opener;
}

}  // namespace serial
