#include "serve/ConnectionLoop.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/uio.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "serve/EventFd.h"

namespace {

// How often a loop with an answer stuck in a socket looks for one stuck
// past the time-out.
constexpr int kExpireMs = 250;
// A read's piece: most requests are one.
constexpr size_t kReadPiece = 16 * 1024;

}  // namespace

bool ConnectionLoop::Start(std::string& error) {
  epoll_ = UniqueFd(epoll_create1(EPOLL_CLOEXEC));
  wake_ = UniqueFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  epoll_event wake{};
  wake.events = EPOLLIN;
  wake.data.ptr = nullptr;
  if (!epoll_ || !wake_ || epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, wake_.get(), &wake) != 0) {
    error = std::string("cannot start answering: ") + std::strerror(errno);
    return false;
  }
  thread_ = std::thread([this] { Run(); });
  return true;
}

void ConnectionLoop::Stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  Wake(wake_.get());
  thread_.join();
}

void ConnectionLoop::Add(std::unique_ptr<Connection> connection) {
  connection->loop = this;
  Connection* key = connection.get();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back({key, {}, std::move(connection)});
  }
  Wake(wake_.get());
}

void ConnectionLoop::Post(Connection* connection, std::function<void(Connection&)> task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back({connection, std::move(task), nullptr});
  }
  Wake(wake_.get());
}

void ConnectionLoop::Answer(Connection& connection, std::string head, Bytes body, bool bodiless, bool ends) {
  connection.head = std::move(head);
  connection.headSent = 0;
  connection.body = bodiless ? nullptr : std::move(body);
  connection.bodySent = 0;
  connection.ends = ends;
  connection.answering = true;
}

void ConnectionLoop::Run() {
  epoll_event events[64];
  bool stopping = false;
  while (!stopping) {
    const int ready = epoll_wait(epoll_.get(), events, sizeof events / sizeof *events, writing_ > 0 ? kExpireMs : -1);
    for (int i = 0; i < ready; ++i) {
      auto* connection = static_cast<Connection*>(events[i].data.ptr);
      if (!connection) {
        Woken(wake_.get());
        std::lock_guard<std::mutex> lock(mutex_);
        stopping = stopping_;
        continue;
      }
      // Closed by an event before it in this round.
      if (!connections_.count(connection)) continue;
      // Shut both ways (by the watchdog) or reset: nothing more can be read
      // or written, and a client still sending would keep it readable. One
      // waiting for a drawing goes once its answer fails to go out.
      const bool drawing = !connection->waiting && !connection->answering;
      if ((events[i].events & (EPOLLHUP | EPOLLERR)) && !drawing) {
        Close(*connection);
        continue;
      }
      Drive(*connection);
    }
    RunTasks();
    if (writing_ > 0) Expire();
  }
  // An answer still on its way gets a last write; then every connection goes.
  while (!connections_.empty()) {
    Connection& connection = *connections_.begin()->second;
    if (!connection.answering || Write(connection)) Close(connection);
  }
}

void ConnectionLoop::RunTasks() {
  std::vector<Task> tasks;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks.swap(tasks_);
  }
  for (Task& task : tasks) {
    if (!task.run) {
      Connection* connection = task.connection;
      epoll_event event{};
      // Edge-triggered: each side is read or written until the socket says
      // wait, and looked at again only when that changes.
      event.events = EPOLLIN | EPOLLOUT | EPOLLRDHUP | EPOLLET;
      event.data.ptr = connection;
      connections_.emplace(connection, std::move(task.added));
      if (epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, connection->fd.get(), &event) != 0) {
        Close(*connection);
        continue;
      }
      Drive(*connection);
      continue;
    }
    const auto found = connections_.find(task.connection);
    if (found == connections_.end()) continue;
    task.run(*found->second);
    Drive(*found->second);
  }
}

