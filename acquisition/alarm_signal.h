// The alarm's sound, played once per cycle while an alarm holds and the
// sound is armed.
#pragma once

#include "platform/alarm_sound.h"

namespace acquisition {

// Two desktop alert sounds, then a 500 Hz tone of 50 ms; blocks for the tone.
void Signal_sonore(platform::AlarmSound& sound);

}  // namespace acquisition
