// Samples for chronyd's SOCK reference clock: one datagram per sample to the
// socket chronyd made for it (a "refclock SOCK <path>" line of its
// configuration).
#pragma once

#include "platform/time_sample_sink.h"

namespace platform {

class ChronySocket : public TimeSampleSink {
 public:
  bool send(const std::string& socket_path, const TimeSample& sample) override;
};

}  // namespace platform
