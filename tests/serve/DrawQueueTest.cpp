#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serve/DrawQueue.h"
#include "tests/serve/ServeTestJobs.h"

namespace {

using std::chrono::seconds;

// What a queue's pictures came to, in the order their drawings ended.
struct Outcomes {
  std::mutex mutex;
  std::vector<std::string> order;  // "key ok" or "key refused: why"

  DrawQueue::Done For(const std::string& key) {
    return [this, key](bool ok, std::string& bytes) {
      std::lock_guard<std::mutex> lock(mutex);
      order.push_back(key + (ok ? " ok" : " refused: " + bytes));
    };
  }
  std::vector<std::string> Taken() {
    std::lock_guard<std::mutex> lock(mutex);
    return order;
  }
};

// Whether `met` holds within `bound`, asked every few milliseconds.
template <typename Met>
bool Eventually(Met met, std::chrono::steady_clock::duration bound) {
  const auto end = std::chrono::steady_clock::now() + bound;
  while (!met()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// A drawing thread held by the first picture's `done` until Release: what
// is submitted meanwhile waits, deterministically.
struct Held {
  std::promise<void> started;
  std::promise<void> released;
  std::shared_future<void> gate = released.get_future().share();

  DrawQueue::Done Done() {
    return [this](bool, std::string&) {
      started.set_value();
      gate.wait();
    };
  }
  void Release() { released.set_value(); }
  // The queue's one thread busy with this job until Release.
  void Occupy(DrawQueue& queue, const PictureJob& job) {
    ASSERT_TRUE(queue.Submit(job, Done()));
    started.get_future().wait();
  }
};

TEST(DrawQueueTest, OneThreadDrawsInTheOrderAsked) {
  Outcomes outcomes;
  Held held;
  DrawQueue queue(1, 8, kPixelsDrawnAtOnce);
  held.Occupy(queue, TestJob("held"));
  for (const char* key : {"a", "b", "c", "d"}) ASSERT_TRUE(queue.Submit(TestJob(key), outcomes.For(key)));
  held.Release();
  ASSERT_TRUE(queue.Drained(seconds(20)));
  EXPECT_EQ(outcomes.Taken(), (std::vector<std::string>{"a ok", "b ok", "c ok", "d ok"}));
}

TEST(DrawQueueTest, AFullQueueRefusesAtOnceAndNeverCallsBack) {
  Outcomes outcomes;
  Held held;
  DrawQueue queue(1, 2, kPixelsDrawnAtOnce);
  held.Occupy(queue, TestJob("held"));
  EXPECT_TRUE(queue.Submit(TestJob("a"), outcomes.For("a")));
  EXPECT_TRUE(queue.Submit(TestJob("b"), outcomes.For("b")));
  EXPECT_FALSE(queue.Submit(TestJob("c"), outcomes.For("c")));
  held.Release();
  ASSERT_TRUE(queue.Drained(seconds(20)));
  // A place freed is a place again.
  EXPECT_TRUE(queue.Submit(TestJob("d"), outcomes.For("d")));
  ASSERT_TRUE(queue.Drained(seconds(20)));
  EXPECT_EQ(outcomes.Taken(), (std::vector<std::string>{"a ok", "b ok", "d ok"}));
}

// Once the queue has seen how fast this machine draws, a picture that would
// wait past kLongestWait behind others is refused at once; with nothing
// ahead of it, it is drawn whatever it costs.
TEST(DrawQueueTest, APictureThatWouldWaitTooLongIsRefusedAtOnce) {
  Outcomes outcomes;
  Held held;
  DrawQueue queue(1, 8, kPixelsDrawnAtOnce);
  ASSERT_TRUE(queue.Submit(TestJob("first"), outcomes.For("first")));
  ASSERT_TRUE(queue.Drained(seconds(20)));
  held.Occupy(queue, TestJob("held"));
  PictureJob huge = TestJob("huge");
  huge.pixels = uint64_t{1} << 50;  // days at any rate a machine draws
  EXPECT_FALSE(queue.Submit(huge, outcomes.For("huge")));
  EXPECT_TRUE(queue.Submit(TestJob("small"), outcomes.For("small")));
  held.Release();
  ASSERT_TRUE(queue.Drained(seconds(20)));
  huge.key = "alone";
  EXPECT_TRUE(queue.Submit(huge, outcomes.For("alone")));
  ASSERT_TRUE(queue.Drained(seconds(20)));
  EXPECT_EQ(outcomes.Taken(), (std::vector<std::string>{"first ok", "small ok", "alone ok"}));
}

// A stop: what waits is answered as refused, what is being drawn finishes,
// and nothing is queued after it, whoever asks.
TEST(DrawQueueTest, CancelRefusesWhatWaitsAndLatches) {
  Outcomes outcomes;
  Held held;
  DrawQueue queue(1, 8, kPixelsDrawnAtOnce);
  std::atomic<bool> heldDrawn{false};
  ASSERT_TRUE(queue.Submit(TestJob("held"), [&](bool ok, std::string& bytes) {
    held.Done()(ok, bytes);
    heldDrawn = ok;
  }));
  held.started.get_future().wait();
  ASSERT_TRUE(queue.Submit(TestJob("a"), outcomes.For("a")));
  ASSERT_TRUE(queue.Submit(TestJob("b"), outcomes.For("b")));
  queue.Cancel();
  EXPECT_FALSE(queue.Submit(TestJob("late"), outcomes.For("late")));
  held.Release();
  ASSERT_TRUE(queue.Drained(seconds(20)));
  EXPECT_TRUE(heldDrawn);
  EXPECT_EQ(outcomes.Taken(),
            (std::vector<std::string>{"a refused: the server is stopping", "b refused: the server is stopping"}));
}

// Submitters on several threads against a Cancel: every picture accepted
// is answered exactly once, drawn or refused, and none after the latch.
TEST(DrawQueueTest, EveryAcceptedPictureIsAnsweredOnceAcrossACancel) {
  std::atomic<int> accepted{0};
  std::atomic<int> answered{0};
  std::atomic<bool> cancelled{false};
  std::atomic<int> acceptedAfterCancel{0};
  {
    DrawQueue queue(2, 16, kPixelsDrawnAtOnce);
    std::vector<std::thread> submitters;
    for (int t = 0; t < 4; ++t) {
      submitters.emplace_back([&, t] {
        for (int i = 0; i < 50; ++i) {
          const bool late = cancelled;
          if (queue.Submit(TestJob(std::to_string(t) + "/" + std::to_string(i)),
                           [&](bool, std::string&) { ++answered; })) {
            ++accepted;
            if (late) ++acceptedAfterCancel;
          }
        }
      });
    }
    queue.Cancel();
    cancelled = true;
    for (std::thread& submitter : submitters) submitter.join();
  }
  EXPECT_EQ(answered.load(), accepted.load());
  EXPECT_EQ(acceptedAfterCancel.load(), 0);
}

// The pixels drawn at once stay within the budget: a picture that does not
// fit beside the one being drawn waits for it, one that fits is drawn on
// the other thread meanwhile.
TEST(DrawQueueTest, APicturePastThePixelBudgetWaitsItsTurn) {
  const PictureJob big = TestJob("big", 8, 1000, PictureKind::Png);
  for (const bool fits : {false, true}) {
    SCOPED_TRACE(fits ? "room for two" : "room for one");
    Outcomes outcomes;
    Held held;
    DrawQueue queue(2, 8, fits ? 2 * big.pixels : big.pixels + big.pixels / 2);
    held.Occupy(queue, big);
    ASSERT_TRUE(queue.Submit(big, outcomes.For("second")));
    if (fits) {
      EXPECT_TRUE(Eventually([&] { return !outcomes.Taken().empty(); }, seconds(20)));
    } else {
      EXPECT_FALSE(queue.Drained(std::chrono::milliseconds(300)));
      EXPECT_TRUE(outcomes.Taken().empty());
    }
    held.Release();
    ASSERT_TRUE(queue.Drained(seconds(20)));
    EXPECT_EQ(outcomes.Taken(), std::vector<std::string>{"second ok"});
  }
}

}  // namespace
