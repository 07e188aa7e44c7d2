#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "serve/UniqueFd.h"

// A lingering close. A socket closed while its client is still sending
// (the rest of a path or a body refused before it was read) is reset by the
// kernel, and a reset throws away the answer the client has not read yet:
// a client that writes its whole request before reading, as most do, sees
// the reset instead of its 414 or 400. So such a socket outlives the HTTP
// library's close through a descriptor of its own: it is shut for writing
// (the answer, then the end), and what still comes is read and dropped, up
// to a bound of time and bytes, before it is closed. One thread waits on
// all of them. Whether a socket needs it is told once, at the close, not at
// every answer: that costs a system call a connection, not one a request.
class Linger {
 public:
  using Clock = std::chrono::steady_clock;
  // One connection's socket, from its opening to the library's close.
  struct Held {
    UniqueFd fd;
  };

  Linger() = default;
  ~Linger() { Stop(Clock::now()); }
  Linger(const Linger&) = delete;
  Linger& operator=(const Linger&) = delete;

  // False with the system's reason.
  bool Start(std::string& error);
  // Closes every lingering socket: each as soon as its client is done, the
  // rest at `bound`. Sockets closed later are closed at once.
  void Stop(Clock::time_point bound);

  // The library's connection on `fd` opened; null when no descriptor is
  // left to hold it by (it then closes as the library closes it).
  std::unique_ptr<Held> Opened(int fd);
  // The library closed the connection; `shut` when it was cut off for its
  // time (nothing went out since our last answer). It lingers unless so, or
  // its client has sent its end (then nothing more can come to reset it).
  void Closed(std::unique_ptr<Held> held, bool shut);

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
