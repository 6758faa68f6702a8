// gpsd beside the serial ports: port names "gpsd://..." (gpsd_address.h)
// open a connection to gpsd, every other name a serial device; the port list
// offers the local gpsd when one answers. The serial path is untouched when
// no gpsd name is chosen.
#pragma once

#include "serial/gpsd/gpsd_address.h"
#include "serial/serial_device.h"

#include <chrono>
#include <optional>

namespace serial {

class GpsdDeviceOpener final : public SerialDeviceOpener {
 public:
  // `serial` opens every name that is no gpsd name; it must outlive this.
  explicit GpsdDeviceOpener(SerialDeviceOpener& serial) : serial_(serial) {}
  // A malformed gpsd name fails with EINVAL.
  std::unique_ptr<SerialDevice> open(const std::string& port, int& error) override;

 private:
  SerialDeviceOpener& serial_;
};

class GpsdPortLister final : public PortLister {
 public:
  // The check keeps the window waiting at most this long, when something
  // listens at the address without greeting.
  static constexpr std::chrono::milliseconds kAnswerBudget{100};

  // `serial` lists the serial ports and must outlive this; tests give a gpsd
  // of their own at `local`.
  explicit GpsdPortLister(PortLister& serial, GpsdAddress local = {});
  // The serial ports, then the local gpsd's name ("gpsd://localhost:2947")
  // when a gpsd answers there now. A failed serial listing fails the whole.
  int list(std::vector<std::string>& names) override;
  // gpsd names spelt in full ("gpsd://" is "gpsd://localhost:2947"), so that
  // a port given either name finds the listed entry; others as `serial` says.
  std::string device_of(const std::string& port) override;

 private:
  PortLister& serial_;
  GpsdAddress local_;
  std::optional<bool> local_answered_;  // at the last listing; logged when it changes
};

}  // namespace serial
