// The platform services the windows use, gathered so that the program passes
// the real Linux ones and the tests pass fakes.
#pragma once

#include "platform/alarm_sound.h"
#include "platform/clock_sync.h"
#include "platform/power_source.h"
#include "platform/system_clock.h"
#include "platform/time_sample_sink.h"
#include "serial/background_work.h"
#include "serial/serial_device.h"

#include <string>

namespace shell {

struct PlatformServices {
  serial::SerialDeviceOpener& serial_devices;
  // Where the devices are opened, away from the window's thread.
  serial::BackgroundWork& background;
  serial::PortLister& serial_ports;
  platform::PowerSource& power;
  platform::SystemClock& clock;
  platform::TimeSampleSink& time_samples;
  platform::ClockSyncSource& clock_sync;
  platform::AlarmSound& sound;
  std::string settings_path;  // full path of the settings file
};

}  // namespace shell
