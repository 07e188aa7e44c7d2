#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "serve/PictureCache.h"

namespace {

// What each waiter was handed.
struct Handed {
  bool called = false;
  bool ok = false;
  Bytes bytes;
};

PictureCache::Waiter Into(Handed& handed) {
  return [&handed](bool ok, const Bytes& bytes) {
    handed.called = true;
    handed.ok = ok;
    handed.bytes = bytes;
  };
}

// Draws `key` as the server does: the first asker draws, the others wait.
void Draw(PictureCache& cache, const std::string& key, const std::string& bytes) {
  Handed handed;
  ASSERT_TRUE(cache.Join(key, Into(handed)));
  cache.Finish(key, true, bytes);
  ASSERT_TRUE(handed.called);
}

TEST(PictureCacheTest, APictureDrawnIsFoundByItsKeyAlone) {
  PictureCache cache(1 << 20);
  EXPECT_EQ(cache.Find("p1"), nullptr);
  Draw(cache, "p1", "one");
  Draw(cache, "p2", "two");
  ASSERT_NE(cache.Find("p1"), nullptr);
  EXPECT_EQ(*cache.Find("p1"), "one");
  EXPECT_EQ(*cache.Find("p2"), "two");
  EXPECT_EQ(cache.Find("p"), nullptr);
  EXPECT_EQ(cache.Find("p1 "), nullptr);
}

// The bound counts keys and bytes; the least recently asked for goes
// first, and a picture larger than the whole cache is handed out, not kept.
TEST(PictureCacheTest, TheByteBoundDropsTheLeastRecentlyAskedFor) {
  const std::string picture(98, 'x');  // with a key of 2, 100 bytes
  PictureCache cache(300);
  Draw(cache, "p1", picture);
  Draw(cache, "p2", picture);
  Draw(cache, "p3", picture);
  ASSERT_NE(cache.Find("p1"), nullptr);  // now the most recent
  Draw(cache, "p4", picture);
  EXPECT_NE(cache.Find("p1"), nullptr);
  EXPECT_EQ(cache.Find("p2"), nullptr);
  EXPECT_NE(cache.Find("p3"), nullptr);
  EXPECT_NE(cache.Find("p4"), nullptr);

  Handed handed;
  ASSERT_TRUE(cache.Join("big", Into(handed)));
  cache.Finish("big", true, std::string(400, 'y'));
  EXPECT_TRUE(handed.ok);
  EXPECT_EQ(handed.bytes->size(), 400u);
  EXPECT_EQ(cache.Find("big"), nullptr);
  EXPECT_NE(cache.Find("p1"), nullptr);
  EXPECT_NE(cache.Find("p3"), nullptr);
  EXPECT_NE(cache.Find("p4"), nullptr);
}

TEST(PictureCacheTest, EveryoneAskingDuringADrawingGetsItsOneResult) {
  PictureCache cache(1 << 20);
  std::vector<Handed> handed(5);
  EXPECT_TRUE(cache.Join("p", Into(handed[0])));
  for (size_t i = 1; i < handed.size(); ++i) EXPECT_FALSE(cache.Join("p", Into(handed[i])));
  // Another picture is its own drawing.
  Handed other;
  EXPECT_TRUE(cache.Join("q", Into(other)));
  for (const Handed& h : handed) EXPECT_FALSE(h.called);
  cache.Finish("p", true, "picture");
  for (const Handed& h : handed) {
    EXPECT_TRUE(h.ok);
    EXPECT_EQ(h.bytes, handed[0].bytes);  // the same bytes, not copies
  }
  EXPECT_EQ(*handed[0].bytes, "picture");
  EXPECT_FALSE(other.called);
  cache.Finish("q", true, "other");
  EXPECT_TRUE(other.called);
}

// A failed drawing answers all who waited with why, keeps nothing, and the
// next asker draws again.
TEST(PictureCacheTest, AFailedDrawingReleasesItsWaitersAndIsNotKept) {
  PictureCache cache(1 << 20);
  std::vector<Handed> handed(3);
  EXPECT_TRUE(cache.Join("p", Into(handed[0])));
  EXPECT_FALSE(cache.Join("p", Into(handed[1])));
  EXPECT_FALSE(cache.Join("p", Into(handed[2])));
  cache.Finish("p", false, "busy");
  for (const Handed& h : handed) {
    EXPECT_TRUE(h.called);
    EXPECT_FALSE(h.ok);
    EXPECT_EQ(*h.bytes, "busy");
  }
  EXPECT_EQ(cache.Find("p"), nullptr);
  Handed again;
  EXPECT_TRUE(cache.Join("p", Into(again)));
  cache.Finish("p", true, "drawn");
  EXPECT_EQ(*again.bytes, "drawn");
}

// Many threads asking for the same few pictures at once, as a link opened
// by many does: each round draws each picture once, every asker gets it.
TEST(PictureCacheTest, ConcurrentAskersShareOneDrawingEach) {
  PictureCache cache(0);  // nothing kept: every round draws anew
  constexpr int kThreads = 8;
  constexpr int kRounds = 200;
  std::atomic<int> answers{0};
  std::atomic<int> wrong{0};
  std::vector<std::thread> askers;
  for (int t = 0; t < kThreads; ++t) {
    askers.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        const std::string key = "p" + std::to_string((round + t) % 3);
        const auto waiter = [&, key](bool ok, const Bytes& bytes) {
          if (!ok || *bytes != key + " drawn") ++wrong;
          ++answers;
        };
        if (cache.Join(key, waiter)) {
          cache.Finish(key, true, key + " drawn");
        }
      }
    });
  }
  for (std::thread& asker : askers) asker.join();
  EXPECT_EQ(answers.load(), kThreads * kRounds);
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
