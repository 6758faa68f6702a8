// A time service for tests: keeps every sample with the socket it was for.
#pragma once

#include "platform/time_sample_sink.h"

#include <vector>

namespace testing_support {

struct FakeTimeSampleSink : platform::TimeSampleSink {
  bool send(const std::string& socket, const platform::TimeSample& sample) override {
    samples.emplace_back(socket, sample);
    return true;
  }
  std::vector<std::pair<std::string, platform::TimeSample>> samples;
};

}  // namespace testing_support
