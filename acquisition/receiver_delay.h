// How late the receiver's sentences are: for each trusted fix, the computer's
// time when the sentence's first byte arrived minus the time the sentence
// names. A receiver sends the sentence of a second some 50 to 900 ms after
// that second began, steady for a given receiver and line; chronyd needs that
// figure as the `offset` of its reference clock, and nobody should have to
// tune it by hand from chronyc's output.
//
// The figure is only as good as the computer's clock: it is meaningful when
// that clock is kept by a time service from other sources.
#pragma once

#include "acquisition/arrival_times.h"
#include "platform/time_sample_sink.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>

namespace acquisition {

struct DelayFigures {
  std::chrono::milliseconds median{};
  // The 10 % and 90 % points of the window: 80 % of the sentences came
  // between them.
  std::chrono::milliseconds low{};
  std::chrono::milliseconds high{};
  size_t count = 0;
};

class ReceiverDelay {
 public:
  // The last 60 fixes: three minutes of 3-second cycles, long enough for a
  // steady median, short enough to follow a change of receiver or speed.
  static constexpr size_t kWindow = 60;

  // A trusted fix: `sample` as Echantillon_horloge makes it from the arrival
  // `arrival` of the sentence's first byte. A computer clock that stepped
  // since the previous fix (set by Orvanta or a time service) makes the
  // delays before the step meaningless: they are dropped.
  void add(Arrival arrival, const platform::TimeSample& sample);
  void clear();

  // nullopt before the first fix.
  std::optional<DelayFigures> figures() const;

 private:
  std::deque<std::chrono::milliseconds> delays_;
  std::optional<Arrival> last_arrival_;
  platform::UtcInstant last_local_{};
};

}  // namespace acquisition
