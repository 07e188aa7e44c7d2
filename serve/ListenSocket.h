#pragma once
#include <string>

// A listening socket: one of our own, or the one a service manager opened
// and keeps across restarts, so that connections made while no server runs
// wait in its queue.
class ListenSocket {
 public:
  ListenSocket() = default;
  ~ListenSocket();
  ListenSocket(const ListenSocket&) = delete;
  ListenSocket& operator=(const ListenSocket&) = delete;

  // Takes the socket passed as LISTEN_FDS and LISTEN_PID say; false when
  // none was passed to this process, or with the reason in `error` when the
  // one passed is not a listening stream socket.
  bool Inherit(std::string& error);
  // Listens on `host` (an address or a name) and `port` (0: a free one);
  // false with the system's reason.
  bool Open(const std::string& host, int port, std::string& error);
  // Connections made from now on are refused, or, on an inherited socket,
  // wait for the next server.
  void Close();
  int fd() const { return fd_; }
  bool inherited() const { return inherited_; }
  // Where it listens, as an address and a port.
  const std::string& host() const { return host_; }
  int port() const { return port_; }

 private:
  bool Describe(std::string& error);

  int fd_ = -1;
  bool inherited_ = false;
  std::string host_;
  int port_ = 0;
};
