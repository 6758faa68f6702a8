// When the bytes of the receive buffer arrived: for each piece the port
// delivered, its offset in the buffer and the monotonic time the receive path
// stamped it with when it woke for it. The clock uses the arrival of a
// sentence's first byte to know how old the sentence's time is.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace acquisition {

using Arrival = std::chrono::steady_clock::time_point;

class ArrivalTimes {
 public:
  // The piece that starts at `offset` arrived at `at`; pieces come in order.
  void mark(size_t offset, Arrival at) { marks_.emplace_back(offset, at); }
  void clear() { marks_.clear(); }

  // When the byte at `offset` arrived: with the piece that holds it. nullopt
  // for bytes before the first piece (put in the buffer by other means).
  std::optional<Arrival> of(size_t offset) const {
    std::optional<Arrival> found;
    for (const auto& [start, at] : marks_) {
      if (start > offset) break;
      found = at;
    }
    return found;
  }

 private:
  std::vector<std::pair<size_t, Arrival>> marks_;
};

}  // namespace acquisition
