// A "serial device" that is a connection to gpsd: what it receives are the
// receivers' NMEA sentences, byte for byte as gpsd relays them, so that the
// port's events, reads and queue behave as with a receiver on a tty. gpsd
// closing the connection (stopped, restarted) is a vanished device.
//
// The socket is served by the same input queue and event wait as a tty
// (serial/posix/): reads, timeouts, purges, RxChar, Rx80Full and the queue's
// overflow behave alike. What a tty has and gpsd does not:
// - line settings (speed, parity, flow control ...) are accepted and change
//   nothing: gpsd drives the receiver's line;
// - there are no modem lines and no line errors;
// - nothing can be sent to the receiver: writes fail with EOPNOTSUPP.
#pragma once

#include "common/unique_fd.h"
#include "serial/gpsd/gpsd_address.h"
#include "serial/gpsd/nmea_stream_filter.h"
#include "serial/posix/event_waiter.h"
#include "serial/posix/receive_queue.h"
#include "serial/posix/transfer_abort.h"
#include "serial/posix/transfer_timeouts.h"
#include "serial/serial_device.h"

#include <chrono>
#include <memory>

namespace serial {

class GpsdSerialDevice final : public SerialDevice {
 public:
  // How long an open may wait for gpsd to accept: a local one answers at
  // once, a remote one within a fraction of this. The program opens in the
  // background, but its next attempt and its close wait for an open under
  // way.
  static constexpr std::chrono::milliseconds kConnectTimeout{1000};

  // Connects and asks for NMEA; returns null with `error` set when gpsd
  // cannot be reached (ECONNREFUSED: nothing listens there).
  static std::unique_ptr<GpsdSerialDevice> connect(const GpsdAddress& address, int& error);

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
  explicit GpsdSerialDevice(common::UniqueFd socket);
  int init();
  // The input queue's reader: the socket's bytes without gpsd's reports.
  ssize_t read_sentences(int fd, char* buffer, size_t size);

  common::UniqueFd socket_;
  NmeaStreamFilter filter_;  // used by the queue's fills, under its lock
  bool end_logged_ = false;  // likewise
  TransferAbort rx_abort_;

  SharedTimeouts timeouts_;

  ReceiveQueue input_;
  EventWaiter waiter_;
};

}  // namespace serial
