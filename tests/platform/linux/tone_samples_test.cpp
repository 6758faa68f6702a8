#include "platform/linux/tone_samples.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

using platform::tone_samples;

namespace {

int sign_changes(const std::vector<int16_t>& samples) {
  int changes = 0;
  int last = 0;
  for (int16_t s : samples) {
    const int sign = (s > 0) - (s < 0);
    if (sign != 0 && last != 0 && sign != last) ++changes;
    if (sign != 0) last = sign;
  }
  return changes;
}

int peak(const std::vector<int16_t>& samples, size_t from, size_t to) {
  int p = 0;
  for (size_t i = from; i < to; ++i) p = std::max(p, std::abs(static_cast<int>(samples[i])));
  return p;
}

}  // namespace

TEST(ToneSamples, AlarmToneIs2400SamplesAt500Hz) {
  const std::vector<int16_t> s = tone_samples(500, 50, 48000);
  ASSERT_EQ(s.size(), 2400u);
  // 25 periods cross zero twice each, less the start.
  EXPECT_NEAR(sign_changes(s), 49, 1);
}

TEST(ToneSamples, FrequencyAndRateAreHonoured) {
  // 1000 Hz for 100 ms: 100 periods; 44.1 kHz gives 4410 samples.
  const std::vector<int16_t> s = tone_samples(1000, 100, 44100);
  ASSERT_EQ(s.size(), 4410u);
  EXPECT_NEAR(sign_changes(s), 199, 1);
}

// Loud enough to hear, far from clipping, and faded at both ends so the
// device does not click.
TEST(ToneSamples, AmplitudeStaysWithinBoundsAndFades) {
  const std::vector<int16_t> s = tone_samples(500, 50, 48000);
  const int full = peak(s, 0, s.size());
  EXPECT_GT(full, 15000);
  EXPECT_LE(full, 16384);
  EXPECT_LT(peak(s, 0, 24), full / 8);
  EXPECT_LT(peak(s, s.size() - 24, s.size()), full / 8);

  // A tone shorter than both fades still starts and ends near silence.
  const std::vector<int16_t> blip = tone_samples(500, 2, 48000);
  ASSERT_EQ(blip.size(), 96u);
  EXPECT_LE(peak(blip, 0, blip.size()), 16384);
  EXPECT_LT(std::abs(blip.front()) + std::abs(blip.back()), 200);
}
