// A file written under a new name beside the file it replaces and renamed over
// it only once whole: until commit() succeeds, the file named keeps its
// previous bytes (or stays absent), whatever fails and whenever the machine
// stops, and the new file is removed when anything fails or commit() is never
// reached. The bytes may be written in any number of pieces, so an output too
// large to hold in memory (a converted journal) is replaced as safely as a
// small one.
//
// A symbolic link is followed: its final target is replaced, from a new file
// in the target's folder, and the link stays a link. In a sticky folder that
// anyone may write to (/tmp), a link is followed only when the folder's owner
// or the user made it, as the kernel's fs.protected_symlinks has it: another
// user's link there is refused (EACCES), never written through. A device or a pipe
// (/dev/null) is written in place, having nothing to replace, and so is a
// writable file in a folder that refuses new files. New files left
// beside the target by a program killed in the middle of a replacement are
// removed. The file keeps its permissions, and its owner where it may be given
// (as root); a new one gets 0666 less the umask.
#pragma once

#include "common/unique_fd.h"

#include <optional>
#include <string>
#include <utility>

namespace common {

// Whether `path` is a link that may not be followed: in a sticky folder that
// anyone may write to (/tmp), a link is followed only when the folder's owner
// or the user made it, the kernel's own rule (fs.protected_symlinks). Anyone
// may plant a link there, and following it would replace a file of someone
// else's that the user never named. The rule is kept here whether or not the
// kernel is set to keep it, since the links are followed here, not by it.
bool is_planted_link(const std::string& path);

class FileReplacement {
 public:
  // Nothing, with errno set, when `path` is empty, a loop of links, a link
  // planted by another user in a shared folder (EACCES), a folder
  // or a file that may not be written, or when no file can be made beside it.
  static std::optional<FileReplacement> create(const std::string& path);

  FileReplacement(FileReplacement&& other) noexcept
      : target_(std::move(other.target_)), temp_(std::exchange(other.temp_, {})), fd_(std::move(other.fd_)) {}
  FileReplacement& operator=(FileReplacement&&) = delete;
  ~FileReplacement();

  int fd() const { return fd_.get(); }
  // The new file's name until commit() puts it in place; empty when the file
  // is written in place. A program that a signal ends removes it by this name.
  const std::string& temp_path() const { return temp_; }
  // Flushes the new bytes to the medium and puts the file in place; false,
  // with errno set, when that fails (the previous file then stays).
  bool commit();

 private:
  FileReplacement(std::string target, std::string temp, UniqueFd fd)
      : target_(std::move(target)), temp_(std::move(temp)), fd_(std::move(fd)) {}

  std::string target_;
  std::string temp_;  // empty when writing in place, or once renamed
  UniqueFd fd_;
};

}  // namespace common
