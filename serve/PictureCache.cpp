#include "serve/PictureCache.h"

#include <memory>

Bytes PictureCache::Find(const std::string& key) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = byKey_.find(key);
  if (found == byKey_.end()) return nullptr;
  recent_.splice(recent_.begin(), recent_, found->second);
  return found->second->second;
}

bool PictureCache::Join(const std::string& key, Waiter waiter) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto [waiting, first] = drawing_.try_emplace(key);
  waiting->second.push_back(std::move(waiter));
  return first;
}

void PictureCache::Finish(const std::string& key, bool ok, std::string bytes) {
  const Bytes held = std::make_shared<const std::string>(std::move(bytes));
  std::vector<Waiter> waiters;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ok) Keep(key, held);
    const auto found = drawing_.find(key);
    if (found != drawing_.end()) {
      waiters.swap(found->second);
      drawing_.erase(found);
    }
  }
  for (const Waiter& waiter : waiters) waiter(ok, held);
}

void PictureCache::Keep(const std::string& key, const Bytes& bytes) {
  const uint64_t size = key.size() + bytes->size();
  if (size > capacity_ || byKey_.count(key)) return;
  while (held_ + size > capacity_) {
    const Entry& oldest = recent_.back();
    held_ -= oldest.first.size() + oldest.second->size();
    byKey_.erase(oldest.first);
    recent_.pop_back();
  }
  recent_.emplace_front(key, bytes);
  byKey_[key] = recent_.begin();
  held_ += size;
}
