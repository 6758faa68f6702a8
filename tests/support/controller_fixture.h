// The acquisition over a fake serial line (or real ptys) and fake platform
// services, with its log files in a temporary folder; the tests run its
// cycles themselves.
#pragma once

#include "acquisition/acquisition_controller.h"
#include "support/fake_alarm_sound.h"
#include "support/fake_background_work.h"
#include "support/fake_clock_sync.h"
#include "support/fake_port_lister.h"
#include "support/fake_power_source.h"
#include "support/fake_serial_device.h"
#include "support/fake_system_clock.h"
#include "support/fake_time_sample_sink.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class ControllerFixture : public ::testing::Test {
 protected:
  explicit ControllerFixture(serial::SerialDeviceOpener& devices)
      : platform{devices, background, ports, power, clock, time_samples, clock_sync, sound, ""} {
    settings.log_path_1 = path("journal.txt");
    settings.log_path_2 = path("last.txt");
    settings.auto_connect = false;
    settings.set_clock = false;
    QObject::connect(&c, &acquisition::AcquisitionController::record_added,
                     [this](const QString& record) { records.push_back(record); });
  }
  ControllerFixture() : ControllerFixture(line) {}

  std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
  void set_interval(int seconds) {
    settings.interval = seconds;
    c.restart_countdown();
  }
  int lines() const { return static_cast<int>(records.size()); }
  QString text_view() const { return records.join('\n'); }

  QTemporaryDir dir;
  FakeSerialLine line;
  testing_support::FakeBackgroundWork background;  // after the line, which its works open
  testing_support::FakePortLister ports;
  testing_support::FakePowerSource power;
  testing_support::FakeSystemClock clock;
  testing_support::FakeTimeSampleSink time_samples;
  testing_support::FakeClockSync clock_sync;
  testing_support::FakeAlarmSound sound;
  shell::PlatformServices platform;
  shell::Settings settings;
  acquisition::AcquisitionController c{platform, settings};
  QStringList records;
};
