#include "acquisition/alarm_signal.h"

namespace acquisition {

void Signal_sonore(platform::AlarmSound& sound) {
  sound.alert();
  sound.alert();
  sound.tone(500, 50);
}

}  // namespace acquisition
