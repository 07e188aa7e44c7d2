#include "serve/ListenSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

ListenSocket::~ListenSocket() {
  if (fd_ >= 0) close(fd_);
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
  // Non-blocking: the library's threads all wait on it and one takes each
  // connection.
  fd_ = socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, found->ai_protocol);
  const int on = 1;
  if (fd_ < 0 || setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
      bind(fd_, found->ai_addr, found->ai_addrlen) != 0 || listen(fd_, SOMAXCONN) != 0) {
    error = where + std::strerror(errno);
    return false;
  }
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  getsockname(fd_, reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(bound).sin6_port
                                            : reinterpret_cast<sockaddr_in&>(bound).sin_port);
  return true;
}
