#pragma once
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "serve/Answer.h"

// The pictures asked for lately, by key, up to a number of bytes: the least
// recently asked for goes first. A picture is a pure function of its key and
// the program, so nothing kept is ever stale, and the requests for one not
// yet kept share its one drawing: a link opened by many at once is drawn
// once, kept, and handed to all of them.
class PictureCache {
 public:
  // `ok` with the picture, or not with why there is none; called on the
  // thread that finished the drawing, outside the cache's lock.
  using Waiter = std::function<void(bool ok, const Bytes& bytes)>;

  explicit PictureCache(uint64_t capacity) : capacity_(capacity) {}

  // The kept picture, or null; with its ETag in `etag` when asked.
  Bytes Find(const std::string& key, std::string* etag = nullptr);
  // `waiter` waits for the picture of `key`: true when no drawing of it is
  // under way, and the caller is to draw it and call Finish.
  bool Join(const std::string& key, Waiter waiter);
  // The drawing of `key` ended: a picture is kept with its `etag`, which a
  // request that finds it then needs not work out from the key again, and
  // every waiter gets it or the reason.
  void Finish(const std::string& key, bool ok, std::string bytes, std::string etag = {});

 private:
  struct Entry {
    std::string key;
    Bytes bytes;
    std::string etag;
    uint64_t Size() const { return key.size() + bytes->size() + etag.size(); }
  };
  void Keep(Entry entry);

  std::mutex mutex_;
  uint64_t capacity_;
  uint64_t held_ = 0;
  std::list<Entry> recent_;  // most recent first
  std::unordered_map<std::string, std::list<Entry>::iterator> byKey_;
  std::unordered_map<std::string, std::vector<Waiter>> drawing_;
};
