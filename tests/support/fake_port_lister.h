// A machine whose serial ports the test names.
#pragma once

#include "serial/serial_device.h"

namespace testing_support {

class FakePortLister : public serial::PortLister {
 public:
  int list(std::vector<std::string>& out) override {
    if (error == 0) out = names;
    return error;
  }
  std::string device_of(const std::string& port) override { return port; }
  std::vector<std::string> names{"COM1", "COM2"};
  int error = 0;
};

}  // namespace testing_support
