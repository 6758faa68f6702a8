#include "serial/gpsd/gpsd_ports.h"

#include "serial/gpsd/gpsd_connection.h"
#include "serial/gpsd/gpsd_log.h"
#include "serial/gpsd/gpsd_serial_device.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace serial {

std::unique_ptr<SerialDevice> GpsdDeviceOpener::open(const std::string& port, int& error) {
  if (!is_gpsd_port(port)) return serial_.open(port, error);
  const std::optional<GpsdAddress> address = parse_gpsd_port(port);
  if (!address) {
    error = EINVAL;
    return nullptr;
  }
  std::unique_ptr<GpsdSerialDevice> device = GpsdSerialDevice::connect(*address, error);
  if (device)
    qCDebug(gpsd_log, "connected to %s", port.c_str());
  else
    qCDebug(gpsd_log, "no connection to %s: %s (errno %d)", port.c_str(), std::strerror(error), error);
  return device;
}

GpsdPortLister::GpsdPortLister(PortLister& serial, GpsdAddress local) : serial_(serial), local_(std::move(local)) {}

int GpsdPortLister::list(std::vector<std::string>& names) {
  if (int error = serial_.list(names)) return error;
  const bool answers = gpsd_answers(local_, kAnswerBudget);
  if (answers) names.push_back(gpsd_port_name(local_));
  if (answers != local_answered_.value_or(!answers))
    qCDebug(gpsd_log, "%s %s", gpsd_port_name(local_).c_str(),
            answers ? "answers: listed" : "does not answer: not listed");
  local_answered_ = answers;
  return 0;
}

std::string GpsdPortLister::device_of(const std::string& port) {
  if (!is_gpsd_port(port)) return serial_.device_of(port);
  const std::optional<GpsdAddress> address = parse_gpsd_port(port);
  return address ? gpsd_port_name(*address) : port;
}

}  // namespace serial
