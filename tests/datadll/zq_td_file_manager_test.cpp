// Moving a record one place along a numbered list on the stored SCRIPTING table: the two
// records swap numbers, the list's ends and the next list stop a move, and a disk that fails
// while the move is stored leaves both records as they were.
#include "datadll/utility/zq_td_file_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "runtime/storage/errors.h"
#include "test_support.h"
#include "tests/runtime/faulty_vfs.h"

namespace vx {
namespace {

using Strings = std::vector<std::string>;

class SequencedFileManagerTest : public test::DataLibraryTest {
 protected:
  void SetUp() override {
    test::DataLibraryTest::SetUp();
    manager_.Init(SCRIPTING_TABLE(), ACCESS_SCRIPTING->errors());
    ASSERT_EQ(manager_.Open(), 0);
    Fill();
  }
  void TearDown() override {
    manager_.Close();
    manager_.Kill();
    test::DataLibraryTest::TearDown();
  }

  // Task 4's steps, each named by the number it was stored with, and the first step of task 5,
  // which follows task 4's last one in key order.
  void Fill() {
    ASSERT_EQ(manager_.file().Empty(), 0);
    for (const auto& [id, sequence] : {std::pair{4, 1}, {4, 2}, {4, 5}, {4, 9}, {5, 3}}) {
      SCR = SCRIPTING_RECORD{};
      SCR.ID = id;
      SCR.Sequence = sequence;
      SCR.Keystrokes = "s" + std::to_string(sequence);
      ASSERT_EQ(manager_.Insert(), 0);
    }
  }

  // The steps of a task in key order, "number name".
  Strings Steps(std::int32_t id) {
    Strings out;
    SCR.ID = id;
    SCR.Sequence = 0;
    manager_.SetFromBuffer(SCR_KEYID);
    while (manager_.TryNext() == 0 && SCR.ID == id)
      out.push_back(std::to_string(SCR.Sequence) + " " + SCR.Keystrokes.str());
    return out;
  }

  std::uint8_t Move(std::int32_t id, std::int32_t sequence, short direction) {
    SCR.ID = id;
    SCR.Sequence = sequence;
    return manager_.SEQUENCE(direction, SCR_KEYID);
  }

  test::FaultyVfs vfs_;  // before the table's file is first opened
  test::InFreshFolder folder_;
  ZQTDFILEMANAGER manager_;
};

TEST_F(SequencedFileManagerTest, AMoveSwapsTheNumberWithTheNeighbourInItsList) {
  struct Case {
    std::int32_t sequence;
    short direction;
    int result;
    Strings task;
  };
  const Strings unchanged{"1 s1", "2 s2", "5 s5", "9 s9"};
  const Case cases[] = {
      {5, 1, 0, {"1 s1", "2 s5", "5 s2", "9 s9"}},   // up: takes its previous neighbour's number
      {5, -1, 0, {"1 s1", "2 s2", "5 s9", "9 s5"}},  // down
      {1, 1, storage::kNoRecord, unchanged},         // the first cannot go up
      {9, -1, storage::kNoRecord, unchanged},        // nor the last down: task 5's step follows
      {7, 1, storage::kRecordNotFound, unchanged},   // no such step
  };
  for (const Case& c : cases) {
    Fill();
    EXPECT_EQ(Move(4, c.sequence, c.direction), c.result) << c.sequence << " " << c.direction;
    EXPECT_EQ(Steps(4), c.task) << c.sequence << " " << c.direction;
    EXPECT_EQ(Steps(5), Strings{"3 s3"});
  }
  EXPECT_TRUE(reporter_.shown.empty());
}

TEST_F(SequencedFileManagerTest, TheBufferHoldsTheMovedRecordAfterAMove) {
  ASSERT_EQ(Move(4, 9, 1), 0);
  EXPECT_EQ(SCR.Sequence, 5);
  EXPECT_EQ(SCR.Keystrokes.str(), "s9");
}

// The disk fails from the nth write on, for every n up to past the whole move: each move is
// either stored whole or not at all, and a move that failed says so.
TEST_F(SequencedFileManagerTest, AWriteThatFailsLeavesBothRecordsAndSaysSo) {
  const Strings before{"1 s1", "2 s2", "5 s5", "9 s9"};
  const Strings after{"1 s1", "2 s5", "5 s2", "9 s9"};
  int failed = 0;
  for (int nth = 1; nth <= 24; ++nth) {
    Fill();
    vfs_.Arm(test::Fault::Write, nth);
    const int result = Move(4, 5, 1);
    const std::int32_t buffer = SCR.Sequence;
    vfs_.Clear();
    if (result != 0) {
      ++failed;
      EXPECT_EQ(buffer, 5) << nth;  // the buffer as it was asked
      EXPECT_EQ(Steps(4), before) << nth;
    } else {
      EXPECT_EQ(Steps(4), after) << nth;
    }
  }
  EXPECT_GT(failed, 0);
  EXPECT_FALSE(reporter_.shown.empty());
}

}  // namespace
}  // namespace vx
