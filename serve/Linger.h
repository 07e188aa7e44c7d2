#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "serve/UniqueFd.h"

// A lingering close. A socket closed while its client is still sending
// (the rest of a path or a body refused before it was read) is reset by the
// kernel, and a reset throws away the answer the client has not read yet:
// a client that writes its whole request before reading, as most do, sees
// the reset instead of its 414 or 400. So such a socket is shut for writing
// (the answer, then the end), and what still comes is read and dropped, up
// to a bound of time and bytes, before it is closed. One thread waits on
// all of them.
class Linger {
 public:
  using Clock = std::chrono::steady_clock;

  Linger() = default;
  ~Linger() { Stop(Clock::now()); }
  Linger(const Linger&) = delete;
  Linger& operator=(const Linger&) = delete;

  // False with the system's reason.
  bool Start(std::string& error);
  // Closes every lingering socket: each as soon as its client is done, the
  // rest at `bound`. Sockets closed later are closed at once.
  void Stop(Clock::time_point bound);

  // A connection is done with; `cutOff` when the watchdog shut it for its
  // time. Its socket lingers unless so, or its client has sent its end
  // (then nothing more can come to reset it).
  void Closed(UniqueFd fd, bool cutOff);

  // The sockets lingering: they count as connections.
  size_t Count();
  // Closes the one lingering longest, to make way for a new connection;
  // false when none lingers.
  bool ShedOldest();

 private:
  struct Lingering {
    UniqueFd fd;
    Clock::time_point until;
    size_t dropped = 0;
  };
  void Run();
  // Reads once; false when the socket is done with.
  bool Drain(Lingering& lingering);
  void Drop(std::map<uint64_t, Lingering>::iterator lingering);

  std::mutex mutex_;
  std::condition_variable emptied_;
  // By the number each is given in turn: the order of their deadlines too,
  // as every one gets the same time.
  std::map<uint64_t, Lingering> lingering_;
  uint64_t next_ = 1;  // 0 is the wake-up's
  bool stopping_ = false;
  UniqueFd epoll_;
  UniqueFd wake_;  // an eventfd: a first socket to wait on, or the stop
  std::thread thread_;
};
