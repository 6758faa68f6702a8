#include "serial/posix/transfer_abort.h"

#include "serial/posix/event_fd.h"

namespace serial {

int TransferAbort::init() {
  auto fd = std::make_shared<common::UniqueFd>();
  if (int error = make_event_fd(*fd)) return error;
  std::lock_guard lock(mutex_);
  current_ = std::move(fd);
  return 0;
}

TransferAbort::Ticket TransferAbort::enter() {
  std::lock_guard lock(mutex_);
  return current_;
}

int TransferAbort::abort() {
  std::lock_guard lock(mutex_);
  // Nobody holds the ticket: nothing is in flight, and the ticket stays clean
  // for the next transfer.
  if (current_.use_count() == 1) return 0;
  auto fresh = std::make_shared<common::UniqueFd>();
  if (int error = make_event_fd(*fresh)) return error;
  signal_event_fd(current_->get());
  current_ = std::move(fresh);
  return 0;
}

}  // namespace serial
