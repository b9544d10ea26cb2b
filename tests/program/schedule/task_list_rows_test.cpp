// The row a task list keeps for each task: every field where the lists' formats number it, so
// that a column, its colours and icon, the locators and the list extension read the right one.
#include <string>
#include <vector>

#include "program/schedule/task_defaults.h"
#include "program/schedule/task_list_window.h"
#include "tests/program/schedule_fixture.h"

namespace vx {
namespace {

using Texts = std::vector<std::string>;

constexpr long kGrey = 8421504, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

class TaskListRowsTest : public test::ScheduleTest {
 protected:
  // A task to be skipped next time, shown as a message, that ran the day before.
  static SCHEDULE_RECORD Task() {
    SCHEDULE_RECORD task{};
    task.ID = 4711;
    task.Date = DATE(6, 12, 2026);
    task.Time = MakeTime(9, 30);
    task.Category = "Work";
    task.Description = "Standup with the whole team each morning";
    task.TaskType = "Display Message";
    task.ScheduleType = "Once";
    task.SkipNextTime = 1;
    task.LastRunDate = DATE(6, 11, 2026);
    task.LastRunTime = MakeTime(9, 31);
    task.Skipped = 1;
    return task;
  }
  static Texts Row(const SCHEDULE_RECORD& task, bool colour_dates) {
    SCH = task;
    TaskBrowse browse;
    browse.colour_dates = colour_dates;
    browse.SetQueueRecord();
    return browse.Q;
  }
};

TEST_F(TaskListRowsTest, EachFieldStandsWhereTheFormatsNumberIt) {
  const SCHEDULE_RECORD task = Task();
  const std::string none = "-1";
  const auto number = [](long n) { return std::to_string(n); };
  const Texts coloured = {"",
                          none,
                          none,
                          none,
                          none,
                          "8",  // 1-6 status
                          "",
                          none,
                          none,
                          none,
                          none,
                          "5",  // 7-12 kind
                          number(task.Date),
                          number(kBlue),
                          none,
                          number(kWhite),
                          none,  // 13-17 date
                          number(task.Time),
                          none,
                          none,
                          none,
                          none,  // 18-22 time
                          "Work",
                          "Standup with the whole team each morning",
                          "Once",  // 23-25
                          number(task.LastRunDate),
                          number(task.LastRunTime),
                          "1",
                          "4711"};  // 26-29
  ASSERT_EQ(coloured.size(), static_cast<std::size_t>(kTaskRowFields));
  EXPECT_EQ(Row(task, true), coloured);

  // Without date colours, and a disabled task: the date keeps the list's colours; a disabled
  // task that is also to be skipped shows grey when dates are coloured.
  Texts plain = coloured;
  plain[13] = plain[15] = none;
  EXPECT_EQ(Row(task, false), plain);
  SCHEDULE_RECORD disabled = task;
  disabled.Disabled = 1;
  disabled.SkipNextTime = 0;
  Texts grey = coloured;
  grey[5] = "3";
  grey[13] = number(kGrey);
  EXPECT_EQ(Row(disabled, true), grey);

  // A row made after a longer one holds only its own texts.
  SCHEDULE_RECORD blank{};
  blank.ScheduleType = "Yearly";
  const Texts row = Row(blank, true);
  ASSERT_EQ(row.size(), static_cast<std::size_t>(kTaskRowFields));
  EXPECT_EQ(row[22], "");
  EXPECT_EQ(row[23], "");
  EXPECT_EQ(row[24], "Yearly");
  EXPECT_EQ(row[28], "0");
}

}  // namespace
}  // namespace vx
