// The serial port component: settings, device life, events and transfers.
//
// NOTE: minimal first cut used by the main window (open, close, read). The
// serial work completes this class.
#pragma once

#include "serial/com_types.h"
#include "serial/serial_device.h"

#include <functional>
#include <memory>
#include <string>

namespace serial {

class TCustomComPort;
using TNotifyEvent = std::function<void(TCustomComPort* sender)>;
using TRxCharEvent = std::function<void(TCustomComPort* sender, int count)>;
using TComErrorEvent = std::function<void(TCustomComPort* sender, TComErrors errors)>;

class TCustomComPort {
 public:
  explicit TCustomComPort(SerialDeviceOpener& devices);
  virtual ~TCustomComPort();
  TCustomComPort(const TCustomComPort&) = delete;
  TCustomComPort& operator=(const TCustomComPort&) = delete;

  bool Connected() const { return connected_; }
  void SetConnected(bool value);
  void Open();
  void Close();

  const std::string& Port() const { return port_; }
  void SetPort(const std::string& value);
  TBaudRate BaudRate() const { return baud_rate_; }
  void SetBaudRate(TBaudRate value);

  // Reads at most `count` characters; `text` ends holding exactly what was read.
  int ReadText(std::string& text, int count);

  TRxCharEvent OnRxChar;
  TComErrorEvent OnError;

 private:
  SerialDeviceOpener& devices_;
  std::unique_ptr<SerialDevice> device_;
  bool connected_ = false;
  std::string port_ = "COM1";
  TBaudRate baud_rate_ = br9600;
};

class TComPort : public TCustomComPort {
 public:
  using TCustomComPort::TCustomComPort;
};

}  // namespace serial
