#include "serial/gpsd/gpsd_ports.h"

#include "serial/gpsd/gpsd_connection.h"
#include "serial/gpsd/gpsd_serial_device.h"

#include <cerrno>
#include <utility>

namespace serial {

std::unique_ptr<SerialDevice> GpsdDeviceOpener::open(const std::string& port, int& error) {
  if (!is_gpsd_port(port)) return serial_.open(port, error);
  const std::optional<GpsdAddress> address = parse_gpsd_port(port);
  if (!address) {
    error = EINVAL;
    return nullptr;
  }
  return GpsdSerialDevice::connect(*address, error);
}

GpsdPortLister::GpsdPortLister(PortLister& serial, GpsdAddress local) : serial_(serial), local_(std::move(local)) {}

int GpsdPortLister::list(std::vector<std::string>& names) {
  if (int error = serial_.list(names)) return error;
  if (gpsd_answers(local_, kAnswerBudget)) names.push_back(gpsd_port_name(local_));
  return 0;
}

std::string GpsdPortLister::device_of(const std::string& port) {
  if (!is_gpsd_port(port)) return serial_.device_of(port);
  const std::optional<GpsdAddress> address = parse_gpsd_port(port);
  return address ? gpsd_port_name(*address) : port;
}

}  // namespace serial
