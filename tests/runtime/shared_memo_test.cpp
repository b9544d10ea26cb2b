#include "runtime/shared_memo.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace vx {
namespace {

TEST(SharedMemo, AKeyIsMadeOnceAndTheFirstKeptValueStays) {
  SharedMemo<std::string, int> memo(8);
  int made = 0;
  const auto first = memo.Get(std::string("a"), [&] { return ++made; });
  const auto again = memo.Get(std::string("a"), [&] { return ++made; });
  EXPECT_EQ(made, 1);
  EXPECT_EQ(first, again);
  // A value made by a second thread meanwhile gives way to the one already kept.
  EXPECT_EQ(*memo.Keep("a", 99), 1);
  EXPECT_EQ(memo.Find(std::string_view("b")), nullptr);
}

TEST(SharedMemo, ItEmptiesAtItsBoundAndAValueHandedOutOutlivesThat) {
  SharedMemo<int, std::string> memo(3);
  const auto kept = memo.Keep(0, "zero");
  memo.Keep(1, "one");
  memo.Keep(2, "two");
  memo.Keep(3, "three");  // the bound was reached: the memo starts again
  EXPECT_EQ(memo.Find(0), nullptr);
  EXPECT_EQ(*memo.Find(3), "three");
  EXPECT_EQ(*kept, "zero");
}

TEST(SharedMemo, ThreadsAskingForTheSameKeysGetOneValueEach) {
  SharedMemo<int, std::vector<int>> memo(64);
  std::vector<std::thread> threads;
  std::vector<std::vector<const std::vector<int>*>> seen(4);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 200; ++round) {
        const int key = round % 16;
        const auto value = memo.Get(key, [&] { return std::vector<int>(8, key); });
        ASSERT_EQ(value->front(), key);
        if (round >= 184) seen[t].push_back(value.get());
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 1; t < 4; ++t) EXPECT_EQ(seen[t], seen[0]);
}

}  // namespace
}  // namespace vx
