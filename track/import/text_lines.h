// The lines of a text file, for the line-based formats (NMEA logs, CSV):
// read in large blocks, split at LF, without the CR before it. A line longer
// than kLongestTextLine is cut there and the rest of it passed over, so a
// file without line ends takes bounded memory and every line keeps its
// number.
#pragma once

#include "track/journal_reads.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace track {

inline constexpr std::size_t kLongestTextLine = 4096;

class TextLines {
 public:
  enum class Status { Line, End, Failed };

  explicit TextLines(ByteSource& source, std::size_t block_size = std::size_t{256} << 10);

  // The next line; it stays valid until the following call.
  Status next(std::string_view& line);
  // Lines handed out so far: the number of the last one.
  int64_t number() const { return number_; }
  // Bytes consumed so far.
  uint64_t offset() const { return offset_; }

 private:
  bool fill();
  const char* find_lf() const;
  void take(std::size_t bytes);
  bool skip_past_lf();

  ByteSource& source_;
  std::string buffer_;
  std::string cut_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool at_end_ = false;
  int64_t number_ = 0;
  uint64_t offset_ = 0;
};

// Tells a load's progress about every `interval`, looking at the clock only
// every 1024 calls: more often would cost more than a line's scan.
class ProgressTicker {
 public:
  ProgressTicker(std::function<void(uint64_t)> progress, std::chrono::milliseconds interval);
  void tick(uint64_t offset) {
    if ((++calls_ & 1023) == 0) tick_now(offset);
  }
  void tick_now(uint64_t offset);

 private:
  std::function<void(uint64_t)> progress_;
  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point last_;
  uint64_t calls_ = 0;
};

}  // namespace track
