#pragma once
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

// One request a line, in the common log format:
//   127.0.0.1 - - [08/Dec/2026:14:30:00 +0000] "GET /x HTTP/1.1" 200 1234
// The path's bytes outside printable ASCII, a quote and a backslash are
// written as \xHH, so a request can never forge a line of its own.
std::string AccessLine(std::string_view client, std::string_view method, std::string_view path,
                       std::string_view protocol, int status, long long bytes);

// The lines on their way to a descriptor, written by a thread of their own:
// an answering thread only appends to a bounded buffer, so a log that does
// not drain (a stalled journal, a pipe nobody reads) never holds up an
// answer. A line past the bound is dropped and counted, and the count is
// written as a line of its own once the lines before it are out.
class AccessLog {
 public:
  static constexpr size_t kHeldBytes = 256 * 1024;
  // How long the end waits for a log that does not drain: a stop's bound
  // comes first.
  static constexpr std::chrono::milliseconds kLastWrite{500};

  explicit AccessLog(int fd = STDERR_FILENO, size_t heldBytes = kHeldBytes);
  // Writes what is held, and the count of what could not be, within kLastWrite.
  ~AccessLog();
  AccessLog(const AccessLog&) = delete;
  AccessLog& operator=(const AccessLog&) = delete;

  // `line` ends with '\n'.
  void Add(const std::string& line);

 private:
  using Clock = std::chrono::steady_clock;
  void Run();
  // Writes `text` whole lines at a time as the descriptor takes them; the
  // lines it gave up on, once past the last write's time or on an error.
  uint64_t WriteOut(const std::string& text);

  const int fd_;
  const size_t chunk_;  // the most one write is given
  const size_t heldBytes_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string held_;
  uint64_t dropped_ = 0;
  std::atomic<bool> stopping_{false};
  Clock::time_point giveUpAt_;  // set before stopping_
  std::thread writer_;
};
