#include "serve/Linger.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "serve/EventFd.h"

namespace {

// Long enough for a client on a slow link to read a one-line answer; the
// bytes dropped meanwhile are bounded too, so a client streaming a body
// does not keep a socket for the whole time.
constexpr auto kLingerTime = std::chrono::seconds(2);
constexpr size_t kMaxDropped = size_t{8} << 20;
constexpr uint64_t kWake = 0;

// Whether the client may still send: it has not sent its end, so bytes it
// sends after a close would reset the answer. A connection ends quietly
// only where it was read to its end (the client closed first).
bool MaySend(int fd) {
  char byte;
  const ssize_t peeked = recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  return peeked > 0 || (peeked < 0 && (errno == EAGAIN || errno == EINTR));
}

epoll_event Readable(uint64_t id) {
  epoll_event event{};
  event.events = EPOLLIN | EPOLLRDHUP;
  event.data.u64 = id;
  return event;
}

}  // namespace

bool Linger::Start(std::string& error) {
  epoll_ = UniqueFd(epoll_create1(EPOLL_CLOEXEC));
  wake_ = UniqueFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  epoll_event wake = Readable(kWake);
  if (!epoll_ || !wake_ || epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, wake_.get(), &wake) != 0) {
    error = std::string("cannot start the lingering close: ") + std::strerror(errno);
    return false;
  }
  thread_ = std::thread([this] { Run(); });
  return true;
}

void Linger::Stop(Clock::time_point bound) {
  if (!thread_.joinable()) return;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    emptied_.wait_until(lock, bound, [this] { return lingering_.empty(); });
    stopping_ = true;
  }
  Wake(wake_.get());
  thread_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  while (!lingering_.empty()) Drop(lingering_.begin());
}

void Linger::Closed(UniqueFd fd, bool cutOff) {
  if (!fd || cutOff || !MaySend(fd.get())) return;
  // The answer goes out first, then the end: the client reads both.
  shutdown(fd.get(), SHUT_WR);
  std::lock_guard<std::mutex> lock(mutex_);
  if (stopping_) return;
  const uint64_t id = next_++;
  epoll_event readable = Readable(id);
  if (epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, fd.get(), &readable) != 0) return;
  // Run waits without a time-out while nothing lingers.
  if (lingering_.empty()) Wake(wake_.get());
  lingering_.emplace(id, Lingering{std::move(fd), Clock::now() + kLingerTime});
}

size_t Linger::Count() {
  std::lock_guard<std::mutex> lock(mutex_);
  return lingering_.size();
}

bool Linger::ShedOldest() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (lingering_.empty()) return false;
  Drop(lingering_.begin());
  if (lingering_.empty()) emptied_.notify_all();
  return true;
}

void Linger::Drop(std::map<uint64_t, Lingering>::iterator lingering) {
  // Its close takes it out of the epoll set too.
  lingering_.erase(lingering);
}

bool Linger::Drain(Lingering& lingering) {
  char sink[65536];
  const ssize_t got = recv(lingering.fd.get(), sink, sizeof sink, MSG_DONTWAIT);
  if (got < 0) return errno == EAGAIN || errno == EINTR;
  lingering.dropped += static_cast<size_t>(got);
  return got > 0 && lingering.dropped < kMaxDropped;
}

void Linger::Run() {
  epoll_event events[64];
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    int timeout = -1;
    if (!lingering_.empty()) {
      const auto left = lingering_.begin()->second.until - Clock::now();
      // Rounded up, so that the wait never ends just before the deadline.
      timeout = static_cast<int>(std::max<int64_t>(
          0, std::chrono::ceil<std::chrono::milliseconds>(left).count()));
    }
    lock.unlock();
    const int ready = epoll_wait(epoll_.get(), events, sizeof events / sizeof *events, timeout);
    lock.lock();
    for (int i = 0; i < ready; ++i) {
      if (events[i].data.u64 == kWake) {
        Woken(wake_.get());
        continue;
      }
      // Shed meanwhile, or closed at its deadline in an earlier round.
      const auto found = lingering_.find(events[i].data.u64);
      if (found != lingering_.end() && !Drain(found->second)) Drop(found);
    }
    const Clock::time_point now = Clock::now();
    while (!lingering_.empty() && lingering_.begin()->second.until <= now) Drop(lingering_.begin());
    if (lingering_.empty()) emptied_.notify_all();
  }
}
