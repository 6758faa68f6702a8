#include "common/whole_file.h"

#include "common/file_replacement.h"
#include "common/posix_io.h"
#include "common/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace common {

WholeFileRead read_whole_file(const std::string& path, size_t max_size) {
  using Status = WholeFileRead::Status;
  const auto absent_or_unreadable = [] {
    return WholeFileRead{errno == ENOENT || errno == ENOTDIR ? Status::kRead : Status::kUnreadable, {}};
  };
  const auto refusal = [max_size](const struct stat& st) -> std::optional<Status> {
    if (!S_ISREG(st.st_mode)) return Status::kNotRegularFile;
    if (static_cast<unsigned long long>(st.st_size) > max_size) return Status::kTooLarge;
    return std::nullopt;
  };
  // Looked at before it is opened: opening a device acts on it (a serial
  // line raises its modem lines) and opening a FIFO waits for a writer.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return absent_or_unreadable();
  if (const auto refused = refusal(st)) return {*refused, {}};
  // And again once open, in case it was swapped in between: O_NONBLOCK keeps
  // that open from waiting, and the reading stops one byte past the limit.
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd) return absent_or_unreadable();
  if (::fstat(fd.get(), &st) != 0) return {Status::kUnreadable, {}};
  if (const auto refused = refusal(st)) return {*refused, {}};
  std::string data;
  char block[65536];
  while (data.size() <= max_size) {
    const ssize_t n = ::read(fd.get(), block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {Status::kUnreadable, {}};
    if (n == 0) return {Status::kRead, std::move(data)};
    data.append(block, static_cast<size_t>(n));
  }
  return {Status::kTooLarge, {}};
}

bool replace_whole_file(const std::string& path, std::string_view contents) {
  std::optional<FileReplacement> file = FileReplacement::create(path);
  return file && write_all(file->fd(), contents) && file->commit();
}

}  // namespace common
