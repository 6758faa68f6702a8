#include "serial/posix/posix_serial_device.h"

#include "serial/posix/line_settings.h"
#include "serial/posix/transfer_timeouts.h"
#include "serial/posix/transfer_wait.h"

#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace serial {
namespace {

int set_modem_bits(int fd, unsigned long request, int bits) { return ::ioctl(fd, request, &bits) == 0 ? 0 : errno; }

}  // namespace

std::unique_ptr<PosixSerialDevice> PosixSerialDevice::adopt(common::UniqueFd fd, int& error, const termios* original) {
  std::unique_ptr<PosixSerialDevice> device(new PosixSerialDevice(std::move(fd)));
  if (original) device->original_ = *original;
  error = device->init();
  if (error != 0) return nullptr;
  return device;
}

PosixSerialDevice::PosixSerialDevice(common::UniqueFd fd)
    : fd_(std::move(fd)), input_(fd_.get()), waiter_(fd_.get(), input_) {}

PosixSerialDevice::~PosixSerialDevice() {
  // At once, not after the output drains: a line held up by its flow
  // control would keep the closing thread for good. A vanished device
  // refuses, which changes nothing.
  if (original_) ::tcsetattr(fd_.get(), TCSANOW, &*original_);
  // The exclusive flag belongs to the tty, not to this descriptor, and a pty
  // keeps its tty while the master end stays open: left set, it would refuse
  // the next open, ours included, to anyone but root.
  ::ioctl(fd_.get(), TIOCNXCL);
}

int PosixSerialDevice::init() {
  if (int error = rx_abort_.init()) return error;
  if (int error = tx_abort_.init()) return error;
  if (int error = input_.init()) return error;
  if (int error = waiter_.init()) return error;
  int error = read_line_counts(fd_.get(), reported_counts_);
  if (error != 0 && error != ENOTTY) return error;
  counters_supported_ = error == 0;
  return 0;
}

int PosixSerialDevice::setup_queues(int input_size, int output_size) {
  if (input_size < 0 || output_size < 0) return EINVAL;
  input_.set_capacity(static_cast<size_t>(input_size));
  return 0;
}

int PosixSerialDevice::set_state(const Dcb& dcb) {
  termios current{};
  if (::tcgetattr(fd_.get(), &current) != 0) return errno;
  LineSettings settings;
  if (int error = line_settings_from_dcb(dcb, current, settings)) return error;
  if (int error = apply_line_settings(fd_.get(), settings)) return error;
  input_.set_rules(settings.receive);
  waiter_.set_byte_time_us(settings.byte_time_us);
  return 0;
}

int PosixSerialDevice::set_timeouts(const CommTimeouts& timeouts) {
  timeouts_.set(timeouts);
  return 0;
}

int PosixSerialDevice::clear_error(uint32_t& errors, uint32_t& in_queue, uint32_t& out_queue) {
  errors = in_queue = out_queue = 0;
  size_t queued_in = 0;
  if (int error = input_.queued(queued_in)) return error;
  in_queue = static_cast<uint32_t>(queued_in);
  int queued = 0;
  if (::ioctl(fd_.get(), TIOCOUTQ, &queued) != 0) return errno;
  out_queue = static_cast<uint32_t>(queued);
  if (input_.take_overflow()) errors |= LineError::RxOver;
  if (counters_supported_) {
    LineCounts now;
    if (int error = read_line_counts(fd_.get(), now)) return error;
    errors |= line_errors_between(reported_counts_, now);
    reported_counts_ = now;
  }
  return 0;
}

int PosixSerialDevice::modem_status(uint32_t& lines) {
  lines = 0;
  int bits = 0;
  if (::ioctl(fd_.get(), TIOCMGET, &bits) != 0) {
    // A pty has no modem lines: none is up. EIO, ENODEV: the device is gone.
    return errno == ENOTTY || errno == EINVAL ? 0 : errno;
  }
  if (bits & TIOCM_CTS) lines |= ModemLine::Cts;
  if (bits & TIOCM_DSR) lines |= ModemLine::Dsr;
  if (bits & TIOCM_RNG) lines |= ModemLine::Ring;
  if (bits & TIOCM_CD) lines |= ModemLine::Rlsd;
  return 0;
}

