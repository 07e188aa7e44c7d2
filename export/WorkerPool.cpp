#include "export/WorkerPool.h"

#include <algorithm>

WorkerPool::WorkerPool(int cores, int capacity) {
  // Reserved, so that adding a work never allocates and so never fails.
  queue_.reserve(static_cast<size_t>(std::max(capacity, 1)));
  for (int i = 1; i < cores; ++i) threads_.emplace_back([this] { Serve(); });
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void WorkerPool::Add(PartedWork& work) {
  if (work.parts == 0) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(&work);
  }
  changed_.notify_all();
}

int WorkerPool::Take(PartedWork& work) {
  const int part = work.taken++;
  if (work.taken == work.parts) queue_.erase(std::find(queue_.begin(), queue_.end(), &work));
  return part;
}

void WorkerPool::RunPart(std::unique_lock<std::mutex>& lock, PartedWork& work, int part) {
  lock.unlock();
  work.runPart(part);
  lock.lock();
  ++work.finished;
  if (work.finished == work.parts) changed_.notify_all();
}

void WorkerPool::Wait(PartedWork& work) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (work.taken < work.parts) RunPart(lock, work, Take(work));
  changed_.wait(lock, [&] { return work.finished == work.parts; });
}

void WorkerPool::Serve() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    PartedWork& work = *queue_.front();
    RunPart(lock, work, Take(work));
  }
}
