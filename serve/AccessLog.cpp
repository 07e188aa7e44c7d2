#include "serve/AccessLog.h"

#include <poll.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>

#include "serve/UtcSecond.h"

namespace {

bool Plain(unsigned char c) { return static_cast<unsigned char>(c - 0x21) <= 0x7E - 0x21 && c != '"' && c != '\\'; }

// Whether `text` needs no escape: without a branch, so the compiler looks
// at many bytes at once, as a link's path is hundreds of them.
bool AllPlain(std::string_view text) {
  unsigned char escaped = 0;
  for (char byte : text) {
    const unsigned char c = static_cast<unsigned char>(byte);
    escaped |= (static_cast<unsigned char>(c - 0x21) > 0x7E - 0x21) | (c == '"') | (c == '\\');
  }
  return !escaped;
}

// Runs of plain bytes go in whole; most paths are one run.
void AppendEscaped(std::string& line, std::string_view text) {
  if (AllPlain(text)) {
    line.append(text);
    return;
  }
  static const char kHex[] = "0123456789ABCDEF";
  size_t plainFrom = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (Plain(c)) continue;
    line.append(text.data() + plainFrom, i - plainFrom);
    const char hex[] = {'\\', 'x', kHex[c >> 4], kHex[c & 0xF]};
    line.append(hex, sizeof hex);
    plainFrom = i + 1;
  }
  line.append(text.data() + plainFrom, text.size() - plainFrom);
}

std::string DroppedLine(uint64_t dropped) {
  return "zimbelplot-serve: " + std::to_string(dropped) + " access log lines dropped: the log did not drain\n";
}

// A descriptor that polls writable takes this much without blocking (a
// pipe has a page free); while it does not, a stop is looked for this often.
// A regular file takes any write whole, so it gets all that is held at once.
constexpr size_t kChunk = PIPE_BUF;
constexpr int kPollMs = 100;
constexpr std::chrono::milliseconds kGather{10};

size_t ChunkFor(int fd) {
  struct stat status{};
  return fstat(fd, &status) == 0 && S_ISREG(status.st_mode) ? SIZE_MAX : kChunk;
}

}  // namespace

std::string AccessLine(std::string_view client, std::string_view method, std::string_view path,
                       std::string_view protocol, int status, long long bytes) {
  thread_local UtcSecond when("%d/%b/%Y:%H:%M:%S +0000");
  std::string line;
  line.reserve(client.size() + method.size() + path.size() + protocol.size() + 64);
  line.append(client).append(" - - [").append(when.Now()).append("] \"");
  // A request refused before its line could be read has none to tell.
  if (method.empty()) {
    line += '-';
  } else {
    AppendEscaped(line, method);
    line += ' ';
    AppendEscaped(line, path);
    line += ' ';
    AppendEscaped(line, protocol);
  }
  line.append("\" ").append(std::to_string(status)).append(" ").append(bytes > 0 ? std::to_string(bytes) : "-");
  line += '\n';
  return line;
}

AccessLog::AccessLog(int fd, size_t heldBytes)
    : fd_(fd), chunk_(ChunkFor(fd)), heldBytes_(heldBytes), writer_([this] { Run(); }) {}

AccessLog::~AccessLog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    giveUpAt_ = Clock::now() + kLastWrite;
    stopping_ = true;
  }
  changed_.notify_one();
  writer_.join();
}

void AccessLog::Add(const std::string& line) {
  bool wake;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (held_.size() + line.size() > heldBytes_) {
      ++dropped_;
      return;
    }
    const size_t half = heldBytes_ / 2;
    wake = held_.empty() || (held_.size() < half && held_.size() + line.size() >= half);
    held_ += line;
  }
  // The writer waits for a first line, then for half the buffer or a moment.
  if (wake) changed_.notify_one();
}

void AccessLog::Run() {
  std::string out;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !held_.empty() || stopping_; });
    if (held_.empty()) break;
    // Under load lines come many a millisecond: a moment's wait makes them
    // one write, and spares the answering threads a wake-up a line.
    changed_.wait_for(lock, kGather, [this] { return stopping_ || held_.size() >= heldBytes_ / 2; });
    out.clear();
    out.swap(held_);
    // What was dropped while the lines before it waited is told after them.
    const uint64_t untold = dropped_;
    if (untold > 0) out += DroppedLine(untold);
    dropped_ = 0;
    lock.unlock();
    const uint64_t lost = WriteOut(out);
    lock.lock();
    // A count that did not get out is told with the next one.
    if (lost > 0) dropped_ += untold > 0 ? lost - 1 + untold : lost;
  }
  const uint64_t untold = dropped_;
  lock.unlock();
  if (untold > 0) WriteOut(DroppedLine(untold));
}

uint64_t AccessLog::WriteOut(const std::string& text) {
  size_t at = 0;
  while (at < text.size()) {
    int wait = kPollMs;
    if (stopping_) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(giveUpAt_ - Clock::now()).count();
      wait = static_cast<int>(std::clamp<long long>(left, 0, kPollMs));
    }
    pollfd writable{fd_, POLLOUT, 0};
    const int ready = poll(&writable, 1, wait);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) {
      if (stopping_ && Clock::now() >= giveUpAt_) break;
      continue;
    }
    if (writable.revents & (POLLERR | POLLNVAL)) break;
    // Whole lines where they fit, so that a line is one write.
    size_t size = std::min(chunk_, text.size() - at);
    const size_t end = text.rfind('\n', at + size - 1);
    if (at + size < text.size() && end != std::string::npos && end >= at) size = end + 1 - at;
    const ssize_t written = write(fd_, text.data() + at, size);
    if (written > 0) {
      at += static_cast<size_t>(written);
    } else if (written < 0 && errno != EINTR && errno != EAGAIN) {
      break;
    }
  }
  return static_cast<uint64_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(), '\n'));
}
