// Owns one file descriptor and closes it when dropped.
#pragma once

#include <cerrno>
#include <unistd.h>
#include <utility>

namespace common {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) reset(std::exchange(other.fd_, -1));
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes now and tells whether the close succeeded: some file systems (NFS)
  // report a failed write-back only here. On Linux the descriptor is gone
  // even when the close was interrupted, and the data then went out.
  bool close() {
    const int fd = std::exchange(fd_, -1);
    return fd < 0 || ::close(fd) == 0 || errno == EINTR;
  }

 private:
  int fd_ = -1;
};

}  // namespace common
