#include "serial/posix/posix_device_opener.h"

#include "common/unique_fd.h"
#include "serial/posix/line_settings.h"
#include "serial/posix/posix_serial_device.h"
#include "serial/posix/tty_holders.h"
#include "serial/serial_log.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/ioctl.h>
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

// Opens the tty without waiting for a carrier and takes it for ourselves: an
// advisory lock keeps out the programs that honour it (root included), and
// TIOCEXCL refuses every other open but root's. A tty that another program
// holds, exclusively or not, is left as it is once the open has told that it
// is a tty (root's open succeeds where TIOCEXCL refuses others; opening a
// line already open changes nothing on it): its settings are that program's.
// The line turns raw at once, at the speed it had: settings may come only
// later (an open inside BeginUpdate), and a cooked line reads an end-of-file
// character as a vanished device.
int open_exclusive(const std::string& path, const std::string& proc, common::UniqueFd& fd) {
  fd.reset(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) return errno;
  if (!::isatty(fd.get())) return ENOTTY;
  if (is_exclusive(fd.get()) || held_by_another_process(path, proc)) return EBUSY;
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return errno == EWOULDBLOCK ? EBUSY : errno;
  termios t{};
  if (::tcgetattr(fd.get(), &t) != 0) return errno;
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
  common::UniqueFd fd;
  error = open_exclusive(path, roots_.proc, fd);
  if (error != 0) return nullptr;
  return PosixSerialDevice::adopt(std::move(fd), error);
}

PosixSerialDeviceOpener& posix_serial_devices() {
  static PosixSerialDeviceOpener opener;
  return opener;
}

}  // namespace serial
