#include "serve/DrawQueue.h"

#include <new>
#include <string>
#include <utility>

DrawQueue::DrawQueue(int threads, int waiting, uint64_t pixelBudget)
    : waiting_(static_cast<size_t>(waiting)), pixelBudget_(pixelBudget) {
  for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Draw(); });
}

DrawQueue::~DrawQueue() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

bool DrawQueue::Submit(PictureJob job, Done done) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_ || queue_.size() >= waiting_ || WaitsTooLong(job.pixels)) return false;
    pixelsWaiting_ += job.pixels;
    queue_.push_back({std::move(job), std::move(done)});
  }
  changed_.notify_one();
  return true;
}

void DrawQueue::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
}

bool DrawQueue::Drained(std::chrono::steady_clock::duration bound) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, bound, [this] { return queue_.empty() && drawing_ == 0; });
}

void DrawQueue::Cancel() {
  std::deque<Task> dropped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    dropped.swap(queue_);
    pixelsWaiting_ = 0;
  }
  for (Task& task : dropped) {
    std::string stopping = "the server is stopping";
    task.done(false, stopping);
  }
}

bool DrawQueue::WaitsTooLong(uint64_t pixels) const {
  // A picture with nothing ahead of it is drawn however long it takes.
  const uint64_t ahead = pixelsWaiting_ + pixelsDrawn_;
  if (ahead == 0) return false;
  const double rate = secondsPerPixel_ > 0 ? secondsPerPixel_ : kUnmeasuredSecondsPerPixel;
  const double wait = static_cast<double>(ahead + pixels) * rate / static_cast<double>(threads_.size());
  return wait > std::chrono::duration<double>(kLongestWait).count();
}

void DrawQueue::Draw() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    // The oldest picture starts once its pixels fit beside those being
    // drawn; one alone always fits.
    changed_.wait(lock, [this] {
      return (stopping_ && queue_.empty()) ||
             (!queue_.empty() && (pixelsDrawn_ == 0 || pixelsDrawn_ + queue_.front().job.pixels <= pixelBudget_));
    });
    if (queue_.empty()) return;
    Task task = std::move(queue_.front());
    queue_.pop_front();
    pixelsWaiting_ -= task.job.pixels;
    pixelsDrawn_ += task.job.pixels;
    ++drawing_;
    lock.unlock();
    std::string bytes;
    std::string reason;
    bool ok = false;
    const auto start = std::chrono::steady_clock::now();
    try {
      ok = DrawPicture(task.job, bytes, reason);
    } catch (const std::bad_alloc&) {
      reason = "out of memory";
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!ok) bytes = "cannot draw: " + reason;
    task.done(ok, bytes);
    lock.lock();
    if (ok && task.job.pixels > 0) {
      // A quarter of each new picture's rate: one odd picture moves it little.
      const double rate = took.count() / static_cast<double>(task.job.pixels);
      secondsPerPixel_ = secondsPerPixel_ == 0 ? rate : 0.75 * secondsPerPixel_ + 0.25 * rate;
    }
    pixelsDrawn_ -= task.job.pixels;
    --drawing_;
    changed_.notify_all();
  }
}
