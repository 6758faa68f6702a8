#include "acquisition/port_opening.h"

#include <utility>

namespace acquisition {

// Written by the background work, read on the window's thread once it is
// handed back; `cancelled` is the window's thread's alone.
struct PortOpening::Job {
  std::string port;
  std::unique_ptr<serial::SerialDevice> device;
  int error = 0;
  bool cancelled = false;
};

class PortOpening::Handover final : public serial::SerialDeviceOpener {
 public:
  explicit Handover(serial::SerialDeviceOpener& devices) : devices_(devices) {}

  serial::SerialDeviceOpener& devices() { return devices_; }

  std::unique_ptr<serial::SerialDevice> open(const std::string& port, int& error) override {
    if (held_ == nullptr || held_->port != port) return devices_.open(port, error);
    error = held_->error;
    Job* job = std::exchange(held_, nullptr);
    return std::move(job->device);
  }

  // The job whose device the port's next open of its name takes.
  Job* held_ = nullptr;

 private:
  serial::SerialDeviceOpener& devices_;
};

PortOpening::PortOpening(serial::SerialDeviceOpener& devices, serial::BackgroundWork& background)
    : background_(background), handover_(std::make_unique<Handover>(devices)) {}

PortOpening::~PortOpening() { cancel(); }

serial::SerialDeviceOpener& PortOpening::opener() { return *handover_; }

void PortOpening::cancel() {
  if (pending_) pending_->cancelled = true;
  pending_.reset();
}

void PortOpening::start(const std::string& port, std::function<void(const std::string& port)> ready) {
  auto job = std::make_shared<Job>();
  job->port = port;
  pending_ = job;
  background_.run([job, &devices = handover_->devices()] { job->device = devices.open(job->port, job->error); },
                  [this, job, ready = std::move(ready)] {
                    // Cancelled: this may be gone already. The device goes
                    // with the job, closed.
                    if (job->cancelled) return;
                    pending_.reset();
                    Job* const before = std::exchange(handover_->held_, job.get());
                    struct Restore {
                      Handover& handover;
                      Job* before;
                      ~Restore() { handover.held_ = before; }
                    } restore{*handover_, before};
                    ready(job->port);
                  });
}

}  // namespace acquisition
