// An open file descriptor, closed once when it goes; Close() closes it earlier and says
// whether closing worked (for a written file, the last word on whether it was saved).
#pragma once

#include <unistd.h>

namespace vark {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Fd() const { return fd_; }
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return fd >= 0 && ::close(fd) == 0;
  }

 private:
  int fd_;
};

}  // namespace vark
