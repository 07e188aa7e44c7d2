#include "serve/PictureCache.h"

Bytes PictureCache::Find(const std::string& key) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = byKey_.find(key);
  if (found == byKey_.end()) return nullptr;
  recent_.splice(recent_.begin(), recent_, found->second);
  return found->second->second;
}

void PictureCache::Keep(const std::string& key, Bytes bytes) {
  const uint64_t size = key.size() + bytes->size();
  std::lock_guard<std::mutex> lock(mutex_);
  if (size > capacity_ || byKey_.count(key)) return;
  while (held_ + size > capacity_) {
    const Entry& oldest = recent_.back();
    held_ -= oldest.first.size() + oldest.second->size();
    byKey_.erase(oldest.first);
    recent_.pop_back();
  }
  recent_.emplace_front(key, std::move(bytes));
  byKey_[key] = recent_.begin();
  held_ += size;
}
