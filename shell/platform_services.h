// The platform services the windows use, gathered so that the program passes
// the real Linux ones and the tests pass fakes.
#pragma once

#include "acquisition/alarm_sound.h"
#include "acquisition/power_source.h"
#include "acquisition/system_clock.h"
#include "serial/serial_device.h"

#include <string>

namespace shell {

struct PlatformServices {
  serial::SerialDeviceOpener& serial_devices;
  serial::PortLister& serial_ports;
  acquisition::PowerSource& power;
  acquisition::SystemClock& clock;
  acquisition::AlarmSound& sound;
  std::string settings_path;  // full path of the settings file
};

}  // namespace shell
