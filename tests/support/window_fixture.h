// The settings, the acquisition and the four windows over fake platform
// services, in a temporary folder that holds the settings file and the two
// log files.
#pragma once

#include "fake_alarm_sound.h"
#include "fake_background_work.h"
#include "fake_clock_sync.h"
#include "fake_port_lister.h"
#include "fake_power_source.h"
#include "fake_serial_device.h"
#include "fake_system_clock.h"
#include "fake_time_sample_sink.h"
#include "shell/platform_services.h"
#include "shell/ui/windows.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace testing_support {

class WindowFixture : public ::testing::Test {
 protected:
  WindowFixture();
  // Over these serial devices instead of the fake line (real ptys).
  explicit WindowFixture(serial::SerialDeviceOpener& devices);
  ~WindowFixture() override;

  // Creates the windows (and runs the main window's first show unless told
  // not to); the acquisition timer is stopped: tests run the cycles.
  void create_windows(bool first_show = true);
  std::string path(const char* name) const;

  QTemporaryDir dir;
  FakeSerialLine line;
  FakeBackgroundWork background;  // after the line, which its works open
  FakePortLister ports;
  FakePowerSource power;
  FakeSystemClock clock;
  FakeTimeSampleSink time_samples;
  FakeClockSync clock_sync;
  FakeAlarmSound sound;
  shell::PlatformServices platform;
  std::unique_ptr<shell::Windows> windows;
};

}  // namespace testing_support
