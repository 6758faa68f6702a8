#include "serial/posix/tty_holders.h"

#include "common/unique_fd.h"

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace serial {
namespace {

using Folder = std::unique_ptr<DIR, int (*)(DIR*)>;

bool is_number(std::string_view name) {
  return !name.empty() && name.find_first_not_of("0123456789") == std::string_view::npos;
}

// The controlling terminal's device number in a /proc/PID/stat: the 7th
// field, the 5th after the command name in brackets (which may hold spaces),
// in the kernel's own encoding of a device number.
bool controlling_terminal_is(const std::string& stat_path, dev_t device) {
  char bytes[1024];
  const common::UniqueFd file(::open(stat_path.c_str(), O_RDONLY | O_CLOEXEC));
  const ssize_t got = file ? ::read(file.get(), bytes, sizeof bytes) : -1;
  if (got <= 0) return false;
  const std::string_view stat(bytes, static_cast<size_t>(got));
  const size_t name_end = stat.rfind(')');
  if (name_end == std::string_view::npos) return false;
  size_t at = name_end + 1;
  for (int field = 0; field < 4 && at != std::string_view::npos; ++field) at = stat.find(' ', at + 1);
  if (at == std::string_view::npos) return false;
  const unsigned long tty_nr = std::strtoul(std::string(stat.substr(at + 1, 24)).c_str(), nullptr, 10);
  // Major in bits 8-15, minor in bits 0-7 and 20-31.
  const unsigned major_number = (tty_nr >> 8) & 0xfff;
  const unsigned minor_number = (tty_nr & 0xff) | ((tty_nr >> 12) & 0xfff00);
  return tty_nr != 0 && makedev(major_number, minor_number) == device;
}

// Whether one of the descriptors in `fd_folder` (a /proc/PID/fd) leads to the
// character device `device`. Only descriptors whose link names a file in /dev
// are looked at closer: a stat of anything else (a file on a network mount
// that no longer answers) could keep the caller waiting.
bool folder_holds(const std::string& fd_folder, dev_t device) {
  Folder fds(::opendir(fd_folder.c_str()), ::closedir);
  if (!fds) return false;  // gone meanwhile, or not ours to see
  char link[4096];
  while (const dirent* entry = ::readdir(fds.get())) {
    const ssize_t length = ::readlinkat(::dirfd(fds.get()), entry->d_name, link, sizeof link);
    if (length <= 0 || !std::string_view(link, static_cast<size_t>(length)).starts_with("/dev/")) continue;
    struct stat file {};
    if (::fstatat(::dirfd(fds.get()), entry->d_name, &file, 0) == 0 && S_ISCHR(file.st_mode) && file.st_rdev == device)
      return true;
  }
  return false;
}

}  // namespace

bool held_by_another_process(dev_t device, const std::string& proc) {
  const std::string self = std::to_string(::getpid());
  Folder processes(::opendir(proc.c_str()), ::closedir);
  if (!processes) return false;
  while (const dirent* entry = ::readdir(processes.get())) {
    const std::string_view name = entry->d_name;
    if (!is_number(name)) continue;
    const std::string folder = proc + "/" + entry->d_name;
    if (controlling_terminal_is(folder + "/stat", device)) return true;
    if (name != self && folder_holds(folder + "/fd", device)) return true;
  }
  return false;
}

bool is_exclusive(int tty_fd) {
  int exclusive = 0;
  // Kernels before 3.8 cannot tell: the open's own EBUSY is all there is.
  return ::ioctl(tty_fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

}  // namespace serial