int PosixSerialDevice::purge(uint32_t flags) {
  // The aborts touch only the layer's own tickets, so closing the port works
  // even when the device has vanished.
  if (flags & Purge::TxAbort) {
    if (int error = tx_abort_.abort()) return error;
  }
  if (flags & Purge::RxAbort) {
    if (int error = rx_abort_.abort()) return error;
  }
  bool input = flags & Purge::RxClear, output = flags & Purge::TxClear;
  if (!input && !output) return 0;
  if (input) input_.clear();
  int queue = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
  return ::tcflush(fd_.get(), queue) == 0 ? 0 : errno;
}

int PosixSerialDevice::escape(int function) {
  int fd = fd_.get();
  switch (function) {
    case Escape::SetXoff:
      return ::tcflow(fd, TCOOFF) == 0 ? 0 : errno;
    case Escape::SetXon:
      return ::tcflow(fd, TCOON) == 0 ? 0 : errno;
    case Escape::SetRts:
      return set_modem_bits(fd, TIOCMBIS, TIOCM_RTS);
    case Escape::ClrRts:
      return set_modem_bits(fd, TIOCMBIC, TIOCM_RTS);
    case Escape::SetDtr:
      return set_modem_bits(fd, TIOCMBIS, TIOCM_DTR);
    case Escape::ClrDtr:
      return set_modem_bits(fd, TIOCMBIC, TIOCM_DTR);
    case Escape::SetBreak:
      return ::ioctl(fd, TIOCSBRK) == 0 ? 0 : errno;
    case Escape::ClrBreak:
      return ::ioctl(fd, TIOCCBRK) == 0 ? 0 : errno;
    default:
      return EINVAL;
  }
}

int PosixSerialDevice::transmit_char(char c) {
  // A tty has no priority lane but for its own START/STOP characters: the
  // byte goes straight to the driver, ahead of whatever a write in flight
  // still holds back, behind what the driver has queued already.
  ssize_t written = ::write(fd_.get(), &c, 1);
  if (written < 0) return errno;
  if (written == 0) return EAGAIN;
  waiter_.note_output();
  return 0;
}

int PosixSerialDevice::read(void* buffer, int count, int& done) {
  return read_queued(input_, fd_.get(), rx_abort_, timeouts_.now(), buffer, count, done);
}

int PosixSerialDevice::write(const void* buffer, int count, int& done, const std::function<void()>& started) {
  done = 0;
  if (count < 0) return EINVAL;
  if (count == 0) return 0;
  const TransferAbort::Ticket ticket = tx_abort_.enter();
  const auto deadline = after(TransferClock::now(), write_limit_ms(timeouts_.now(), count));
  const auto* bytes = static_cast<const char*>(buffer);
  bool under_way = false;
  int error = 0;
  while (done < count) {
    ssize_t put = ::write(fd_.get(), bytes + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno != EAGAIN) {
      error = errno;
      break;
    }
    // The driver took bytes, or has them wait for room: the write is under way.
    if (!under_way) {
      under_way = true;
      if (started) started();
    }
    if (put > 0) {
      done += static_cast<int>(put);
      continue;
    }
    // The driver's queue is full: wait for room, within the write's time limit.
    int timeout_ms = poll_timeout({deadline});
    if (timeout_ms == 0) break;
    Wake wake = wait_ready(fd_.get(), POLLOUT, ticket->get(), timeout_ms, error);
    if (wake == Wake::Aborted || wake == Wake::Failed) break;
    if (wake == Wake::Gone) {
      error = EIO;
      break;
    }
  }
  if (done > 0) waiter_.note_output();
  return error;
}

int PosixSerialDevice::set_event_mask(uint32_t mask) { return waiter_.set_mask(mask); }

int PosixSerialDevice::wait_event(uint32_t& events) { return waiter_.wait(events); }

void PosixSerialDevice::cancel_wait() { waiter_.cancel(); }

}  // namespace serial
