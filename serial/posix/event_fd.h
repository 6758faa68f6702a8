// Wake-up counters (eventfd) that a poll can wait on next to the device.
#pragma once

#include "common/unique_fd.h"

namespace serial {

// Creates a non-blocking wake-up counter; returns 0 or an errno value.
int make_event_fd(common::UniqueFd& fd);
// Makes the counter readable until drained.
void signal_event_fd(int fd);
// Consumes every pending signal.
void drain_event_fd(int fd);

}  // namespace serial
