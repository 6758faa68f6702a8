#include "acquisition/receiver_delay.h"

#include <algorithm>
#include <vector>

namespace acquisition {

using namespace std::chrono;

namespace {

// Between two fixes the computer's clock and the monotonic clock advance
// alike, but for a time service's slewing: chronyd slews at most 83 ms per
// second. A gap beyond that, plus a margin for the arrival stamps' own
// scheduling jitter, is a step.
bool stepped(milliseconds monotonic_elapsed, milliseconds clock_elapsed) {
  const milliseconds allowed = milliseconds(100) + monotonic_elapsed / 10;
  return abs(clock_elapsed - monotonic_elapsed) > allowed;
}

}  // namespace

void ReceiverDelay::add(Arrival arrival, const platform::TimeSample& sample) {
  if (last_arrival_ && stepped(duration_cast<milliseconds>(arrival - *last_arrival_), sample.local - last_local_)) {
    delays_.clear();
  }
  last_arrival_ = arrival;
  last_local_ = sample.local;
  delays_.push_back(-sample.offset);
  if (delays_.size() > kWindow) delays_.pop_front();
}

void ReceiverDelay::clear() {
  delays_.clear();
  last_arrival_.reset();
}

std::optional<DelayFigures> ReceiverDelay::figures() const {
  if (delays_.empty()) return std::nullopt;
  std::vector<milliseconds> sorted(delays_.begin(), delays_.end());
  std::sort(sorted.begin(), sorted.end());
  const size_t n = sorted.size();
  // Nearest rank: with few fixes the ends are the extreme delays themselves.
  const auto at_fraction = [&](size_t tenths) { return sorted[((n - 1) * tenths + 5) / 10]; };
  DelayFigures figures;
  figures.median = n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
  figures.low = at_fraction(1);
  figures.high = at_fraction(9);
  figures.count = n;
  return figures;
}

}  // namespace acquisition
