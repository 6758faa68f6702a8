#include "track/import/text_lines.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace track {

TextLines::TextLines(ByteSource& source, std::size_t block_size)
    : source_(source), buffer_(std::max(block_size, 2 * kLongestTextLine), '\0') {}

bool TextLines::fill() {
  std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  while (end_ < buffer_.size() && !at_end_) {
    const std::optional<std::size_t> got = source_.read(buffer_.data() + end_, buffer_.size() - end_);
    if (!got) return false;
    at_end_ = *got == 0;
    end_ += *got;
  }
  return true;
}

const char* TextLines::find_lf() const {
  return static_cast<const char*>(
      std::memchr(buffer_.data() + begin_, '\n', std::min(end_ - begin_, kLongestTextLine)));
}

void TextLines::take(std::size_t bytes) {
  begin_ += bytes;
  offset_ += bytes;
}

bool TextLines::skip_past_lf() {
  for (;;) {
    if (begin_ == end_) {
      if (!fill()) return false;
      if (begin_ == end_) return true;
    }
    const char* at = buffer_.data() + begin_;
    const void* lf = std::memchr(at, '\n', end_ - begin_);
    take(lf ? static_cast<const char*>(lf) - at + 1 : end_ - begin_);
    if (lf) return true;
  }
}

TextLines::Status TextLines::next(std::string_view& line) {
  const char* lf = find_lf();
  if (!lf && end_ - begin_ < kLongestTextLine && !at_end_) {
    if (!fill()) return Status::Failed;
    lf = find_lf();
  }
  if (begin_ == end_) return Status::End;
  ++number_;
  const char* start = buffer_.data() + begin_;
  if (lf || end_ - begin_ < kLongestTextLine) {
    // Up to its LF, or the last line of a file that does not end with one.
    const std::size_t length = lf ? static_cast<std::size_t>(lf - start) : end_ - begin_;
    take(lf ? length + 1 : length);
    line = std::string_view(start, length);
  } else {
    // Its start is kept aside: passing over the rest refills the buffer.
    cut_.assign(start, kLongestTextLine);
    take(kLongestTextLine);
    if (!skip_past_lf()) return Status::Failed;
    line = cut_;
  }
  if (line.ends_with('\r')) line.remove_suffix(1);
  return Status::Line;
}

ProgressTicker::ProgressTicker(std::function<void(uint64_t)> progress, std::chrono::milliseconds interval)
    : progress_(std::move(progress)), interval_(interval), last_(std::chrono::steady_clock::now()) {}

void ProgressTicker::tick_now(uint64_t offset) {
  if (!progress_) return;
  const auto now = std::chrono::steady_clock::now();
  if (calls_ != 0 && now - last_ < interval_) return;
  progress_(offset);
  last_ = now;
}

}  // namespace track
