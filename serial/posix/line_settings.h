// Translation of a device control block into the tty's termios and modem
// line levels, and applying the result to an open tty.
#pragma once

#include "serial/posix/receive_decoder.h"
#include "serial/serial_device.h"

#include <cstdint>
#include <termios.h>

namespace serial {

struct LineSettings {
  termios tio{};
  // The rate when it has no Bxxx constant (then set through termios2), else 0.
  uint32_t custom_rate = 0;
  // Level to drive DTR / RTS to: 1 raise, 0 drop, -1 leave to the driver
  // (RTS under hardware flow control).
  int dtr = -1;
  int rts = -1;
  // What the layer does to received bytes that the line discipline cannot.
  ReceiveRules receive;
  // Time one character takes on the line, start and stop bits included.
  int64_t byte_time_us = 0;
};

// Makes `t` a raw line owned by the program (no echo, no line editing, no
// translation, no hang-up on close, reads woken by one byte), leaving its
// speed, character size and parity as they are.
void make_raw(termios& t);

// Builds the settings for `dcb` on top of the tty's `current` termios.
// Returns 0, or EINVAL for a rate, size, parity or stop bits the line cannot take.
int line_settings_from_dcb(const Dcb& dcb, const termios& current, LineSettings& out);

// Applies termios, speed and modem line levels at once; returns 0 or an errno value.
// A tty without modem lines (a pty) takes the termios and ignores the levels.
int apply_line_settings(int fd, const LineSettings& settings);

}  // namespace serial
