// The real alarm sound: the desktop's alert sound and a tone on the ALSA
// "default" device.
#pragma once

#include "platform/alarm_sound.h"

namespace platform {

class DesktopAlarmSound : public AlarmSound {
 public:
  // Silences ALSA's own error printing for the whole program: a machine
  // without a sound device must not fill the terminal at every alarm.
  DesktopAlarmSound();

  void alert() override;
  // Opens, plays and drains the device at each call (48 kHz, mono S16), so
  // the device is not held between alarms; without a device returns at once.
  void tone(int frequency_hz, int duration_ms) override;
};

}  // namespace platform
