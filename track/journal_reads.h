// Splits a journal into the reads its reader works with: at most
// kLongestRead bytes each, ending just after the first LF. The bytes come in
// large blocks and lines are found with memchr, so a long journal costs one
// system call per block rather than one library call per line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace track {

// A journal's bytes: read once from start to end while loading, then again a
// record at a time, by offset, while the cursor shows it.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `capacity` bytes into `buffer` from where the last read stopped; 0
  // at the end, nothing on a failure.
  virtual std::optional<std::size_t> read(char* buffer, std::size_t capacity) = 0;
  // Up to `capacity` bytes from byte `offset`, leaving the running read alone.
  virtual std::optional<std::size_t> read_at(uint64_t offset, char* buffer, std::size_t capacity) const = 0;
  // Bytes at the start of the load: the loader reserves the track's room from it.
  virtual uint64_t size() const = 0;
};

// Bytes held in memory (a copy), handed out at most `chunk` at a time, so
// tests and the fuzzer can put block ends anywhere.
class TextSource : public ByteSource {
 public:
  explicit TextSource(std::string_view text, std::size_t chunk = SIZE_MAX) : text_(text), chunk_(chunk) {}
  std::optional<std::size_t> read(char* buffer, std::size_t capacity) override;
  std::optional<std::size_t> read_at(uint64_t offset, char* buffer, std::size_t capacity) const override;
  uint64_t size() const override { return text_.size(); }

 private:
  std::string text_;
  std::size_t chunk_;
  std::size_t next_ = 0;
};

class JournalReads {
 public:
  enum class Status { Read, End, Failed };

  // Blocks of 256 KiB already make the system calls a small share of the
  // cost; larger ones only add to the memory a short journal's load takes.
  explicit JournalReads(ByteSource& source, std::size_t block_size = std::size_t{256} << 10);

  // The next read; it stays valid until the following call.
  Status next(std::string_view& read);
  // Bytes handed out so far: the offset in the file of the next read.
  uint64_t offset() const { return offset_; }

 private:
  // Tops the buffer up until a whole read fits or the source ends.
  bool fill();

  ByteSource& source_;
  // Not zero-filled: only bytes the source wrote are ever looked at.
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool at_end_ = false;
  uint64_t offset_ = 0;
};

}  // namespace track
