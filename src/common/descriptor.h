// A file descriptor owned by one scope: closed on every way out.
//
// Threading: plain value, not shared.
#pragma once

#include <unistd.h>

namespace vantorel {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  [[nodiscard]] int Get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace vantorel
