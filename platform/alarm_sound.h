// The sounds of the alarm: the desktop's alert sound and a plain tone.
#pragma once

namespace platform {

class AlarmSound {
 public:
  virtual ~AlarmSound() = default;
  virtual void alert() = 0;
  // Plays a tone and returns when it has ended; without a sound device it
  // returns at once.
  virtual void tone(int frequency_hz, int duration_ms) = 0;
};

}  // namespace platform
