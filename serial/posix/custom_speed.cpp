#include "serial/posix/custom_speed.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <sys/ioctl.h>

namespace serial {
namespace {

// The kernel's struct termios2 (asm/termbits.h), declared here because that
// header clashes with glibc's <termios.h>. Its flag fields and the first 19
// control characters use the same bits and indexes as glibc's termios.
struct KernelTermios2 {
  tcflag_t c_iflag;
  tcflag_t c_oflag;
  tcflag_t c_cflag;
  tcflag_t c_lflag;
  cc_t c_line;
  cc_t c_cc[19];
  speed_t c_ispeed;
  speed_t c_ospeed;
};

constexpr unsigned long kGetTermios2 = _IOR('T', 0x2A, KernelTermios2);
constexpr unsigned long kSetTermios2 = _IOW('T', 0x2B, KernelTermios2);
constexpr tcflag_t kOtherSpeed = 0010000;  // BOTHER: the speed is in c_ispeed / c_ospeed
constexpr int kInputSpeedShift = 16;       // IBSHIFT: CBAUD bits for the input speed

}  // namespace

int set_termios_with_speed(int fd, const termios& tio, uint32_t rate) {
  KernelTermios2 t2{};
  if (::ioctl(fd, kGetTermios2, &t2) != 0) return errno;
  t2.c_iflag = tio.c_iflag;
  t2.c_oflag = tio.c_oflag;
  t2.c_lflag = tio.c_lflag;
  t2.c_cflag = tio.c_cflag & ~(CBAUD | (CBAUD << kInputSpeedShift));
  t2.c_cflag |= kOtherSpeed | (kOtherSpeed << kInputSpeedShift);
  std::copy_n(tio.c_cc, std::size(t2.c_cc), t2.c_cc);
  t2.c_ispeed = rate;
  t2.c_ospeed = rate;
  if (::ioctl(fd, kSetTermios2, &t2) != 0) return errno;
  return 0;
}

int read_speeds(int fd, uint32_t& input, uint32_t& output) {
  KernelTermios2 t2{};
  if (::ioctl(fd, kGetTermios2, &t2) != 0) return errno;
  input = t2.c_ispeed;
  output = t2.c_ospeed;
  return 0;
}

}  // namespace serial
