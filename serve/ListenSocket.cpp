#include "serve/ListenSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The first descriptor a service manager passes.
constexpr int kFirstPassedFd = 3;

}  // namespace

ListenSocket::~ListenSocket() { Close(); }

void ListenSocket::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

bool ListenSocket::Inherit(std::string& error) {
  const char* pid = std::getenv("LISTEN_PID");
  const char* fds = std::getenv("LISTEN_FDS");
  // Meant for this process alone: a child started later must not take it.
  const bool ours = pid && fds && std::atol(pid) == static_cast<long>(getpid());
  unsetenv("LISTEN_PID");
  unsetenv("LISTEN_FDS");
  unsetenv("LISTEN_FDNAMES");
  if (!ours) return false;
  if (std::atoi(fds) != 1) {
    error = std::string("LISTEN_FDS is ") + fds + ", not the one socket to listen on";
    return true;
  }
  int listening = 0;
  socklen_t size = sizeof listening;
  if (getsockopt(kFirstPassedFd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) != 0 || !listening) {
    error = "the socket passed in LISTEN_FDS is not listening";
    return true;
  }
  fd_ = kFirstPassedFd;
  inherited_ = true;
  fcntl(fd_, F_SETFD, FD_CLOEXEC);
  fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
  Describe(error);
  return true;
}

bool ListenSocket::Open(const std::string& host, int port, std::string& error) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* list = nullptr;
  const std::string service = std::to_string(port);
  const std::string where = "cannot listen on " + host + ":" + service + ": ";
  if (const int failed = getaddrinfo(host.c_str(), service.c_str(), &hints, &list)) {
    error = where + gai_strerror(failed);
    return false;
  }
  const std::unique_ptr<addrinfo, void (*)(addrinfo*)> found(list, freeaddrinfo);
  // Non-blocking: the accepting thread drains it without ever waiting in
  // accept, so it can stop at once.
  fd_ = socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, found->ai_protocol);
  const int on = 1;
  if (fd_ < 0 || setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
      bind(fd_, found->ai_addr, found->ai_addrlen) != 0 || listen(fd_, SOMAXCONN) != 0) {
    error = where + std::strerror(errno);
    return false;
  }
  return Describe(error);
}

bool ListenSocket::Describe(std::string& error) {
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  char host[NI_MAXHOST];
  char port[NI_MAXSERV];
  if (getsockname(fd_, reinterpret_cast<sockaddr*>(&bound), &length) != 0 ||
      getnameinfo(reinterpret_cast<sockaddr*>(&bound), length, host, sizeof host, port, sizeof port,
                  NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
    error = std::string("cannot tell where the socket listens: ") + std::strerror(errno);
    return false;
  }
  host_ = host;
  port_ = std::atoi(port);
  return true;
}
