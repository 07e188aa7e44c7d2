#include "serve/PictureCache.h"

#include <memory>

Bytes PictureCache::Find(const std::string& key, std::string* etag) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = byKey_.find(key);
  if (found == byKey_.end()) return nullptr;
  recent_.splice(recent_.begin(), recent_, found->second);
  if (etag) *etag = found->second->etag;
  return found->second->bytes;
}

bool PictureCache::Join(const std::string& key, Waiter waiter) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto [waiting, first] = drawing_.try_emplace(key);
  waiting->second.push_back(std::move(waiter));
  return first;
}

void PictureCache::Finish(const std::string& key, bool ok, std::string bytes, std::string etag) {
  const Bytes held = std::make_shared<const std::string>(std::move(bytes));
  std::vector<Waiter> waiters;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ok) Keep({key, held, std::move(etag)});
    const auto found = drawing_.find(key);
    if (found != drawing_.end()) {
      waiters.swap(found->second);
      drawing_.erase(found);
    }
  }
  for (const Waiter& waiter : waiters) waiter(ok, held);
}

void PictureCache::Keep(Entry entry) {
  const uint64_t size = entry.Size();
  if (size > capacity_ || byKey_.count(entry.key)) return;
  while (held_ + size > capacity_) {
    held_ -= recent_.back().Size();
    byKey_.erase(recent_.back().key);
    recent_.pop_back();
  }
  recent_.push_front(std::move(entry));
  byKey_[recent_.front().key] = recent_.begin();
  held_ += size;
}
