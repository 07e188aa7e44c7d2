#include "serve/Acceptor.h"

#include <linux/filter.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "serve/EventFd.h"

Acceptor::Acceptor(int listenFd, Take take) : listenFd_(listenFd), take_(std::move(take)) {}

Acceptor::~Acceptor() {
  Stop(false);
}

bool Acceptor::Start(std::string& error) {
  wake_ = UniqueFd(eventfd(0, EFD_CLOEXEC));
  if (!wake_) {
    error = std::string("cannot start taking connections: ") + std::strerror(errno);
    return false;
  }
  thread_ = std::thread([this] { Run(); });
  return true;
}

void Acceptor::Stop(bool drain) {
  if (!thread_.joinable()) return;
  drain_ = drain;  // read by Run only after the eventfd's write
  Wake(wake_.get());
  thread_.join();
}

void Acceptor::Run() {
  pollfd watched[2] = {{listenFd_, POLLIN, 0}, {wake_.get(), POLLIN, 0}};
  for (;;) {
    if (poll(watched, 2, -1) < 0 && errno != EINTR) return;
    if (watched[1].revents) break;
    if (watched[0].revents) AcceptAll();
  }
  if (!drain_) return;
  // New connections are dropped before the last are taken: one that came
  // between the last accept and the close would be reset with its request
  // sent. Its client, trying again, finds no server, as a stopped one is.
  sock_filter dropAll = BPF_STMT(BPF_RET | BPF_K, 0);
  const sock_fprog program{1, &dropAll};
  setsockopt(listenFd_, SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program);
  AcceptAll();
}

void Acceptor::AcceptAll() {
  for (;;) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const int fd = accept4(listenFd_, reinterpret_cast<sockaddr*>(&address), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
      take_(fd, reinterpret_cast<sockaddr*>(&address), length);
      continue;
    }
    // A connection the client gave up on while queued is no reason to stop;
    // out of descriptors, the next poll tries again once one is freed.
    if (errno == ECONNABORTED || errno == EINTR) continue;
    if (errno == EMFILE || errno == ENFILE) usleep(10000);
    return;
  }
}
