#include "fake_alarm_sound.h"

namespace testing_support {

void FakeAlarmSound::alert() { calls.push_back({SoundCall::Alert}); }

void FakeAlarmSound::tone(int frequency_hz, int duration_ms) {
  calls.push_back({SoundCall::Tone, frequency_hz, duration_ms});
}

}  // namespace testing_support
