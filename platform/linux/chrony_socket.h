// Samples for chronyd's SOCK reference clock: one datagram per sample to the
// socket chronyd made for it (a "refclock SOCK <path>" line of its
// configuration).
#pragma once

#include "platform/time_sample_sink.h"

#include <string>

namespace platform {

class ChronySocket : public TimeSampleSink {
 public:
  // A path longer than a socket's address holds (107 bytes) can never be
  // reached: it is said once on standard error, not at every sample.
  bool send(const std::string& socket_path, const TimeSample& sample) override;

 private:
  std::string too_long_;  // the last path said to be too long
};

}  // namespace platform
