// A file written as a stream under a temporary name beside the file it
// replaces, renamed over it only once whole: until commit() succeeds the
// file named keeps its previous bytes (or stays absent), and the new file is
// removed when anything fails or commit() is never reached. For outputs too
// large to hold in memory, such as a converted journal.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace common {

class FileReplacement {
 public:
  // Nothing, with errno set, when `path` names a folder or a file that may
  // not be written, or no file can be made beside it. A link is followed, so
  // its target is replaced and the link stays; a device or a pipe (/dev/null,
  // /dev/stdout) has nothing to replace and is written directly.
  static std::optional<FileReplacement> create(const std::string& path);

  FileReplacement(FileReplacement&& other) noexcept;
  FileReplacement& operator=(FileReplacement&&) = delete;
  ~FileReplacement();

  int fd() const { return fd_; }
  // Flushes the new file to the medium and puts it in place; false, with
  // errno set, when that fails (the previous file then stays).
  bool commit();

 private:
  FileReplacement(std::string target, std::string temp, int fd)
      : target_(std::move(target)), temp_(std::move(temp)), fd_(fd) {}

  std::string target_;
  std::string temp_;  // empty when writing directly, or once renamed
  int fd_;
};

}  // namespace common
