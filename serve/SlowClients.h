#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

// Gives every connection a bounded time to send each whole request, however
// slowly it sends it, and to send the next once answered. A connection past
// its time has its socket shut; its loop, seeing it end, lets it go.
class SlowClients {
 public:
  explicit SlowClients(int seconds) : time_(seconds) {}
  ~SlowClients() { Stop(); }
  SlowClients(const SlowClients&) = delete;
  SlowClients& operator=(const SlowClients&) = delete;

  void Start();
  void Stop();

  // The connection `key` on socket `fd` opened, or closed. A record goes
  // (under the lock the watch shuts sockets with) before the socket is
  // closed, so no other connection's is ever shut. Closed tells whether
  // the watch had shut it.
  void Opened(const void* key, int fd);
  bool Closed(const void* key);
  // A request is in, or answered: the clock stops, or starts for the next.
  void Waiting(const void* key, bool waiting);
  // Whether a connection holds bytes of a request not yet read: one on its
  // way in as the server stops.
  bool AnyArriving();
  // Whether a connection waits for a request since `since` or later: one
  // answered, or opened, just now, whose client may be sending the next.
  bool AnyAnsweredSince(std::chrono::steady_clock::time_point since);
  // The connections open and not yet shut.
  size_t Count();
  // Shuts the connection that has waited longest for a request and holds
  // no byte of one; false when every connection is busy.
  bool ShedIdle();

 private:
  using Clock = std::chrono::steady_clock;
  struct Watch {
    int fd;
    Clock::time_point deadline;
    bool waiting;
    bool shut = false;
    bool busy = false;  // holds bytes of a request: passed over by ShedIdle
  };
  void Run();
  void Shut(Watch& watch);

  std::chrono::seconds time_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<const void*, Watch> watches_;
  size_t shut_ = 0;  // of the watches, those whose socket is shut
  bool stopping_ = false;
  std::thread thread_;
};
