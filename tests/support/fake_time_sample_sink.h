// A time service for tests: keeps every sample with the socket it was for.
#pragma once

#include "platform/time_sample_sink.h"

#include <utility>
#include <vector>

namespace testing_support {

class FakeTimeSampleSink : public platform::TimeSampleSink {
 public:
  bool send(const std::string& socket_path, const platform::TimeSample& sample) override {
    samples.emplace_back(socket_path, sample);
    return true;
  }

  std::vector<std::pair<std::string, platform::TimeSample>> samples;
};

}  // namespace testing_support
