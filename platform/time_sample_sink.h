// A time service that takes GPS time as samples of a reference clock and
// steers the computer's clock itself (chronyd's SOCK reference clock), so the
// program needs no right to set the clock.
#pragma once

#include "platform/system_clock.h"

#include <chrono>
#include <string>

namespace platform {

struct TimeSample {
  UtcInstant local;                  // when the sentence's first byte arrived, by the computer's clock
  std::chrono::milliseconds offset;  // GPS time minus the computer's, at that moment
};

class TimeSampleSink {
 public:
  virtual ~TimeSampleSink() = default;
  // Sends one sample to the service listening at `socket_path` (bytes of a
  // file name). Never blocks; false when no service takes it (no socket, no
  // right to write to it, a full queue), which the caller may ignore: the
  // next sample is tried afresh.
  virtual bool send(const std::string& socket_path, const TimeSample& sample) = 0;
};

}  // namespace platform
