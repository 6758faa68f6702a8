// The samples of a plain tone, mono signed 16-bit, ready for a sound device.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// A sine at half of full scale, rate * duration_ms / 1000 samples long, faded
// in and out over 5 ms (less for very short tones) so that it starts and stops
// without a click. Empty when any argument is not positive.
std::vector<int16_t> tone_samples(int frequency_hz, int duration_ms, int rate);

}  // namespace platform
