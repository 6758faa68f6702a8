// Lists the serial ports present under a device folder (/dev by default):
// entries named like serial ttys that are device nodes or links to them, as
// udev or socat make them, but never a system console (system_consoles.h). A
// ttyS* entry counts only when its UART is there: the kernel makes
// ttyS0..ttyS3 (or more) whether or not a UART answers.
#pragma once

#include "serial/posix/system_consoles.h"
#include "serial/serial_device.h"

#include <functional>
#include <string>
#include <string_view>

namespace serial {

// Tells whether the entry at `path`, named `name`, is a present serial device.
using SerialNodeProbe = std::function<bool(const std::string& path, std::string_view name)>;

// The real probe: a character device (links followed) and, for ttyS*, a UART
// type other than PORT_UNKNOWN in the device's sysfs entry. Nothing is
// opened: a port held by another program is listed too.
bool is_present_serial_node(const std::string& path, std::string_view name);

// Whether `name` is one of the serial tty names looked for.
bool has_serial_tty_name(std::string_view name);

class DevPortLister final : public PortLister {
 public:
  // Tests scan a folder of their own with a probe of their own, and describe
  // the consoles with trees of their own.
  explicit DevPortLister(std::string root = "/dev", SerialNodeProbe probe = is_present_serial_node,
                         SystemRoots consoles = {});
  // Names relative to the root ("ttyUSB0"), unsorted; an unreadable root
  // gives its errno value. Consoles are left out before the probe looks.
  int list(std::vector<std::string>& names) override;
  // The device file the name opens (COMn is ttyS(n-1)), with links followed
  // when it exists: a udev link and its device are one port.
  std::string device_of(const std::string& port) override;

 private:
  std::string root_;
  SerialNodeProbe probe_;
  SystemRoots consoles_;
};

// The program's lister, over /dev.
DevPortLister& posix_port_lister();

}  // namespace serial
