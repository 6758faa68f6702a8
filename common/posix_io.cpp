#include "common/posix_io.h"

#include "common/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace common {

UniqueFd open_for_writing(const std::string& path, int flags, mode_t mode) {
  UniqueFd fd;
  do {
    fd.reset(::open(path.c_str(), flags | O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, mode));
  } while (!fd && errno == EINTR);
  if (!fd) return fd;
  const int status = ::fcntl(fd.get(), F_GETFL);
  if (status < 0 || ::fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0) return UniqueFd();
  return fd;
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool sync_data(int fd) {
  int rc;
  do {
    rc = ::fdatasync(fd);
  } while (rc != 0 && errno == EINTR);
  return rc == 0 || errno == EINVAL;
}

std::string folder_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool sync_folder_of(const std::string& path) {
  UniqueFd folder;
  do {
    folder.reset(::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  } while (!folder && errno == EINTR);
  if (!folder) return false;
  int rc;
  do {
    rc = ::fsync(folder.get());
  } while (rc != 0 && errno == EINTR);
  return rc == 0;
}

}  // namespace common
