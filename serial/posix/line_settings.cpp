#include "serial/posix/line_settings.h"

#include "serial/posix/custom_speed.h"

#include <cerrno>
#include <sys/ioctl.h>
#include <utility>

namespace serial {
namespace {

struct StandardSpeed {
  uint32_t rate;
  speed_t constant;
};

constexpr StandardSpeed kStandardSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

const StandardSpeed* standard_speed(uint32_t rate) {
  for (const StandardSpeed& s : kStandardSpeeds) {
    if (s.rate == rate) return &s;
  }
  return nullptr;
}

constexpr uint32_t kRtsEnable = 0x1000;
constexpr uint32_t kRtsHandshake = 0x2000;

}  // namespace

void make_raw(termios& t) {
  // Raw bytes in both directions: no echo, no signals, no line editing, no
  // translation. A break arrives as the NUL byte the UART reads during it:
  // ignoring it would leave an idle line's break unseen by the event wait,
  // which wakes on arrivals.
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IXON | IXOFF | IXANY | IMAXBEL |
                 INPCK | IGNPAR);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOKE | ICANON | ISIG | IEXTEN | NOFLSH | TOSTOP);
  // Whatever the modem lines do, the line stays ours: CLOCAL keeps a dropped
  // carrier from hanging it up, and without HUPCL closing leaves DTR alone.
  t.c_cflag &= ~HUPCL;
  t.c_cflag |= CLOCAL | CREAD;
  // One byte wakes a read; with O_NONBLOCK a read of 0 bytes then only ever
  // means that the device is gone.
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
}

int line_settings_from_dcb(const Dcb& dcb, const termios& current, LineSettings& out) {
  static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > 4 || dcb.StopBits > 2) {
    return EINVAL;
  }
  LineSettings s;
  termios& t = s.tio;
  t = current;
  make_raw(t);
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= kSizes[dcb.ByteSize - 5];

  switch (dcb.Parity) {
    case 1:
      t.c_cflag |= PARENB | PARODD;
      break;
    case 2:
      t.c_cflag |= PARENB;
      break;
    case 3:
      t.c_cflag |= PARENB | CMSPAR | PARODD;
      break;  // mark: stick parity, always 1
    case 4:
      t.c_cflag |= PARENB | CMSPAR;
      break;  // space: stick parity, always 0
    default:
      break;
  }
  // Termios has no 1.5 stop bits; UARTs send 1.5 for CSTOPB with 5-bit bytes
  // and 2 otherwise, which is the nearest the line can do.
  if (dcb.StopBits != 0) t.c_cflag |= CSTOPB;

  // To replace bad bytes, the line discipline marks them (INPCK with PARMRK:
  // 0xFF 0x00 before each, a 0xFF data byte doubled; ISTRIP is off) and the
  // layer puts the replacement in. Checking alone keeps the byte as received
  // and leaves the report to the driver's error counters, which count with or
  // without INPCK.
  s.receive.errors_marked = (dcb.Flags & DcbFlag::ParityCheck) && (dcb.Flags & DcbFlag::ErrorChar);
  if (s.receive.errors_marked) t.c_iflag |= INPCK | PARMRK;
  s.receive.replace_char = dcb.ErrorChar;
  s.receive.event_char = dcb.EvtChar;
  s.receive.discard_null = (dcb.Flags & DcbFlag::Null) != 0;

  if (dcb.Flags & DcbFlag::OutX) t.c_iflag |= IXON;
  if (dcb.Flags & DcbFlag::InX) t.c_iflag |= IXOFF;
  t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
  t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);

  // DTR/DSR handshaking, DSR sensitivity, "continue on XOFF" and the XON/XOFF
  // limits have no termios counterpart; DTR held up is what a peer waiting
  // for the handshake needs.
  s.dtr = (dcb.Flags & DcbFlag::DtrControlMask) == 0 ? 0 : 1;
  switch (dcb.Flags & DcbFlag::RtsControlMask) {
    case kRtsEnable:
      s.rts = 1;
      break;
    case kRtsHandshake:
      // The kernel's CRTSCTS is both directions at once: it needs the output
      // side (CTS) asked for too. Alone, RTS stays up: always ready to receive.
      if (dcb.Flags & DcbFlag::OutxCtsFlow) {
        t.c_cflag |= CRTSCTS;
        s.rts = -1;
      } else {
        s.rts = 1;
      }
      break;
    default:
      s.rts = 0;
      break;  // disable, and toggle: RTS rests low between transmissions
  }

  if (const StandardSpeed* standard = standard_speed(dcb.BaudRate)) {
    // cfsetspeed leaves the input speed field alone: after a custom speed it
    // still says "other" and keeps the input at that rate. Cleared, the input
    // follows the output.
    t.c_cflag &= ~CIBAUD;
    cfsetspeed(&t, standard->constant);
  } else {
    s.custom_rate = dcb.BaudRate;
  }

  int bits = 1 + dcb.ByteSize + (dcb.Parity != 0 ? 1 : 0) + (dcb.StopBits != 0 ? 2 : 1);
  s.byte_time_us = static_cast<int64_t>(bits) * 1000000 / dcb.BaudRate;
  out = s;
  return 0;
}

int apply_line_settings(int fd, const LineSettings& settings) {
  if (settings.custom_rate != 0) {
    if (int error = set_termios_with_speed(fd, settings.tio, settings.custom_rate)) return error;
  } else if (::tcsetattr(fd, TCSANOW, &settings.tio) != 0) {
    return errno;
  }
  int raise = 0, drop = 0;
  if (settings.dtr >= 0) (settings.dtr ? raise : drop) |= TIOCM_DTR;
  if (settings.rts >= 0) (settings.rts ? raise : drop) |= TIOCM_RTS;
  for (auto [request, bits] : {std::pair{TIOCMBIS, raise}, std::pair{TIOCMBIC, drop}}) {
    if (bits == 0 || ::ioctl(fd, request, &bits) == 0) continue;
    if (errno != ENOTTY && errno != EINVAL) return errno;  // ENOTTY, EINVAL: no modem lines
  }
  return 0;
}

}  // namespace serial
