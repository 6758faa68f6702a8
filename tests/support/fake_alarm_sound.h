// An alarm sound for tests: records what was played, in order, and plays
// nothing.
#pragma once

#include "platform/alarm_sound.h"

#include <vector>

namespace testing_support {

struct SoundCall {
  enum Kind { Alert, Tone } kind = Alert;
  int frequency_hz = 0;
  int duration_ms = 0;
  bool operator==(const SoundCall&) const = default;
};

class FakeAlarmSound : public platform::AlarmSound {
 public:
  void alert() override;
  void tone(int frequency_hz, int duration_ms) override;

  std::vector<SoundCall> calls;
};

}  // namespace testing_support
