#include "serial/posix/tty_holders.h"

#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <string_view>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace serial {
namespace {

using Folder = std::unique_ptr<DIR, int (*)(DIR*)>;

bool is_number(std::string_view name) {
  return !name.empty() && name.find_first_not_of("0123456789") == std::string_view::npos;
}

// Whether one of the descriptors in `fd_folder` (a /proc/PID/fd) leads to `target`.
bool folder_holds(const std::string& fd_folder, const std::string& target) {
  Folder fds(::opendir(fd_folder.c_str()), ::closedir);
  if (!fds) return false;  // gone meanwhile, or not ours to see
  char link[4096];
  while (const dirent* entry = ::readdir(fds.get())) {
    const ssize_t length = ::readlinkat(::dirfd(fds.get()), entry->d_name, link, sizeof link);
    if (length > 0 && std::string_view(link, static_cast<size_t>(length)) == target) return true;
  }
  return false;
}

}  // namespace

bool held_by_another_process(const std::string& path, const std::string& proc) {
  std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), ::free);
  if (!resolved) return false;
  const std::string target = resolved.get();
  const std::string self = std::to_string(::getpid());
  Folder processes(::opendir(proc.c_str()), ::closedir);
  if (!processes) return false;
  while (const dirent* entry = ::readdir(processes.get())) {
    const std::string_view name = entry->d_name;
    if (!is_number(name) || name == self) continue;
    if (folder_holds(proc + "/" + entry->d_name + "/fd", target)) return true;
  }
  return false;
}

bool is_exclusive(int tty_fd) {
  int exclusive = 0;
  // Kernels before 3.8 cannot tell: the open's own EBUSY is all there is.
  return ::ioctl(tty_fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

}  // namespace serial
