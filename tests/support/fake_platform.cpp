#include "support/fake_platform.h"

namespace fake {

std::unique_ptr<serial::SerialDevice> FailingSerialOpener::open(const std::string& port, int& error_out) {
  opened.push_back(port);
  error_out = error;
  return nullptr;
}

int PortList::list(std::vector<std::string>& out) {
  out = names;
  return 0;
}

Platform::Platform(std::string settings_path, std::vector<std::string> port_names)
    : services{devices, ports, power, clock, sound, std::move(settings_path)} {
  ports.names = std::move(port_names);
}

}  // namespace fake
