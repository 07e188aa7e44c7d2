#pragma once
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include "serve/Answer.h"

// The pictures asked for lately, by key, up to a number of bytes: the least
// recently asked for goes first. A picture is a pure function of its key and
// the program, so nothing kept is ever stale.
class PictureCache {
 public:
  explicit PictureCache(uint64_t capacity) : capacity_(capacity) {}

  Bytes Find(const std::string& key);
  void Keep(const std::string& key, Bytes bytes);

 private:
  using Entry = std::pair<std::string, Bytes>;
  std::mutex mutex_;
  uint64_t capacity_;
  uint64_t held_ = 0;
  std::list<Entry> recent_;  // most recent first
  std::unordered_map<std::string, std::list<Entry>::iterator> byKey_;
};
