#include "common/whole_file.h"

#include "common/file_replacement.h"
#include "common/posix_io.h"
#include "common/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace common {

std::optional<std::string> read_whole_file(const std::string& path) {
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) {
    if (errno == ENOENT || errno == ENOTDIR) return std::string();
    return std::nullopt;
  }
  std::string data;
  char block[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    data.append(block, static_cast<size_t>(n));
  }
  return data;
}

bool replace_whole_file(const std::string& path, std::string_view contents) {
  std::optional<FileReplacement> file = FileReplacement::create(path);
  return file && write_all(file->fd(), contents) && file->commit();
}

}  // namespace common
