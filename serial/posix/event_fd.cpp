#include "serial/posix/event_fd.h"

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>

namespace serial {

int make_event_fd(common::UniqueFd& fd) {
  int raw = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (raw < 0) return errno;
  fd.reset(raw);
  return 0;
}

void signal_event_fd(int fd) {
  // Only fails when the counter would overflow, and then it is readable anyway.
  eventfd_write(fd, 1);
}

void drain_event_fd(int fd) {
  eventfd_t ignored;
  eventfd_read(fd, &ignored);
}

}  // namespace serial
