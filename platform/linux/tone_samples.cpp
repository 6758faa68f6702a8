#include "platform/linux/tone_samples.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

std::vector<int16_t> tone_samples(int frequency_hz, int duration_ms, int rate) {
  if (frequency_hz <= 0 || duration_ms <= 0 || rate <= 0) return {};
  const size_t count = static_cast<size_t>(static_cast<int64_t>(rate) * duration_ms / 1000);
  const double fade = std::max<double>(1, std::min<double>(rate * 0.005, count / 2.0));
  const double amplitude = 16384;
  const double step = 2 * std::numbers::pi * frequency_hz / rate;

  std::vector<int16_t> samples(count);
  for (size_t i = 0; i < count; ++i) {
    const double gain = std::min({1.0, i / fade, (count - 1 - i) / fade});
    samples[i] = static_cast<int16_t>(std::lround(amplitude * gain * std::sin(step * i)));
  }
  return samples;
}

}  // namespace platform
