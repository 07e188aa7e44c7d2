#pragma once
#include <ctime>

// The current UTC second as strftime's `format` writes it, written again
// only when the second changes: a thread answers and logs many requests in
// one. Each thread keeps its own (thread_local).
class UtcSecond {
 public:
  explicit UtcSecond(const char* format) : format_(format) {}

  const char* Now() {
    const std::time_t now = std::time(nullptr);
    if (now != formatted_) {
      std::tm utc{};
      gmtime_r(&now, &utc);
      std::strftime(text_, sizeof text_, format_, &utc);
      formatted_ = now;
    }
    return text_;
  }

 private:
  const char* format_;
  std::time_t formatted_ = -1;
  char text_[40] = {};
};
