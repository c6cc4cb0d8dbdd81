// Inputs for loaders that open files by name: one memory file, rewritten for
// each input, and the lowest free descriptor, which a leaked or doubly closed
// file moves.
#pragma once

#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

class MemoryFile {
 public:
  // The path of a file that holds exactly these bytes.
  const char* Hold(const uint8_t* data, size_t size) {
    if (fd_ < 0) {
      fd_ = memfd_create("fuzz", 0);
      if (fd_ < 0) std::abort();
      std::snprintf(path_, sizeof path_, "/proc/self/fd/%d", fd_);
    }
    if (ftruncate(fd_, 0) != 0) std::abort();
    if (size && pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    return path_;
  }

 private:
  int fd_ = -1;
  char path_[64] = {0};
};

inline int LowestFreeDescriptor() {
  const int fd = dup(0);
  if (fd >= 0) close(fd);
  return fd;
}
