#include "serve/SlowClients.h"

#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>

void SlowClients::Start() {
  thread_ = std::thread([this] { Run(); });
}

void SlowClients::Stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void SlowClients::Opened(const void* key, int fd) {
  std::lock_guard<std::mutex> lock(mutex_);
  watches_[key] = {fd, Clock::now() + time_, true};
}

bool SlowClients::Closed(const void* key) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = watches_.find(key);
  if (found == watches_.end()) return false;
  const bool shut = found->second.shut;
  shut_ -= shut;
  watches_.erase(found);
  return shut;
}

size_t SlowClients::Count() {
  std::lock_guard<std::mutex> lock(mutex_);
  return watches_.size() - shut_;
}

bool SlowClients::ShedIdle() {
  std::lock_guard<std::mutex> lock(mutex_);
  // The oldest first, asking the kernel about that one alone: this runs
  // for every connection past the limit.
  std::vector<Watch*> busy;
  for (;;) {
    Watch* oldest = nullptr;
    for (auto& [key, watch] : watches_) {
      if (!watch.waiting || watch.shut || watch.busy) continue;
      if (!oldest || watch.deadline < oldest->deadline) oldest = &watch;
    }
    if (!oldest) break;
    int unread = 0;
    if (ioctl(oldest->fd, FIONREAD, &unread) == 0 && unread == 0) {
      Shut(*oldest);
      for (Watch* watch : busy) watch->busy = false;
      return true;
    }
    oldest->busy = true;
    busy.push_back(oldest);
  }
  for (Watch* watch : busy) watch->busy = false;
  return false;
}

void SlowClients::Shut(Watch& watch) {
  shutdown(watch.fd, SHUT_RDWR);
  watch.waiting = false;
  if (!watch.shut) ++shut_;
  watch.shut = true;
}

void SlowClients::Waiting(const void* key, bool waiting) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = watches_.find(key);
  if (found == watches_.end()) return;
  found->second.waiting = waiting;
  found->second.deadline = Clock::now() + time_;
}

bool SlowClients::AnyArriving() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [key, watch] : watches_) {
    int unread = 0;
    if (watch.waiting && ioctl(watch.fd, FIONREAD, &unread) == 0 && unread > 0) return true;
  }
  return false;
}

bool SlowClients::AnyAnsweredSince(Clock::time_point since) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [key, watch] : watches_) {
    // The deadline is set a time-out past the answer.
    if (watch.waiting && !watch.shut && watch.deadline - time_ >= since) return true;
  }
  return false;
}

void SlowClients::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    // Each connection is cut off at its deadline, not up to a tick after
    // it: a client sending a byte a second must not get one more in. Every
    // deadline set meanwhile is a whole time-out away, so none comes
    // before the one waited for.
    const Clock::time_point now = Clock::now();
    Clock::time_point next = now + time_;
    for (auto& [key, watch] : watches_) {
      if (!watch.waiting) continue;
      if (now > watch.deadline) {
        Shut(watch);
      } else {
        next = std::min(next, watch.deadline);
      }
    }
    changed_.wait_until(lock, next);
  }
}
