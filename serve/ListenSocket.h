#pragma once
#include <string>

// A listening socket, closed with its owner.
class ListenSocket {
 public:
  ListenSocket() = default;
  ~ListenSocket();
  ListenSocket(const ListenSocket&) = delete;
  ListenSocket& operator=(const ListenSocket&) = delete;

  // Listens on `host` (an address or a name) and `port` (0: a free one);
  // false with the system's reason.
  bool Open(const std::string& host, int port, std::string& error);
  int fd() const { return fd_; }
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};
