#include "serial/gpsd/gpsd_serial_device.h"

#include "serial/gpsd/gpsd_connection.h"
#include "serial/gpsd/gpsd_log.h"
#include "serial/posix/transfer_wait.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>

namespace serial {
namespace {

// Errors with which a connection ends for good: gpsd or its host went away.
bool connection_lost(int error) {
  switch (error) {
    case ECONNRESET:
    case ECONNABORTED:
    case ETIMEDOUT:
    case EPIPE:
    case EHOSTUNREACH:
    case ENETUNREACH:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::unique_ptr<GpsdSerialDevice> GpsdSerialDevice::connect(const GpsdAddress& address, int& error) {
  common::UniqueFd socket;
  error = connect_gpsd(address, kConnectTimeout, socket);
  if (error == 0) error = watch_nmea(socket.get());
  // A connection that the peer drops at once is no more an open than one it
  // refuses, and is said the same way.
  if (error == ECONNRESET || error == ECONNABORTED || error == EPIPE) error = ECONNREFUSED;
  if (error != 0) return nullptr;
  std::unique_ptr<GpsdSerialDevice> device(new GpsdSerialDevice(std::move(socket)));
  error = device->init();
  if (error != 0) return nullptr;
  return device;
}

GpsdSerialDevice::GpsdSerialDevice(common::UniqueFd socket)
    : socket_(std::move(socket)),
      input_(socket_.get(), [this](int fd, char* buffer, size_t size) { return read_sentences(fd, buffer, size); }),
      waiter_(socket_.get(), input_) {}

int GpsdSerialDevice::init() {
  if (int error = rx_abort_.init()) return error;
  if (int error = input_.init()) return error;
  return waiter_.init();
}

ssize_t GpsdSerialDevice::read_sentences(int fd, char* buffer, size_t size) {
  const ssize_t got = ::recv(fd, buffer, size, MSG_DONTWAIT);
  const int error = got < 0 ? errno : 0;
  if (got < 0 && (error == EINTR || !connection_lost(error))) return -1;
  if (got <= 0) {
    if (!end_logged_)
      qCDebug(gpsd_log, "gpsd ended the connection%s%s", error ? ": " : "", error ? std::strerror(error) : "");
    end_logged_ = true;
    return 0;
  }
  if (const size_t kept = filter_.filter(buffer, static_cast<size_t>(got))) return static_cast<ssize_t>(kept);
  // A read of nothing but reports is no arrival, and no end either: the
  // queue asks again, within its budget (an endless report must not hold
  // the reading thread).
  errno = EINTR;
  return -1;
}

int GpsdSerialDevice::setup_queues(int input_size, int output_size) {
  if (input_size < 0 || output_size < 0) return EINVAL;
  input_.set_capacity(static_cast<size_t>(input_size));
  return 0;
}

int GpsdSerialDevice::set_state(const Dcb&) { return 0; }

int GpsdSerialDevice::set_timeouts(const CommTimeouts& timeouts) {
  timeouts_.set(timeouts);
  return 0;
}

int GpsdSerialDevice::clear_error(uint32_t& errors, uint32_t& in_queue, uint32_t& out_queue) {
  errors = in_queue = out_queue = 0;
  size_t queued = 0;
  if (int error = input_.queued(queued)) return error;
  in_queue = static_cast<uint32_t>(queued);
  if (input_.take_overflow()) errors |= LineError::RxOver;
  return 0;
}

int GpsdSerialDevice::modem_status(uint32_t& lines) {
  lines = 0;
  // No lines, but the question whether the device is still there (the
  // port's event thread asks it so, after a failed step) gets its answer:
  // gone once a read found the connection lost. The socket itself is not
  // asked: a connection reset right after it opened would fail the open's
  // own look at the lines, where the event wait reports it as the vanished
  // device it is.
  return input_.gone() ? EIO : 0;
}

int GpsdSerialDevice::purge(uint32_t flags) {
  if (flags & Purge::RxAbort) {
    if (int error = rx_abort_.abort()) return error;
  }
  if (flags & Purge::RxClear) input_.clear();
  return 0;
}

int GpsdSerialDevice::escape(int function) {
  switch (function) {
    case Escape::SetXoff:
    case Escape::SetXon:
    case Escape::SetRts:
    case Escape::ClrRts:
    case Escape::SetDtr:
    case Escape::ClrDtr:
    case Escape::SetBreak:
    case Escape::ClrBreak:
      return 0;
    default:
      return EINVAL;
  }
}

int GpsdSerialDevice::transmit_char(char) { return EOPNOTSUPP; }

int GpsdSerialDevice::read(void* buffer, int count, int& done) {
  return read_queued(input_, socket_.get(), rx_abort_, timeouts_.now(), buffer, count, done);
}

int GpsdSerialDevice::write(const void*, int count, int& done, const std::function<void()>&) {
  done = 0;
  if (count < 0) return EINVAL;
  return count == 0 ? 0 : EOPNOTSUPP;
}

int GpsdSerialDevice::set_event_mask(uint32_t mask) { return waiter_.set_mask(mask); }

int GpsdSerialDevice::wait_event(uint32_t& events) { return waiter_.wait(events); }

void GpsdSerialDevice::cancel_wait() { waiter_.cancel(); }

}  // namespace serial
