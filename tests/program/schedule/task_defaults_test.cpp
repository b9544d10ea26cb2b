#include <string>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "program/schedule/task_defaults.h"
#include "tests/program/schedule_fixture.h"
#include "tests/support/fixed_clock.h"

namespace vx {
namespace {

using namespace vx::test;

class TaskDefaultsTest : public ScheduleTest {
 protected:
  TaskDefaultsTest() : clock_(DATE(6, 16, 2025), MakeTime(14, 30)), scoped_clock_(clock_) {
    saved_user_ = USERID.str();
    USERID = "alice";
  }
  ~TaskDefaultsTest() override { USERID = saved_user_; }

 private:
  test::FixedClock clock_;
  test::ScopedClock scoped_clock_;
  std::string saved_user_;
};

struct DefaultsCase {
  const char* task_type;
  const char* command;
  const char* message;
  const char* want_command;
  const char* want_description;
};

TEST_F(TaskDefaultsTest, CommandAndDescriptionByTaskType) {
  const std::vector<DefaultsCase> cases = {
      {"Run Program", "", "", "N/A", "Script: 6/16/2025"},
      {"Run Program", "n/a", "", "n/a", "Script: 6/16/2025"},
      {"Run Program", "/usr/bin/backup --all", "", "/usr/bin/backup --all",
       "Run: /usr/bin/backup --all"},
      {"Run Program", "/opt/tools/a-very-long-program-name --with-options", "", "",
       "Run: /opt/tools/a-very-long-program-name"},
      {"Both", "", "Hello", "N/A", "Message/Run Program"},
      {"Hot Key", "", "", "N/A", "Hot Key 12"},
      {"Display Message", "", "Call Bob", "", "Message: Call Bob"},
      {"None", "", "Dentist at three", "", "Reminder: Dentist at three"},
      {"None", "", "A reminder whose text is far too long for the field", "",
       "Reminder: A reminder whose text is far t"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.task_type) + " / " + c.command);
    SCH = MakeTask("Once", DATE(6, 20, 2025), MakeTime(9, 0));
    SCH.ID = 12;
    SCH.TaskType = c.task_type;
    SCH.Command = c.command;
    SCH.Message = c.message;
    FillTaskDefaults();
    if (*c.want_command) {
      EXPECT_EQ(SCH.Command, c.want_command);
    } else {
      EXPECT_EQ(SCH.Command, c.command);
    }
    EXPECT_EQ(SCH.Description, c.want_description);
  }
}

TEST_F(TaskDefaultsTest, GivenTextsStayAndTheChangeIsStamped) {
  SCH = MakeTask("Once", DATE(6, 20, 2025), MakeTime(9, 0));
  SCH.ID = 12;
  SCH.TaskType = "Run Program";
  SCH.Command = "backup";
  SCH.Description = "Nightly backup";
  SCH.Category = "Admin";
  SCH.OriginalID = 3;
  FillTaskDefaults();
  EXPECT_EQ(SCH.Description, "Nightly backup");
  EXPECT_EQ(SCH.Category, "Admin");
  EXPECT_EQ(SCH.OriginalID, 3);
  EXPECT_EQ(SCH.NetworkUser, "alice");
  EXPECT_EQ(SCH.LastChangeDate, DATE(6, 16, 2025));
  EXPECT_EQ(SCH.LastChangeTime, MakeTime(14, 30));
}

TEST_F(TaskDefaultsTest, EmptyCategoryAndOriginalAreFilled) {
  SCH = MakeTask("Once", DATE(6, 20, 2025), MakeTime(9, 0));
  SCH.ID = 12;
  SCH.TaskType = "None";
  SCH.ExceptWeekends = 1;  // a one-time task carries no exceptions
  FillTaskDefaults();
  EXPECT_EQ(SCH.Category, "General");
  EXPECT_EQ(SCH.OriginalID, 12);
  EXPECT_EQ(SCH.ExceptWeekends, 0);
}

struct DescribeCase {
  std::string want;
  SCHEDULE_RECORD task;
};

SCHEDULE_RECORD With(SCHEDULE_RECORD task, void (*change)(SCHEDULE_RECORD&)) {
  change(task);
  return task;
}

TEST_F(TaskDefaultsTest, DescribeSchedule) {
  const std::vector<DescribeCase> cases = {
      {"Once", MakeTask("Once", 0, 0)},
      {"Yearly", MakeTask("Yearly", 0, 0)},
      {"Monthly", MakeTask("Monthly", 0, 0)},
      {"Twice Monthly", With(MakeTask("Monthly", 0, 0),
                             [](SCHEDULE_RECORD& t) { t.MonthRepeat = "Twice - 1st, 15th"; })},
      {"Twice Monthly (-2)", With(MakeTask("Monthly", 0, 0),
                                  [](SCHEDULE_RECORD& t) {
                                    t.MonthRepeat = "Twice - 15th, Last";
                                    t.Offset = -2;
                                  })},
      {"Twice Monthly (-2) (exceptions exist)", With(MakeTask("Monthly", 0, 0),
                                                     [](SCHEDULE_RECORD& t) {
                                                       t.MonthRepeat = "Twice - 15th, Last";
                                                       t.Offset = -2;
                                                       t.ExceptWeekends = 1;
                                                     })},
      {"Days: Mon, Wed, Fri", With(MakeTask("Day of Week", 0, 0),
                                   [](SCHEDULE_RECORD& t) {
                                     SetWeekdays(t, {kMon, kWed, kFri});
                                   })},
      {"Days:", MakeTask("Day of Week", 0, 0)},
      {"Days: Sun, Sat (exceptions exist)", With(MakeTask("Day of Week", 0, 0),
                                                 [](SCHEDULE_RECORD& t) {
                                                   SetWeekdays(t, {kSun, kSat});
                                                   t.ExceptOther = "Y";
                                                 })},
      {"Days: 1st, Last: Mon", With(MakeTask("Day of Month", 0, 0),
                                    [](SCHEDULE_RECORD& t) {
                                      SetWeekdays(t, {kMon});
                                      t.Every1st = 1;
                                      t.EveryLast = 1;
                                    })},
      {"Days: 2nd, 4th: Tue, Thu", With(MakeTask("Day of Month", 0, 0),
                                        [](SCHEDULE_RECORD& t) {
                                          SetWeekdays(t, {kTue, kThu});
                                          t.Every2nd = 1;
                                          t.Every4th = 1;
                                          t.LastDayOfMonth =
                                              1;  // the month-end switch is not described
                                        })},
      {"Every 90 minute(s)", With(EveryTask(90, "minute(s)", 0, 0), [](SCHEDULE_RECORD&) {})},
      {"Every 2 week(s)",
       With(EveryTask(2, "week(s)", 0, 0), [](SCHEDULE_RECORD& t) { t.ScheduleType = "Every"; })},
      {"Every 1 day(s) (exceptions exist)", With(EveryTask(1, "day(s)", 0, 0),
                                                 [](SCHEDULE_RECORD& t) {
                                                   t.ScheduleType = "Other";
                                                   t.ExceptTime = 1;
                                                 })},
      {"Fortnightly", MakeTask("Fortnightly", 0, 0)},
      {"", MakeTask("", 0, 0)},
  };
  for (const auto& c : cases) {
    SCH = c.task;
    EXPECT_EQ(DescribeSchedule(), c.want);
  }
}

}  // namespace
}  // namespace vx
