#include "common/file_replacement.h"

#include "common/posix_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace common {

namespace {

int open_retrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path, flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

std::optional<FileReplacement> FileReplacement::create(const std::string& path) {
  std::string target = path;
  struct stat previous {};
  const bool exists = ::stat(path.c_str(), &previous) == 0;
  if (exists) {
    if (S_ISDIR(previous.st_mode)) {
      errno = EISDIR;
      return std::nullopt;
    }
    if (!S_ISREG(previous.st_mode)) {
      const int fd = open_retrying(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
      if (fd < 0) return std::nullopt;
      return FileReplacement(path, {}, fd);
    }
    // A file the user made read-only stays as it is, although its folder
    // would let a rename replace it.
    if (::access(path.c_str(), W_OK) != 0) return std::nullopt;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return std::nullopt;
    target = resolved;
  }
  // O_EXCL: nothing already there (a leftover, a link planted in a shared
  // folder) is ever written through.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    const int fd = open_retrying(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return std::nullopt;
    FileReplacement replacement(std::move(target), std::move(temp), fd);
    // The file keeps the permissions it had; a new one gets 0666 less the umask.
    if (exists && ::fchmod(fd, previous.st_mode & 07777) != 0) return std::nullopt;
    return replacement;
  }
  errno = EEXIST;
  return std::nullopt;
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : target_(std::move(other.target_)), temp_(std::exchange(other.temp_, {})), fd_(std::exchange(other.fd_, -1)) {}

FileReplacement::~FileReplacement() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

bool FileReplacement::commit() {
  const int fd = std::exchange(fd_, -1);
  // A device or a pipe has nothing to make durable.
  if (temp_.empty()) return ::close(fd) == 0 || errno == EINTR;
  int rc;
  do {
    rc = ::fsync(fd);
  } while (rc != 0 && errno == EINTR);
  const int saved = errno;
  // Some file systems (NFS) report a failed write-back only at the close; on
  // Linux the descriptor is gone even when the close was interrupted.
  const bool closed = ::close(fd) == 0 || errno == EINTR;
  if (rc != 0) errno = saved;
  if (rc != 0 || !closed || ::rename(temp_.c_str(), target_.c_str()) != 0) return false;
  temp_.clear();
  // Makes the rename itself durable; the new file is in place either way.
  sync_folder_of(target_);
  return true;
}

}  // namespace common
