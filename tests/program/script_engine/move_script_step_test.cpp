// Moving and renumbering the steps of a task: the numbers the task uses stay the same set (gaps
// included), other tasks are not touched, and a write that fails half-way undoes the whole move.
#include "program/script_engine/move_script_step.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "program/script_engine/script_tables.h"
#include "tests/program/script_test_support.h"
#include "tests/program/shell_fixture.h"
#include "tests/runtime/faulty_vfs.h"

namespace vx {
namespace {

using test::Step;
using Strings = std::vector<std::string>;

class MoveScriptStepTest : public ::testing::Test {
 protected:
  // Task 4 with one step per number, each named by its number ("s1", "s2" ...), and a step of
  // task 5 that must stay where it is.
  void Steps(std::initializer_list<std::int32_t> sequences) {
    for (std::int32_t seq : sequences) {
      SCRIPTING_RECORD s = Step("s" + std::to_string(seq));
      s.ID = 4;
      s.Sequence = seq;
      steps_.Put(s);
    }
    SCRIPTING_RECORD other = Step("other");
    other.ID = 5;
    other.Sequence = 2;
    steps_.Put(other);
  }
  Strings Task() const { return steps_.Summary(4); }

  test::FakeScriptSteps steps_;
  test::RecordingReporter messages_;
};

TEST_F(MoveScriptStepTest, EachMoveKeepsTheNumbersAndChangesTheOrder) {
  struct Case {
    StepMove mode;
    std::int32_t current, stop;
    Strings expected;
    std::int32_t lands;
  };
  const Case cases[] = {
      {StepMove::UpOne, 5, 0, {"1 s1", "2 s5", "5 s2", "9 s9"}, 2},
      {StepMove::DownOne, 2, 0, {"1 s1", "2 s5", "5 s2", "9 s9"}, 5},
      // To the top: the step takes the first number, the ones it passes move one place down.
      {StepMove::ToTop, 9, 0, {"1 s9", "2 s1", "5 s2", "9 s5"}, 1},
      {StepMove::ToBottom, 1, 0, {"1 s2", "2 s5", "5 s9", "9 s1"}, 9},
      // Into place: a step added at the end comes up to just after the step numbered stop.
      {StepMove::IntoPlace, 9, 1, {"1 s1", "2 s9", "5 s2", "9 s5"}, 2},
      // Nowhere to go.
      {StepMove::UpOne, 1, 0, {"1 s1", "2 s2", "5 s5", "9 s9"}, 1},
      {StepMove::DownOne, 9, 0, {"1 s1", "2 s2", "5 s5", "9 s9"}, 9},
      {StepMove::ToTop, 1, 0, {"1 s1", "2 s2", "5 s5", "9 s9"}, 1},
      {StepMove::IntoPlace, 9, 5, {"1 s1", "2 s2", "5 s5", "9 s9"}, 9},
      {StepMove::UpOne, 7, 0, {"1 s1", "2 s2", "5 s5", "9 s9"}, 7},  // no such step
  };
  for (const Case& c : cases) {
    steps_.rows.clear();
    Steps({1, 2, 5, 9});
    EXPECT_EQ(MoveScriptStep(c.mode, 4, c.current, c.stop, steps_, messages_), c.lands)
        << static_cast<int>(c.mode) << " " << c.current;
    EXPECT_EQ(Task(), c.expected) << static_cast<int>(c.mode) << " " << c.current;
    EXPECT_EQ(steps_.Summary(5), Strings{"2 other"});
  }
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(MoveScriptStepTest, AFailedWriteHalfWayLeavesTheOrderAsItWasAndSaysSo) {
  Steps({1, 2, 5, 9});
  steps_.fail_change_at = 2;  // parked, one moved down, then the table fails
  EXPECT_EQ(MoveScriptStep(StepMove::ToTop, 4, 9, 0, steps_, messages_), 9);
  EXPECT_EQ(Task(), (Strings{"1 s1", "2 s2", "5 s5", "9 s9"}));
  EXPECT_EQ(steps_.rollbacks, 1);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].caption, "Error!");
  EXPECT_EQ(messages_.shown[0].text,
            "Record swap error: \rDisk full\rScripting, SCR:KeyID\rKey Field SCR:ID = 4\r"
            "Key Field SCR:Sequence = 2\rSection = Put Swap Out\r");
}

TEST_F(MoveScriptStepTest, RenumberingClosesTheGapsFromANumberOn) {
  Steps({1, 3, 4, 5, 8});
  EXPECT_TRUE(RenumberScriptSteps(4, 2, steps_, messages_));
  EXPECT_EQ(Task(), (Strings{"1 s1", "2 s3", "3 s4", "4 s5", "5 s8"}));
  EXPECT_EQ(steps_.Summary(5), Strings{"2 other"});
  // In order already: nothing is written.
  steps_.changes_made = 0;
  EXPECT_TRUE(RenumberScriptSteps(4, 1, steps_, messages_));
  EXPECT_EQ(steps_.changes_made, 0);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(MoveScriptStepTest, AFailedRenumberingUndoesItAll) {
  Steps({1, 3, 4, 5});
  steps_.fail_change_at = 1;
  EXPECT_FALSE(RenumberScriptSteps(4, 2, steps_, messages_));
  EXPECT_EQ(Task(), (Strings{"1 s1", "3 s3", "4 s4", "5 s5"}));
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_NE(messages_.shown[0].text.find("Key Field SCR:Sequence = 4\rSection = Put Upd Seq\r"),
            std::string::npos);
}

// The same on the SCRIPTING table, whose file fails to write while the move is stored: the
// transaction is undone and the steps keep their numbers.
class MoveStoredScriptStepTest : public test::ShellTest {
 protected:
  Strings Task() {
    Strings out;
    ScriptingTableSteps steps;
    steps.ForEachStep(4, [&](const SCRIPTING_RECORD& s) {
      out.push_back(std::to_string(s.Sequence) + " " + s.Keystrokes.str());
      return true;
    });
    return out;
  }
  test::FaultyVfs vfs_;  // before the table's file is first opened
};

TEST_F(MoveStoredScriptStepTest, ADiskThatFailsLeavesTheStepsAsTheyWere) {
  {
    ScriptingTableSteps steps;
    for (std::int32_t seq : {1, 2, 5, 9}) {
      SCRIPTING_RECORD s = Step("Send Keys");
      s.ID = 4;
      s.Sequence = seq;
      s.Keystrokes = "k" + std::to_string(seq);
      ASSERT_TRUE(steps.AddStep(s).ok());
    }
  }
  test::RecordingReporter messages;
  {
    ScriptingTableSteps steps;
    vfs_.Arm(test::Fault::Write, 1);
    EXPECT_EQ(MoveScriptStep(StepMove::ToTop, 4, 9, 0, steps, messages), 9);
    EXPECT_FALSE(RenumberScriptSteps(4, 1, steps, messages));
    vfs_.Clear();
  }
  EXPECT_GT(vfs_.failures(), 0);
  EXPECT_EQ(Task(), (Strings{"1 k1", "2 k2", "5 k5", "9 k9"}));
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_TRUE(messages.shown[0].text.starts_with("Record swap error: \r"));
  EXPECT_NE(messages.shown[1].text.find("Section = Put Upd Seq"), std::string::npos);

  // Once the disk works again the move is stored whole.
  {
    ScriptingTableSteps steps;
    EXPECT_EQ(MoveScriptStep(StepMove::ToTop, 4, 9, 0, steps, messages), 1);
  }
  EXPECT_EQ(Task(), (Strings{"1 k9", "2 k1", "5 k2", "9 k5"}));
}

}  // namespace
}  // namespace vx
