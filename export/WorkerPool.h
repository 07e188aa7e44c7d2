#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Work cut into parts that any thread may run, each once, in any order.
// Set before it is added to a pool.
struct PartedWork {
  int parts = 0;
  std::function<void(int)> runPart;  // must not throw
  int taken = 0;     // guarded by the pool
  int finished = 0;  // guarded by the pool
};

// Threads that take parts from the works added, oldest first. Whoever waits
// for a work runs its parts meanwhile, so N cores take N - 1 threads and one
// core none: there every part runs on the caller, in order.
class WorkerPool {
 public:
  // At most `capacity` works are added and not yet waited for at any time.
  WorkerPool(int cores, int capacity);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // `work` must live until Wait(work) returns.
  void Add(PartedWork& work);
  // Returns once every part of `work` has run.
  void Wait(PartedWork& work);

 private:
  void Serve();
  // With the lock held: the next part of `work`, dropping it from the queue
  // once all its parts are taken.
  int Take(PartedWork& work);
  void RunPart(std::unique_lock<std::mutex>& lock, PartedWork& work, int part);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<PartedWork*> queue_;  // works with parts left to take
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};
