#include "track/journal_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace track {

std::unique_ptr<JournalFile> JournalFile::open(const std::string& path) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  common::UniqueFd fd;
  do {
    fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  } while (!fd && errno == EINTR);
  if (!fd) return nullptr;
  // The path may have been replaced between the two looks.
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  return std::unique_ptr<JournalFile>(new JournalFile(std::move(fd), static_cast<uint64_t>(info.st_size)));
}

std::optional<std::size_t> JournalFile::read(char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t got = ::read(fd_.get(), buffer, capacity);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return std::nullopt;
  }
}

std::optional<std::size_t> JournalFile::read_at(uint64_t offset, char* buffer, std::size_t capacity) const {
  for (;;) {
    const ssize_t got = ::pread(fd_.get(), buffer, capacity, static_cast<off_t>(offset));
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return std::nullopt;
  }
}

}  // namespace track
