// A bounded first-in first-out queue of bytes that never refuses a byte: when
// it is full, the oldest byte makes room for the new one.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace serial {

class ByteRing {
 public:
  size_t size() const { return size_; }
  size_t capacity() const { return bytes_.size(); }

  // Keeps the newest bytes that fit in the new capacity.
  void set_capacity(size_t capacity) {
    std::vector<char> kept(capacity);
    if (capacity < size_) drop(size_ - capacity);
    const size_t count = pop(kept.data(), size_);
    bytes_ = std::move(kept);
    head_ = 0;
    size_ = count;
  }

  // Returns whether an older byte was dropped to make room (or, with no
  // room at all, the byte itself).
  bool push(char c) {
    if (bytes_.empty()) return true;
    const bool full = size_ == bytes_.size();
    if (full) drop(1);
    bytes_[(head_ + size_) % bytes_.size()] = c;
    ++size_;
    return full;
  }

  // Moves up to `count` of the oldest bytes into `out`; returns how many.
  size_t pop(char* out, size_t count) {
    const size_t taken = count < size_ ? count : size_;
    // The oldest bytes run up to the end of the storage, then wrap to its start.
    const size_t first = std::min(taken, bytes_.size() - head_);
    std::copy_n(bytes_.data() + head_, first, out);
    std::copy_n(bytes_.data(), taken - first, out + first);
    drop(taken);
    return taken;
  }

  void clear() { head_ = size_ = 0; }

 private:
  void drop(size_t count) {
    if (bytes_.empty()) return;
    head_ = (head_ + count) % bytes_.size();
    size_ -= count;
  }

  std::vector<char> bytes_;
  size_t head_ = 0;
  size_t size_ = 0;
};

}  // namespace serial
