#include "serial/posix/transfer_wait.h"

#include "serial/posix/transfer_timeouts.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <poll.h>

namespace serial {

int poll_timeout(std::initializer_list<std::optional<TransferClock::time_point>> deadlines) {
  std::optional<TransferClock::time_point> earliest;
  for (const auto& d : deadlines) {
    if (d && (!earliest || *d < *earliest)) earliest = d;
  }
  if (!earliest) return -1;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(*earliest - TransferClock::now()).count();
  return static_cast<int>(std::clamp<int64_t>(left, 0, INT_MAX));
}

std::optional<TransferClock::time_point> after(TransferClock::time_point from, int64_t ms) {
  if (ms < 0) return std::nullopt;
  // Limits up to 49 days (a record value of -1) stay far from overflowing.
  return from + std::chrono::milliseconds(ms);
}

Wake wait_ready(int fd, short events, int abort_fd, int timeout_ms, int& error, int also) {
  pollfd fds[3] = {{fd, events, 0}, {abort_fd, POLLIN, 0}, {also, POLLIN, 0}};
  if (::poll(fds, also >= 0 ? 3 : 2, timeout_ms) < 0) {
    if (errno == EINTR) return Wake::Ready;
    error = errno;
    return Wake::Failed;
  }
  if (fds[1].revents) return Wake::Aborted;
  if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return Wake::Gone;
  return Wake::Ready;
}

int read_queued(ReceiveQueue& input, int device_fd, TransferAbort& abort, const CommTimeouts& timeouts, void* buffer,
                int count, int& done) {
  done = 0;
  if (count < 0) return EINVAL;
  if (count == 0) return 0;
  const ReadLimits limits = read_limits(timeouts, count);
  const TransferAbort::Ticket ticket = abort.enter();
  const auto total_deadline = after(TransferClock::now(), limits.total_ms);
  std::optional<TransferClock::time_point> interval_deadline;
  bool received = false;
  auto* bytes = static_cast<char*>(buffer);
  for (;;) {
    size_t taken = 0;
    if (int error = input.take(bytes + done, static_cast<size_t>(count - done), taken)) return error;
    if (taken > 0) {
      done += static_cast<int>(taken);
      if (done == count) return 0;
      received = true;
      interval_deadline = after(TransferClock::now(), limits.interval_ms);
    }
    if (limits.return_at_once) return 0;
    if (limits.return_on_first_bytes && received) return 0;
    int timeout_ms = poll_timeout({total_deadline, interval_deadline});
    if (timeout_ms == 0) return 0;
    // The event wait may move the awaited bytes into the queue before this
    // read sees the device readable: the queue's arrival signal wakes it then.
    if (!input.begin_wait()) continue;
    int error = 0;
    const Wake wake = wait_ready(device_fd, POLLIN, ticket->get(), timeout_ms, error, input.arrival_fd());
    input.end_wait();
    switch (wake) {
      case Wake::Ready:
        break;
      case Wake::Aborted:
        return 0;
      case Wake::Gone:
        return EIO;
      case Wake::Failed:
        return error;
    }
  }
}

}  // namespace serial
