// Opens serial ttys by the port's name, for exclusive use.
//
// Names: one holding "/" is a path; "COMn" (n >= 1, any letter case) is
// /dev/ttyS(n-1), so the default "COM1" is the first UART; any other name is
// looked up in /dev ("ttyUSB0" -> /dev/ttyUSB0).
#pragma once

#include "serial/posix/system_consoles.h"
#include "serial/serial_device.h"

#include <string>
#include <utility>

namespace serial {

// The device file a port name opens; `dev` is the device folder (tests use
// one of their own).
std::string device_path(const std::string& port, const std::string& dev = "/dev");

class PosixSerialDeviceOpener final : public SerialDeviceOpener {
 public:
  // Tests describe consoles and processes with trees of their own.
  explicit PosixSerialDeviceOpener(SystemRoots roots = {}) : roots_(std::move(roots)) {}
  // Refuses with ENOENT for an absent device, ENOTTY for a file that is not
  // a tty, and EBUSY for a system console (never opened), a tty another
  // process holds or made exclusive (root included: left untouched).
  std::unique_ptr<SerialDevice> open(const std::string& port, int& error) override;

 private:
  SystemRoots roots_;
};

// The program's opener, shared by the whole process.
PosixSerialDeviceOpener& posix_serial_devices();

}  // namespace serial
