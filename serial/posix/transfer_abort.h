// Lets a purge end the reads (or writes) in flight on other threads without
// touching the ones started after it.
#pragma once

#include "common/unique_fd.h"

#include <memory>
#include <mutex>

namespace serial {

class TransferAbort {
 public:
  // A transfer polls the ticket's fd next to the device: it becomes readable
  // once the transfers holding this ticket are aborted.
  using Ticket = std::shared_ptr<const common::UniqueFd>;

  // Returns 0 or an errno value; call once before use.
  int init();
  Ticket enter();
  // Ends every transfer holding a ticket; later ones get a fresh ticket.
  // Returns 0 or an errno value (nothing is aborted then).
  int abort();

 private:
  std::mutex mutex_;
  std::shared_ptr<common::UniqueFd> current_;
};

}  // namespace serial
