// One open serial tty, driven through termios, ioctl and poll.
//
// Transfers run on the caller's thread and wait in poll next to an abort
// ticket, so a purge from another thread ends them with what they moved so
// far. Event waits are the EventWaiter's. Reads are served from the layer's
// own input queue (receive_queue.h), sized by the input queue size; the
// output queue size is only remembered (the kernel's queue has a fixed size).
#pragma once

#include "common/unique_fd.h"
#include "serial/posix/event_waiter.h"
#include "serial/posix/line_counters.h"
#include "serial/posix/receive_queue.h"
#include "serial/posix/transfer_abort.h"
#include "serial/posix/transfer_timeouts.h"
#include "serial/serial_device.h"

#include <memory>
#include <optional>
#include <termios.h>

namespace serial {

class PosixSerialDevice final : public SerialDevice {
 public:
  // Takes over an open tty set up for exclusive use (PosixSerialDeviceOpener
  // does that); returns null with `error` set when the device cannot be served.
  // The line gets `original` back when the device closes, as it was before
  // the program took it (a terminal left raw is no terminal).
  static std::unique_ptr<PosixSerialDevice> adopt(common::UniqueFd fd, int& error, const termios* original = nullptr);
  ~PosixSerialDevice() override;

  int setup_queues(int input_size, int output_size) override;
  int set_state(const Dcb& dcb) override;
  int set_timeouts(const CommTimeouts& timeouts) override;
  int clear_error(uint32_t& errors, uint32_t& in_queue, uint32_t& out_queue) override;
  int modem_status(uint32_t& lines) override;
  int purge(uint32_t flags) override;
  int escape(int function) override;
  int transmit_char(char c) override;
  int read(void* buffer, int count, int& done) override;
  int write(const void* buffer, int count, int& done, const std::function<void()>& started) override;
  int set_event_mask(uint32_t mask) override;
  int wait_event(uint32_t& events) override;
  void cancel_wait() override;

 private:
  explicit PosixSerialDevice(common::UniqueFd fd);
  int init();

  common::UniqueFd fd_;
  std::optional<termios> original_;
  TransferAbort rx_abort_;
  TransferAbort tx_abort_;
  bool counters_supported_ = false;
  LineCounts reported_counts_;  // clear_error's baseline

  SharedTimeouts timeouts_;

  ReceiveQueue input_;

  // Declared last: its modem helper stops before the device closes.
  EventWaiter waiter_;
};

}  // namespace serial
