// A journal opened for reading: read-only and without any lock, so the logger
// goes on appending while the viewer reads. The track keeps it open to re-read
// the records the cursor shows, so renaming or deleting the file then does not
// take them away.
#pragma once

#include "common/unique_fd.h"
#include "track/journal_reads.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace track {

class JournalFile : public ByteSource {
 public:
  // Nothing when the path names no regular file that can be opened: a device
  // or a pipe is refused before it is opened, so naming a serial port or a
  // FIFO can neither block the window nor disturb the line.
  static std::unique_ptr<JournalFile> open(const std::string& path);

  uint64_t size() const override { return size_; }
  // For readers that take a descriptor (Qt's XML reader through QFile).
  int descriptor() const { return fd_.get(); }
  std::optional<std::size_t> read(char* buffer, std::size_t capacity) override;
  std::optional<std::size_t> read_at(uint64_t offset, char* buffer, std::size_t capacity) const override;

 private:
  JournalFile(common::UniqueFd fd, uint64_t size) : fd_(std::move(fd)), size_(size) {}
  common::UniqueFd fd_;
  uint64_t size_;
};

}  // namespace track
