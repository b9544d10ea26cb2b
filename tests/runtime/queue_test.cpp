#include "runtime/queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/fixed_string.h"

namespace vx {
namespace {

struct Var {
  String<32> NAME;
  String<255> VALUE;
  long Seq = 0;
};

std::vector<std::string> Names(const Queue<Var>& q) {
  std::vector<std::string> out;
  for (const Var& v : q) out.push_back(v.NAME.str() + (v.Seq ? std::to_string(v.Seq) : ""));
  return out;
}

void AddVar(Queue<Var>& q, const char* name, long seq = 0) {
  q.buffer.NAME = name;
  q.buffer.Seq = seq;
  q.Add();
}

TEST(Queue, AddGetAndBufferLifecycle) {
  Queue<Var> q;
  AddVar(q, "A");
  AddVar(q, "B");
  EXPECT_EQ(q.Records(), 2);
  EXPECT_EQ(q.Pointer(), 2);  // points at the entry just added

  ASSERT_EQ(q.Get(1), 0);
  EXPECT_EQ(q.buffer.NAME, "A");
  EXPECT_EQ(q.Pointer(), 1);

  q.buffer.NAME = "Z";
  EXPECT_EQ(q[1].NAME, "A");  // the buffer is a copy until Put
  ASSERT_EQ(q.Put(), 0);
  EXPECT_EQ(Names(q), (std::vector<std::string>{"Z", "B"}));

  q.buffer.NAME = "First";
  q.Add(1);
  q.buffer.NAME = "Last";
  q.Add(99);  // past the end appends
  EXPECT_EQ(Names(q), (std::vector<std::string>{"First", "Z", "B", "Last"}));
}

TEST(Queue, OutOfRangeIsEntryNotFoundAndDisarmsPutAndDelete) {
  Queue<Var> q;
  EXPECT_EQ(q.Put(), kQueueEntryNotFound);  // nothing read yet
  EXPECT_EQ(q.Delete(), kQueueEntryNotFound);
  AddVar(q, "A");
  AddVar(q, "B");
  ASSERT_EQ(q.Get(2), 0);
  for (long bad : {0L, -1L, 3L, 1'000'000L}) {
    EXPECT_EQ(q.Get(bad), kQueueEntryNotFound) << bad;
    EXPECT_EQ(q.ErrorCode(), kQueueEntryNotFound);
    EXPECT_EQ(q.buffer.NAME, "B") << "a failed get leaves the buffer";
    EXPECT_EQ(q.Pointer(), 0);
  }
  // After the failed get a Delete must not remove "B", the entry read before it.
  EXPECT_EQ(q.Delete(), kQueueEntryNotFound);
  EXPECT_EQ(q.Put(), kQueueEntryNotFound);
  EXPECT_EQ(Names(q), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(q.Get(1), 0);
  EXPECT_EQ(q.ErrorCode(), 0);
}

TEST(Queue, DeleteAfterGetRemovesThatEntryOnce) {
  Queue<Var> q;
  for (const char* n : {"A", "B", "C", "D"}) AddVar(q, n);
  // The usual walk from the end, deleting as it goes.
  for (long i = q.Records(); i >= 1; --i) {
    ASSERT_EQ(q.Get(i), 0);
    if (q.buffer.NAME == "B" || q.buffer.NAME == "D") {
      ASSERT_EQ(q.Delete(), 0);
    }
  }
  EXPECT_EQ(Names(q), (std::vector<std::string>{"A", "C"}));
  ASSERT_EQ(q.Get(1), 0);
  ASSERT_EQ(q.Delete(), 0);
  EXPECT_EQ(q.Delete(), kQueueEntryNotFound);  // a second delete does not take "C"
  EXPECT_EQ(Names(q), (std::vector<std::string>{"C"}));
  EXPECT_EQ(q.buffer.NAME, "A");  // the deleted entry stays in the buffer
}

TEST(Queue, GetByKeyFindsFirstMatch) {
  Queue<Var> q;
  AddVar(q, "X", 1);
  AddVar(q, "Y", 2);
  AddVar(q, "X", 3);
  q.buffer.NAME = "X";
  q.buffer.Seq = 0;
  ASSERT_EQ(q.GetBy(&Var::NAME), 0);
  EXPECT_EQ(q.buffer.Seq, 1);
  EXPECT_EQ(q.Pointer(), 1);

  q.buffer.NAME = "X";
  q.buffer.Seq = 3;
  ASSERT_EQ(q.GetBy(&Var::NAME, &Var::Seq), 0);  // two key fields
  EXPECT_EQ(q.Pointer(), 3);

  q.buffer.NAME = "Q";
  EXPECT_EQ(q.GetBy(&Var::NAME), kQueueEntryNotFound);
  EXPECT_EQ(q.buffer.NAME, "Q");
  EXPECT_EQ(q.Pointer(), 0);

  ASSERT_EQ(q.GetWhere([](const Var& v) { return v.Seq == 2; }), 0);
  EXPECT_EQ(q.buffer.NAME, "Y");
}

TEST(Queue, AddSortedKeepsOrderAndPutsEqualKeysLast) {
  Queue<Var> q;
  const std::pair<const char*, long> adds[] = {{"M", 1}, {"C", 2}, {"X", 3},
                                               {"C", 4}, {"A", 5}, {"M", 6}};
  for (const auto& [name, seq] : adds) {
    q.buffer.NAME = name;
    q.buffer.Seq = seq;
    q.AddBy(&Var::NAME);
    EXPECT_EQ(q[q.Pointer()].Seq, seq) << "the pointer names the inserted entry";
  }
  EXPECT_EQ(Names(q), (std::vector<std::string>{"A5", "C2", "C4", "M1", "M6", "X3"}));

  Queue<Var> d;
  for (const auto& [name, seq] : adds) {
    d.buffer.NAME = name;
    d.buffer.Seq = seq;
    d.AddSorted([](const Var& a, const Var& b) { return b.NAME < a.NAME; });  // descending
  }
  EXPECT_EQ(Names(d), (std::vector<std::string>{"X3", "M1", "M6", "C2", "C4", "A5"}));
}

TEST(Queue, SortIsStableInBothDirections) {
  Queue<Var> q;
  const std::pair<const char*, long> adds[] = {{"b", 1}, {"a", 2}, {"b", 3}, {"a", 4}, {"c", 5}};
  for (const auto& [name, seq] : adds) AddVar(q, name, seq);

  q.SortBy(&Var::NAME);
  EXPECT_EQ(Names(q), (std::vector<std::string>{"a2", "a4", "b1", "b3", "c5"}));
  EXPECT_EQ(q.Pointer(), 0);  // positions moved: nothing is "last read" any more

  q.SortBy(Desc(&Var::NAME));
  EXPECT_EQ(Names(q), (std::vector<std::string>{"c5", "b1", "b3", "a2", "a4"}));

  q.SortBy(&Var::NAME, Desc(&Var::Seq));
  EXPECT_EQ(Names(q), (std::vector<std::string>{"a4", "a2", "b3", "b1", "c5"}));

  q.Sort([](const Var& a, const Var& b) { return a.Seq < b.Seq; }, SortOrder::Descending);
  EXPECT_EQ(Names(q), (std::vector<std::string>{"c5", "a4", "b3", "a2", "b1"}));
}

TEST(Queue, FreeEmptiesButKeepsBuffer) {
  Queue<Var> q;
  AddVar(q, "A");
  q.Free();
  EXPECT_EQ(q.Records(), 0);
  EXPECT_EQ(q.Pointer(), 0);
  EXPECT_EQ(q.buffer.NAME, "A");
  EXPECT_EQ(q.Get(1), kQueueEntryNotFound);
}

TEST(Queue, TenThousandEntriesSortAndFind) {
  Queue<Var> q;
  q.Reserve(10'000);
  for (long i = 0; i < 10'000; ++i) {
    q.buffer.Seq = (i * 7919) % 10'000;  // a permutation of 0..9999
    q.buffer.NAME = std::to_string(q.buffer.Seq % 100);
    q.Add();
  }
  q.SortBy(&Var::Seq);
  for (long i = 1; i <= q.Records(); ++i) ASSERT_EQ(q[i].Seq, i - 1);
  q.buffer.Seq = 4321;
  ASSERT_EQ(q.GetBy(&Var::Seq), 0);
  EXPECT_EQ(q.Pointer(), 4322);
}

}  // namespace
}  // namespace vx
