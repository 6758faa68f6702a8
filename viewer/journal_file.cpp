#include "viewer/journal_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace viewer {

std::unique_ptr<JournalFile> JournalFile::open(const std::string& path) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  // The path may have been replaced between the two looks.
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<JournalFile>(new JournalFile(fd, static_cast<uint64_t>(info.st_size)));
}

JournalFile::~JournalFile() { ::close(fd_); }

std::optional<std::size_t> JournalFile::read(char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, capacity);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return std::nullopt;
  }
}

std::optional<std::size_t> JournalFile::read_at(uint64_t offset, char* buffer, std::size_t capacity) const {
  for (;;) {
    const ssize_t got = ::pread(fd_, buffer, capacity, static_cast<off_t>(offset));
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return std::nullopt;
  }
}

}  // namespace viewer
