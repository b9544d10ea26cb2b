// The message task a to-do item becomes, and what the transfer hands the task form.
#include "program/organiser/todo_items.h"

#include <gtest/gtest.h>

#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "framework/request_globals.h"
#include "program/common/main_procedures.h"
#include "runtime/dates.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"
#include "tests/program/shell_fixture.h"

namespace vx {
namespace {

TEST(ToDoTaskMessage, HoldsTheNotesThenCompletedOrPriorityThenAnyResolution) {
  struct Case {
    const char* notes;
    std::int32_t completed;
    const char* resolution;
    std::string message;
  };
  const std::int32_t day = DATE(6, 12, 2026);
  const std::string completed = "Completed " + FORMAT(day, "@d17");
  const Case cases[] = {
      {"Ask the bank   ", 0, "", "Ask the bank\r\nPriority 7\r\n"},
      {"Ask the bank", day, "", "Ask the bank\r\n" + completed + "\r\n"},
      {"Ask the bank", day, "Paid by card  ",
       "Ask the bank\r\n" + completed + "\r\nResolution:\r\nPaid by card\r\n"},
      {"", 0, "Not needed", "\r\nPriority 7\r\nResolution:\r\nNot needed\r\n"},
  };
  for (const Case& c : cases) {
    TODO_RECORD item;
    item.Priority = 7;
    item.Notes = c.notes;
    item.CompletionDate = c.completed;
    item.Resolution = c.resolution;
    EXPECT_EQ(ToDoTaskMessage(item), c.message) << c.notes << " / " << c.resolution;
  }
}

class TodoToTaskTest : public test::ShellTest {
 protected:
  void TearDown() override {
    RegisterMainProcedure("UpdateSchedule", {});
    GLO_PRIMETASKTYPE.clear();
    SetCurrentRequest(0);  // the fake form left the request as it was given
    ShellTest::TearDown();
  }
};

TEST_F(TodoToTaskTest, PrimesANewMessageTaskForTomorrowAndRunsTheTaskForm) {
  RegisterMainProcedure("UpdateSchedule", {});
  EXPECT_FALSE(TodoToTask()) << "nothing opens while the task form is not registered";

  SCHEDULE_RECORD given;
  std::string prime;
  long request = 0;
  RegisterMainProcedure("UpdateSchedule", [&] {
    given = SCH;
    prime = GLO_PRIMETASKTYPE.str();
    request = CurrentRequest();
  });
  SCH.ScheduleType = "Once";  // left over from another task: a copy would keep it
  SCH.ID = 12;
  TDO = TODO_RECORD{};
  TDO.ToDo = "Renew the car insurance before the end of the month";
  TDO.Category = "Home";
  TDO.Priority = 2;
  TDO.Notes = "Compare offers";
  ASSERT_TRUE(TodoToTask());
  EXPECT_EQ(request, InsertRecord);
  EXPECT_EQ(CLIP(prime), "Display Message");
  EXPECT_TRUE(given.ScheduleType.blank());
  EXPECT_EQ(given.ID, 0);
  EXPECT_EQ(given.Message.str(), "Compare offers\r\nPriority 2\r\n");
  EXPECT_EQ(given.Description.str(), "Renew the car insurance before the end o");
  EXPECT_EQ(given.Category.str(), "Home");
  EXPECT_EQ(given.Date, TODAY() + 1);
  EXPECT_EQ(given.Time, CLOCK());
}

}  // namespace
}  // namespace vx
