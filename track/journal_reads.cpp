#include "track/journal_reads.h"

#include "track/journal_line.h"

#include <algorithm>
#include <cstring>

namespace track {

std::optional<std::size_t> TextSource::read(char* buffer, std::size_t capacity) {
  const std::optional<std::size_t> n = read_at(next_, buffer, std::min(capacity, chunk_));
  next_ += *n;
  return n;
}

std::optional<std::size_t> TextSource::read_at(uint64_t offset, char* buffer, std::size_t capacity) const {
  if (offset >= text_.size()) return 0;
  const std::size_t n = std::min<uint64_t>(capacity, text_.size() - offset);
  std::memcpy(buffer, text_.data() + offset, n);
  return n;
}

JournalReads::JournalReads(ByteSource& source, std::size_t block_size)
    : source_(source),
      buffer_(new char[std::max(block_size, 2 * kLongestRead)]),
      capacity_(std::max(block_size, 2 * kLongestRead)) {}

bool JournalReads::fill() {
  if (end_ - begin_ >= kLongestRead || at_end_) return true;
  std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  while (end_ < kLongestRead && !at_end_) {
    const std::optional<std::size_t> got = source_.read(buffer_.get() + end_, capacity_ - end_);
    if (!got) return false;
    at_end_ = *got == 0;
    end_ += *got;
  }
  return true;
}

JournalReads::Status JournalReads::next(std::string_view& read) {
  if (!fill()) return Status::Failed;
  const std::size_t available = std::min(end_ - begin_, kLongestRead);
  if (available == 0) return Status::End;
  const char* start = buffer_.get() + begin_;
  const void* lf = std::memchr(start, '\n', available);
  const std::size_t length = lf ? static_cast<const char*>(lf) - start + 1 : available;
  read = std::string_view(start, length);
  begin_ += length;
  offset_ += length;
  return Status::Read;
}

}  // namespace track
