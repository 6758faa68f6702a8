// The record of one read or write in flight (the transfer operations of
// TCustomComPort take a pointer to one; null is refused with code 4).
// Reusing or destroying a record whose transfer still runs waits for that
// transfer to end; TCustomComPort::AbortTransfers ends it at once.
#pragma once

#include <cstdint>
#include <future>
#include <optional>
#include <string>

namespace serial {

enum TOperationKind : uint8_t { okWrite, okRead };

class TPendingOp {
 public:
  TPendingOp() = default;
  // A transfer in flight points into the record.
  TPendingOp(const TPendingOp&) = delete;
  TPendingOp& operator=(const TPendingOp&) = delete;

  TOperationKind Kind() const { return kind_; }
  // The private copy of the bytes a write sends (empty for reads).
  const std::string& Data() const { return data_; }

 private:
  friend class TCustomComPort;
  struct Result {
    int error = 0;  // errno, 0 on success
    int done = 0;   // bytes transferred
  };
  TOperationKind kind_ = okWrite;
  std::string data_;
  std::future<Result> running_;     // a transfer started in the background
  std::optional<Result> finished_;  // its outcome, once known
};

}  // namespace serial
