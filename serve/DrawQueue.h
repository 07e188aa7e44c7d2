#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "serve/Picture.h"

// The pictures waiting to be drawn and the threads that draw them. The queue
// is bounded, so a busy server refuses at once rather than holding requests
// without end, and the pixels drawn at once are bounded too, as the
// exporter bounds its batch: memory stays flat whatever is asked. A picture
// is also refused at once when it would wait longer than an image proxy
// waits for it (a code host's gives up after about 4 s): its wait is
// reckoned from the pixels ahead of it and how fast this machine has been
// drawing them.
constexpr std::chrono::seconds kLongestWait{2};
// Until the first picture is drawn: slower than a sanitizer build draws, so
// a burst at start-up is not all taken on a guess.
constexpr double kUnmeasuredSecondsPerPixel = 1e-7;

class DrawQueue {
 public:
  // `done(ok, bytes)` runs on the drawing thread with the picture, or false
  // and why there is none; it must not throw.
  using Done = std::function<void(bool ok, std::string& bytes)>;

  DrawQueue(int threads, int waiting, uint64_t pixelBudget);
  // Draws what is queued, then joins the threads.
  ~DrawQueue();
  DrawQueue(const DrawQueue&) = delete;
  DrawQueue& operator=(const DrawQueue&) = delete;

  // False when the queue is full or closed, or the picture would wait past
  // kLongestWait; `done` then never runs.
  bool Submit(PictureJob job, Done done);
  // Latches: nothing more is queued; what waits is still drawn.
  void Close();
  // Whether nothing waits or is being drawn, waiting up to `bound`.
  bool Drained(std::chrono::steady_clock::duration bound);
  // Latches as Close does; what still waits is answered as refused, what
  // is being drawn finishes.
  void Cancel();

 private:
  struct Task {
    PictureJob job;
    Done done;
  };
  void Draw();
  bool WaitsTooLong(uint64_t pixels) const;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Task> queue_;
  size_t waiting_;
  uint64_t pixelBudget_;
  uint64_t pixelsDrawn_ = 0;  // by the pictures being drawn now
  uint64_t pixelsWaiting_ = 0;
  double secondsPerPixel_ = 0;  // on one thread, of the pictures drawn lately; 0 before the first
  int drawing_ = 0;
  bool closed_ = false;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};
