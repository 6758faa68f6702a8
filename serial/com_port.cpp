#include "serial/com_port.h"

#include <stdexcept>

namespace serial {

TCustomComPort::TCustomComPort(SerialDeviceOpener& devices) : devices_(devices) {}

TCustomComPort::~TCustomComPort() { Close(); }

void TCustomComPort::SetConnected(bool value) {
  if (value) Open();
  else Close();
}

void TCustomComPort::Open() {
  if (connected_) return;
  int error = 0;
  device_ = devices_.open(port_, error);
  if (!device_) throw std::runtime_error("Unable to open com port (win error code: " + std::to_string(error) + ")");
  connected_ = true;
}

void TCustomComPort::Close() {
  if (!connected_) return;
  device_.reset();
  connected_ = false;
}

void TCustomComPort::SetPort(const std::string& value) { port_ = value; }
void TCustomComPort::SetBaudRate(TBaudRate value) { baud_rate_ = value; }

int TCustomComPort::ReadText(std::string& text, int count) {
  text.assign(count > 0 ? count : 0, '\0');
  if (count <= 0) return 0;
  int done = 0;
  if (device_->read(text.data(), count, done) != 0) throw std::runtime_error("ReadFile function failed");
  text.resize(done);
  return done;
}

}  // namespace serial
