// Platform services for window tests: no device opens, the port list is
// whatever the test says, and power, clock and sound do nothing.
#pragma once

#include "shell/platform_services.h"

#include <cerrno>
#include <string>
#include <vector>

namespace fake {

// Every open fails with `error`; the names asked for are kept.
class FailingSerialOpener : public serial::SerialDeviceOpener {
 public:
  std::unique_ptr<serial::SerialDevice> open(const std::string& port, int& error) override;
  std::vector<std::string> opened;
  int error = ENOENT;
};

class PortList : public serial::PortLister {
 public:
  int list(std::vector<std::string>& out) override;
  std::vector<std::string> names;
};

class NoBattery : public acquisition::PowerSource {
 public:
  std::optional<uint8_t> battery_percent() override { return 255; }
};

class StillClock : public acquisition::SystemClock {
 public:
  acquisition::SystemTime now_utc() override { return {}; }
  bool set_utc(const acquisition::SystemTime&) override { return false; }
};

class Silence : public acquisition::AlarmSound {
 public:
  void alert() override {}
  void tone(int, int) override {}
};

// All of the above, gathered as the windows take them.
struct Platform {
  explicit Platform(std::string settings_path = {}, std::vector<std::string> ports = {});
  FailingSerialOpener devices;
  PortList ports;
  NoBattery power;
  StillClock clock;
  Silence sound;
  shell::PlatformServices services;
};

}  // namespace fake
