// The device operations the serial port component is built on: one open serial
// device, driven with the records and bit values the port logic speaks in.
// serial/posix/ provides the Linux implementation; tests use a fake.
#pragma once

#include <cerrno>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace serial {

// Device control block: the whole line state applied at once.
struct Dcb {
  uint32_t DCBlength = 0;
  uint32_t BaudRate = 0;
  uint32_t Flags = 0;  // see DcbFlag
  uint16_t XonLim = 0;
  uint16_t XoffLim = 0;
  uint8_t ByteSize = 0;  // 5..8
  uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
  char XonChar = 0;
  char XoffChar = 0;
  char ErrorChar = 0;
  char EofChar = 0;
  char EvtChar = 0;
};

namespace DcbFlag {
constexpr uint32_t Binary = 0x0001;
constexpr uint32_t ParityCheck = 0x0002;
constexpr uint32_t OutxCtsFlow = 0x0004;
constexpr uint32_t OutxDsrFlow = 0x0008;
constexpr uint32_t DtrControlMask = 0x0030;  // 0x10 enable, 0x20 handshake
constexpr uint32_t DsrSensitivity = 0x0040;
constexpr uint32_t TxContinueOnXoff = 0x0080;
constexpr uint32_t OutX = 0x0100;
constexpr uint32_t InX = 0x0200;
constexpr uint32_t ErrorChar = 0x0400;
constexpr uint32_t Null = 0x0800;
constexpr uint32_t RtsControlMask = 0x3000;  // 0x1000 enable, 0x2000 handshake, 0x3000 toggle
}  // namespace DcbFlag

// Timeouts in milliseconds, in the device record's order. ReadInterval -1
// (all bits set) with both read totals 0 makes a read return at once with what
// is queued.
struct CommTimeouts {
  int32_t ReadInterval = -1;
  int32_t ReadTotalMultiplier = 0;
  int32_t ReadTotalConstant = 0;
  int32_t WriteTotalMultiplier = 100;
  int32_t WriteTotalConstant = 1000;
};

// Line error bits returned by clear_error.
namespace LineError {
constexpr uint32_t RxOver = 0x0001;
constexpr uint32_t Overrun = 0x0002;
constexpr uint32_t RxParity = 0x0004;
constexpr uint32_t Frame = 0x0008;
constexpr uint32_t Break = 0x0010;
constexpr uint32_t TxFull = 0x0100;
constexpr uint32_t IoError = 0x0400;
constexpr uint32_t Mode = 0x8000;
}  // namespace LineError

// Modem input lines returned by modem_status.
namespace ModemLine {
constexpr uint32_t Cts = 0x10;
constexpr uint32_t Dsr = 0x20;
constexpr uint32_t Ring = 0x40;
constexpr uint32_t Rlsd = 0x80;
}  // namespace ModemLine

// Device event bits for set_event_mask / wait_event.
namespace EventBit {
constexpr uint32_t RxChar = 0x0001;
constexpr uint32_t RxFlag = 0x0002;
constexpr uint32_t TxEmpty = 0x0004;
constexpr uint32_t Cts = 0x0008;
constexpr uint32_t Dsr = 0x0010;
constexpr uint32_t Rlsd = 0x0020;
constexpr uint32_t Break = 0x0040;
constexpr uint32_t Error = 0x0080;
constexpr uint32_t Ring = 0x0100;
constexpr uint32_t Rx80Full = 0x0400;
}  // namespace EventBit

// purge flags.
namespace Purge {
constexpr uint32_t TxAbort = 1;
constexpr uint32_t RxAbort = 2;
constexpr uint32_t TxClear = 4;
constexpr uint32_t RxClear = 8;
}  // namespace Purge

// escape functions.
namespace Escape {
constexpr int SetXoff = 1;
constexpr int SetXon = 2;
constexpr int SetRts = 3;
constexpr int ClrRts = 4;
constexpr int SetDtr = 5;
constexpr int ClrDtr = 6;
constexpr int SetBreak = 8;
constexpr int ClrBreak = 9;
}  // namespace Escape

// One open device. Every operation returns 0 on success or an errno value.
// Reads, writes and one wait_event may be in flight on different threads at the
// same time; the other operations come from the thread that owns the port.
class SerialDevice {
 public:
  virtual ~SerialDevice() = default;

  virtual int setup_queues(int input_size, int output_size) = 0;
  virtual int set_state(const Dcb& dcb) = 0;
  virtual int set_timeouts(const CommTimeouts& timeouts) = 0;
  // Returns and clears the line errors raised since the last call, and the
  // current queue lengths.
  virtual int clear_error(uint32_t& errors, uint32_t& in_queue, uint32_t& out_queue) = 0;
  virtual int modem_status(uint32_t& lines) = 0;
  // Abort flags end reads and writes in flight (they return with what they
  // moved so far); clear flags discard queued data.
  virtual int purge(uint32_t flags) = 0;
  virtual int escape(int function) = 0;
  virtual int transmit_char(char c) = 0;

  // Blocking transfers, bounded by the timeouts in force. A write calls
  // `started` (when set) once, on the writing thread, as soon as the driver
  // has taken its first bytes or has them wait for room; a write that fails
  // before that never calls it.
  virtual int read(void* buffer, int count, int& done) = 0;
  virtual int write(const void* buffer, int count, int& done, const std::function<void()>& started) = 0;

  // Changing the mask ends a wait_event in progress, which then returns 0 with
  // events 0; so does cancel_wait, which also ends the next wait at once when
  // no wait is in progress, unless the mask is set before that wait. A
  // vanished device makes wait_event fail (see DeviceGone) instead of waking
  // forever.
  virtual int set_event_mask(uint32_t mask) = 0;
  virtual int wait_event(uint32_t& events) = 0;
  virtual void cancel_wait() = 0;
};

// Whether an errno value from a device operation means that the device has
// gone away (an unplugged adapter, a closed pty master) and will not return
// under this handle.
inline bool DeviceGone(int error) { return error == EIO || error == ENODEV || error == ENXIO; }

// Opens devices by the port's name ("COM1", "ttyUSB0", "/dev/pts/3").
class SerialDeviceOpener {
 public:
  virtual ~SerialDeviceOpener() = default;
  // Returns the device, or null with `error` set to an errno value.
  virtual std::unique_ptr<SerialDevice> open(const std::string& port, int& error) = 0;
};

// Lists the machine's serial ports, names as the port accepts them.
class PortLister {
 public:
  virtual ~PortLister() = default;
  // Returns 0 and fills `names` (unsorted), or an errno value.
  virtual int list(std::vector<std::string>& names) = 0;
  // The device that a port name opens, spelt so that every name of one
  // device gives the same text ("COM1" and the listed "ttyS0"): a selector
  // finds the entry of the port's device whatever name the port was given.
  virtual std::string device_of(const std::string& port) = 0;
};

}  // namespace serial
