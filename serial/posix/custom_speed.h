// Any line speed in bits per second, through the kernel's termios2 record:
// speeds without a Bxxx constant (31250, 14400, 56000 …) can only be set so.
#pragma once

#include <cstdint>
#include <termios.h>

namespace serial {

// Applies `tio` at once with both speeds set to `rate`; returns 0 or an errno value.
int set_termios_with_speed(int fd, const termios& tio, uint32_t rate);
// Reads the input and output speeds; returns 0 or an errno value.
int read_speeds(int fd, uint32_t& input, uint32_t& output);

}  // namespace serial