void ConnectionLoop::Drive(Connection& connection) {
  for (;;) {
    if (connection.answering) {
      if (!Write(connection) || connection.answering) return;
      continue;
    }
    if (!connection.waiting) return;
    if (!Read(connection) || !Next(connection)) return;
  }
}

bool ConnectionLoop::Read(Connection& connection) {
  char piece[kReadPiece];
  while (!connection.peerDone && connection.in.size() < kHeadMax) {
    const size_t room = std::min(sizeof piece, kHeadMax - connection.in.size());
    const ssize_t got = recv(connection.fd.get(), piece, room, 0);
    if (got > 0) {
      connection.in.append(piece, static_cast<size_t>(got));
      if (!connection.inFlight) {
        connection.inFlight = true;
        events_.arriving(connection);
      }
      if (static_cast<size_t>(got) < room) break;  // the socket is empty: no second call to learn it
    } else if (got == 0) {
      connection.peerDone = true;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      break;
    } else if (errno != EINTR) {
      Close(connection);
      return false;
    }
  }
  return true;
}

bool ConnectionLoop::Next(Connection& connection) {
  const std::string& in = connection.in;
  const bool full = in.size() >= kHeadMax;
  const RequestHead head = full || HeadEnds(in, connection.scanned) ? ReadRequestHead(in) : RequestHead{};
  if (head.state == RequestHead::State::Incomplete) {
    connection.scanned = in.size();
    // Cut off within a request, or done between two.
    if (connection.peerDone) Close(connection);
    return false;
  }
  connection.scanned = 0;
  connection.waiting = false;
  events_.request(connection, head);
  // The head's views into the bytes are done with; a refusal ends the
  // connection, so what follows it is never read as a request.
  connection.in.erase(0, head.state == RequestHead::State::Whole ? head.size : connection.in.size());
  return true;
}

bool ConnectionLoop::Write(Connection& connection) {
  for (;;) {
    iovec pieces[2];
    int count = 0;
    if (connection.headSent < connection.head.size()) {
      pieces[count++] = {connection.head.data() + connection.headSent, connection.head.size() - connection.headSent};
    }
    if (connection.body && connection.bodySent < connection.body->size()) {
      pieces[count++] = {const_cast<char*>(connection.body->data()) + connection.bodySent,
                         connection.body->size() - connection.bodySent};
    }
    if (count == 0) break;
    msghdr message{};
    message.msg_iov = pieces;
    message.msg_iovlen = static_cast<size_t>(count);
    const ssize_t sent = sendmsg(connection.fd.get(), &message, MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) {
        Close(connection);
        return false;
      }
      if (!connection.stalled) {
        connection.stalled = true;
        connection.progress = Clock::now();
        ++writing_;
      }
      return true;
    }
    size_t left = static_cast<size_t>(sent);
    const size_t fromHead = std::min(left, connection.head.size() - connection.headSent);
    connection.headSent += fromHead;
    connection.bodySent += left - fromHead;
    if (connection.stalled) connection.progress = Clock::now();
  }
  if (connection.stalled) {
    connection.stalled = false;
    --writing_;
  }
  connection.answering = false;
  connection.head.clear();
  connection.body = nullptr;
  connection.waiting = true;
  connection.inFlight = false;
  events_.answered(connection);
  if (connection.ends) {
    Close(connection);
    return false;
  }
  // Bytes of the next request came with this one's.
  if (!connection.in.empty()) {
    connection.inFlight = true;
    events_.arriving(connection);
  }
  return true;
}

void ConnectionLoop::Close(Connection& connection) {
  epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, connection.fd.get(), nullptr);
  if (connection.stalled) --writing_;
  events_.closed(connection);
  connections_.erase(&connection);
}

void ConnectionLoop::Expire() {
  const Clock::time_point due = Clock::now() - timeout_;
  std::vector<Connection*> expired;
  for (const auto& [key, connection] : connections_) {
    if (connection->stalled && connection->progress < due) expired.push_back(key);
  }
  for (Connection* connection : expired) Close(*connection);
}
