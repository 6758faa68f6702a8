// The ttys the kernel uses as system consoles. A serial console or a login
// runs on such a tty (on servers, VMs and single-board computers it is often
// the first UART): setting it to a receiver's speed, raw, and holding it
// would break that console. The port list leaves them out and the opener
// refuses them, both before anything opens the device.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace serial {

// Where the kernel describes its consoles and processes; tests give trees of
// their own.
struct SystemRoots {
  std::string sys = "/sys";
  std::string proc = "/proc";
};

class SystemConsoles {
 public:
  // Reads the kernel's description now: /sys/class/tty/console/active and
  // /proc/consoles, each name followed through its own "active" file
  // (console -> tty0 ttyS0, tty0 -> the current virtual terminal). Missing
  // files name no console.
  static SystemConsoles read(const SystemRoots& roots);

  // Whether the file at `path` (links followed) is one of them: by its
  // device number, or by the name of the file it leads to (a link named
  // otherwise, udev's or socat's, leads to the kernel's name). Nothing is
  // opened.
  bool contains(const std::string& path) const;

  const std::vector<std::string>& names() const { return names_; }

 private:
  void add(const std::string& sys_root, const std::string& name, int depth);

  std::vector<std::string> names_;
  std::vector<dev_t> devices_;
};

}  // namespace serial
