#pragma once
#include <sys/socket.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "serve/UniqueFd.h"

// Takes each connection from the listening socket on a thread of its own
// and hands it on: the server decides at once what a connection past the
// limit costs, and stops taking them at once.
class Acceptor {
 public:
  // Given each new connection's socket, which it then owns.
  using Take = std::function<void(int fd, const sockaddr* address, socklen_t length)>;

  Acceptor(int listenFd, Take take);
  ~Acceptor();
  Acceptor(const Acceptor&) = delete;
  Acceptor& operator=(const Acceptor&) = delete;

  // False with the system's reason.
  bool Start(std::string& error);
  // Takes no more connections; with `drain`, those the kernel has already
  // made are taken first, so that closing the socket resets none.
  void Stop(bool drain);

 private:
  void Run();
  void AcceptAll();

  int listenFd_;
  UniqueFd wake_;  // an eventfd: Stop's word to Run
  std::atomic<bool> drain_{false};
  Take take_;
  std::thread thread_;
};
