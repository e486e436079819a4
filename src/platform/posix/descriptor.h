// An open file descriptor that closes itself, and the failures the write path throws from errno.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "core/ports/failure.h"

namespace tallowby {

[[noreturn]] inline void ThrowErrno(int error_number) {
  throw Failure(DescribeErrno(error_number), error_number);
}

class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { Reset(); }
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int Get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Closes now, and says why a close failed (a write the kernel could not finish): 0 or errno.
  int Close() {
    const int fd = std::exchange(fd_, -1);
    return fd < 0 || ::close(fd) == 0 || errno == EINTR ? 0 : errno;
  }

 private:
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int fd_ = -1;
};

// The path through which /proc reaches exactly the file a descriptor holds, even one opened only
// as a place (O_PATH) or one that has no name yet.
inline std::string ProcPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace tallowby
