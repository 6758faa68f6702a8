// The port's device opened away from the window's thread. Opening a tty looks
// through every process's open files for another holder (tens of
// milliseconds on a busy machine, more where processes hold many files), and
// opening gpsd waits on its name and its connection: on the window's thread,
// each connection attempt (every 3 seconds while a receiver is away) would
// hold the window. The device opener runs in the background; back on the
// window's thread, the port's own open takes the device it opened and goes
// the usual way (settings, event thread, OnAfterOpen, its exceptions)
// without waiting on anything.
#pragma once

#include "serial/background_work.h"
#include "serial/serial_device.h"

#include <functional>
#include <memory>
#include <string>

namespace acquisition {

class PortOpening {
 public:
  // `devices` opens the devices, in the background; both must outlive the
  // work under way (the background work waits for it when destroyed).
  PortOpening(serial::SerialDeviceOpener& devices, serial::BackgroundWork& background);
  // What is under way is closed once opened, and its `ready` never called.
  ~PortOpening();
  PortOpening(const PortOpening&) = delete;
  PortOpening& operator=(const PortOpening&) = delete;

  // The opener to build the port on. Its open of the name just prepared
  // (inside `ready`) hands over the device prepared, or fails with the
  // prepared error; any other open (the port reopening by itself on a new
  // name) goes to `devices` at once.
  serial::SerialDeviceOpener& opener();

  bool under_way() const { return pending_ != nullptr; }
  // Opens `port` in the background, then calls `ready(port)` on this thread.
  // One at a time: call only when nothing is under way. A device that
  // `ready` leaves to the port is closed.
  void start(const std::string& port, std::function<void(const std::string& port)> ready);
  // What is under way is closed once opened, and its `ready` never called.
  void cancel();

 private:
  struct Job;
  class Handover;

  serial::BackgroundWork& background_;
  std::unique_ptr<Handover> handover_;
  std::shared_ptr<Job> pending_;
};

}  // namespace acquisition
