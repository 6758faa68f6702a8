// How a transfer waits on a device descriptor: in poll, next to an abort
// ticket, within deadlines. The read from a port's input queue is shared by
// every device layer that fills a ReceiveQueue from a descriptor.
#pragma once

#include "serial/posix/receive_queue.h"
#include "serial/posix/transfer_abort.h"
#include "serial/serial_device.h"

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace serial {

using TransferClock = std::chrono::steady_clock;

// Milliseconds a poll may sleep before the earliest of the deadlines,
// rounded up so that it never wakes just short of one; -1 when there is none.
int poll_timeout(std::initializer_list<std::optional<TransferClock::time_point>> deadlines);
// `ms` after `from`; none for a negative `ms` (no limit).
std::optional<TransferClock::time_point> after(TransferClock::time_point from, int64_t ms);

enum class Wake { Ready, Aborted, Gone, Failed };

// Sleeps until the device is ready for `events`, the transfer is aborted,
// `also` (when not -1) becomes readable, or `timeout_ms` passes (Ready then
// too: the caller's retry finds nothing).
Wake wait_ready(int fd, short events, int abort_fd, int timeout_ms, int& error, int also = -1);

// Reads up to `count` bytes of `input` (filled from `device_fd`) within the
// limits of `timeouts`; a purge through `abort` ends it with what it moved.
// Returns 0 or an errno value (EIO once the device has gone).
int read_queued(ReceiveQueue& input, int device_fd, TransferAbort& abort, const CommTimeouts& timeouts, void* buffer,
                int count, int& done);

}  // namespace serial
