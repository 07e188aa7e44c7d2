#pragma once
#include <unistd.h>

#include <cerrno>
#include <cstdint>

// An eventfd as one thread's word to another that waits on it: the word,
// and the waiter's reading of it (however many were said meanwhile).
inline void Wake(int fd) {
  const uint64_t one = 1;
  while (write(fd, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

inline void Woken(int fd) {
  uint64_t count;
  while (read(fd, &count, sizeof count) < 0 && errno == EINTR) {
  }
}
