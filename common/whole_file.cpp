#include "common/whole_file.h"

#include "common/posix_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace common {
namespace {

// A fresh name beside `path`; O_EXCL so that nothing already there (a link
// planted in a shared folder, a leftover) is ever written through.
int create_temp(const std::string& path, std::string& temp) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

std::optional<std::string> read_whole_file(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::string();
    return std::nullopt;
  }
  std::string data;
  char block[65536];
  for (;;) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    data.append(block, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

bool replace_whole_file(const std::string& path, std::string_view contents) {
  // A file the user made read-only stays as it is, although its folder would
  // let a rename replace it.
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) return false;
  std::string temp;
  const int fd = create_temp(path, temp);
  if (fd < 0) return false;
  bool ok = true;
  // The file keeps the permissions it had; a new one gets the usual 0666 less umask.
  struct stat previous;
  if (::stat(path.c_str(), &previous) == 0) ok = ::fchmod(fd, previous.st_mode & 07777) == 0;
  ok = ok && write_all(fd, contents) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Makes the rename itself durable. The new file is in place either way, so a
  // failure here is not one of the save.
  sync_folder_of(path);
  return true;
}

}  // namespace common
