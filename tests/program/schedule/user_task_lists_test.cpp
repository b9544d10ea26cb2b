// The task lists in multi-user mode: "Scheduled Tasks", "Explore Schedule" and the category
// window show each user's own state of a task (their dates, last run, switches and so their
// icons, colours, day tab and date filters), in the order of their own next runs; a task the
// user has no row for shows the team's. The task form is given the team's task, so editing it
// never writes one user's state into it. With multi-user mode off the team's state shows.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/global_queues.h"
#include "framework/request_globals.h"
#include "program/common/main_procedures.h"
#include "program/schedule/category_windows.h"
#include "program/schedule/task_windows.h"
#include "runtime/dates.h"
#include "support/list_columns.h"
#include "tests/program/schedule_fixture.h"
#include "tests/program/two_users_fixture.h"

namespace vx {
namespace {

using test::ColumnIcons;
using test::ColumnTexts;
using test::OnceTask;
using test::Shown;
using Texts = std::vector<std::string>;

constexpr int kSheet = 1, kList = 6;  // of "Scheduled Tasks"
constexpr int kStatusColumn = 1, kDateColumn = 3, kTimeColumn = 4, kDescriptionColumn = 6,
              kLastRunColumn = 8;
constexpr long kGrey = 8421504, kBlue = 0xFF0000;

class UserTaskListsTest : public test::TwoUsersTest {
 protected:
  const std::int32_t today = DATE(6, 12, 2026);  // the fixture's Friday

  void SetUp() override {
    TwoUsersTest::SetUp();
    RegisterMainProcedure("UpdateSchedule", {});
    BROWSESCHEDULETHREADQUEUE.Free();
    GLO_ACTIVEONLY = FULLSCHEDULE = 0;
    for (const char* name : {"Work", "Home"}) {
      ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
      CAT.Category = name;
      ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
      ACCESS_CATEGORIES->Close();
    }
    // The team's state, then each user's own.
    standup_ = AddTask(OnceTask("Work", "Display Message", today, MakeTime(9, 0), "Standup"));
    report_ = AddTask(OnceTask("Work", "Both", today + 5, MakeTime(12, 0), "Report"));
    AddTask(OnceTask("Home", "Run Program", today, MakeTime(22, 0), "Backup"));  // nobody's row
    filed_ = AddTask(OnceTask("Work", "None", today - 1, MakeTime(10, 0), "Filed"));

    AddRow(Row("ann", standup_, today + 1, MakeTime(10, 0)));
    VXUSD_RECORD row = Row("ann", report_, today, MakeTime(7, 0));
    row.SKIPNEXTTIME = 1;
    row.LASTRUNDATE = today - 1;
    row.LASTRUNTIME = MakeTime(7, 0);
    AddRow(row);
    row = Row("ann", filed_, today - 1, MakeTime(10, 0));
    row.COMPLETED = 1;
    AddRow(row);
    row = Row("bob", standup_, today, MakeTime(8, 0));
    row.DISABLED = 1;
    AddRow(row);
    AddRow(Row("bob", report_, today + 2, MakeTime(9, 0)));
  }
  void TearDown() override {
    TwoUsersTest::TearDown();
    USERID.clear();
    RegisterMainProcedure("UpdateSchedule", {});
    BROWSESCHEDULETHREADQUEUE.Free();
  }

  DriverWindow StartBrowse() {
    ui_.Start([] { BrowseSchedule(); });
    return ui_.WaitWindow(MULTIUSER != 0 ? "View Schedule - " + USERID.str() : "Scheduled Tasks");
  }

  std::int32_t standup_ = 0, report_ = 0, filed_ = 0;
};

TEST_P(UserTaskListsTest, EachUserSeesTheirOwnDatesSwitchesAndOrderInTheTaskList) {
  USERID = "ann";
  {
    DriverWindow w = StartBrowse();
    DriverControl list = w.ControlNumber(kList);
    // The day tab holds ann's tasks of today: the standup is tomorrow for her.
    EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Report", "Backup"}));
    EXPECT_EQ(ColumnTexts(list, kTimeColumn), (Texts{" 7:00AM", "10:00PM"}));
    EXPECT_EQ(ColumnIcons(list, kStatusColumn), (Texts{"~skip.ico", "~notdone.ico"}));
    EXPECT_EQ(list.CellDetail(1, kDateColumn).fg, kBlue);
    EXPECT_EQ(list.Cell(1, kLastRunColumn), Shown(today - 1));
    w.ControlNumber(kSheet).Choose("All by Date");
    EXPECT_EQ(ColumnTexts(list, kDescriptionColumn),
              (Texts{"Filed", "Report", "Backup", "Standup"}));
    EXPECT_EQ(ColumnTexts(list, kDateColumn),
              (Texts{Shown(today - 1), Shown(today), Shown(today), Shown(today + 1)}));
    EXPECT_EQ(ColumnIcons(list, kStatusColumn)[0], "~done.ico");
    w.Close();
    ui_.Finish();
  }
  GLO_USER = "bob";
  USERID = "bob";
  {
    DriverWindow w = StartBrowse();
    DriverControl list = w.ControlNumber(kList);
    EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup", "Backup"}));
    EXPECT_EQ(ColumnTexts(list, kTimeColumn), (Texts{" 8:00AM", "10:00PM"}));
    EXPECT_EQ(ColumnIcons(list, kStatusColumn), (Texts{"~disabled.ico", "~notdone.ico"}));
    EXPECT_EQ(list.CellDetail(1, kDateColumn).fg, kGrey);
    w.ControlNumber(kSheet).Choose("All by Date");
    // Bob has no row of the filed task: the team's state shows, not ann's.
    EXPECT_EQ(ColumnTexts(list, kDescriptionColumn),
              (Texts{"Filed", "Standup", "Backup", "Report"}));
    EXPECT_EQ(ColumnIcons(list, kStatusColumn)[0], "~notdone.ico");
    EXPECT_EQ(list.Cell(4, kDateColumn), Shown(today + 2));
    w.Close();
    ui_.Finish();
  }
  // One user alone: the team's state, as it is stored.
  MULTIUSER = 0;
  {
    DriverWindow w = StartBrowse();
    DriverControl list = w.ControlNumber(kList);
    EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup", "Backup"}));
    EXPECT_EQ(ColumnTexts(list, kTimeColumn), (Texts{" 9:00AM", "10:00PM"}));
    w.ControlNumber(kSheet).Choose("All by Date");
    EXPECT_EQ(ColumnTexts(list, kDescriptionColumn),
              (Texts{"Filed", "Standup", "Backup", "Report"}));
    EXPECT_EQ(list.Cell(4, kDateColumn), Shown(today + 5));
    w.Close();
    ui_.Finish();
  }
}

TEST_P(UserTaskListsTest, TheTaskFormEditsTheTeamsTaskNotTheUsersState) {
  std::mutex mutex;
  std::vector<std::int32_t> seen_dates;
  RegisterMainProcedure("UpdateSchedule", [&] {
    {
      std::lock_guard lock(mutex);
      seen_dates.push_back(SCH.Date);
    }
    SCH.Description = "Standup edited";
    SetCurrentResponse(ACCESS_SCHEDULE->Update() == 0 ? RequestCompleted : RequestCancelled);
  });
  USERID = "ann";
  DriverWindow w = StartBrowse();
  DriverControl list = w.ControlNumber(kList);
  w.ControlNumber(kSheet).Choose("All by Date");
  list.ChooseRow(4);  // ann's standup, tomorrow
  w.Control("&Edit").Press();
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn),
            (Texts{"Filed", "Report", "Backup", "Standup edited"}));
  EXPECT_EQ(list.Cell(4, kDateColumn), Shown(today + 1));
  w.Close();
  ui_.Finish();
  EXPECT_EQ(seen_dates, std::vector<std::int32_t>{today});
  const SCHEDULE_RECORD stored = StoredTaskOf(standup_);
  EXPECT_EQ(stored.Date, today);
  EXPECT_EQ(stored.Time, MakeTime(9, 0));
  EXPECT_EQ(StoredRow("ann", standup_).DATE, today + 1);
}

TEST_P(UserTaskListsTest, TheExplorerAndTheCategoryWindowFilterByTheUsersOwnState) {
  {
    ui_.Start([] { ExploreSchedule(); });
    DriverWindow w = ui_.WaitWindow("Explore Schedule - All users");
    DriverControl list = w.ControlNumber(1);
    for (int control = 1; control < 40 && list.Kind() != ControlType::List; ++control)
      list = w.ControlNumber(control);
    // Today by ann's dates; completed by her switch.
    EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Report", "Backup"}));
    w.Control("&Day:").Choose("All");
    w.Control("&Status:").Choose("Completed");
    EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Filed"}));
    w.Close();
    ui_.Finish();
  }
  {
    ui_.Start([] { BrowseScheduleCategories(); });
    DriverWindow w = ui_.WaitWindow("Task Categories");
    w.ControlNumber(1).ChooseRow(2);  // Work
    // Its enabled tasks by ann's dates.
    EXPECT_EQ(ColumnTexts(w.ControlNumber(4), 3), (Texts{"Filed", "Report", "Standup"}));
    w.Close();
    ui_.Finish();
  }
  // Bob has set the standup aside: it is not among his enabled tasks.
  GLO_USER = "bob";
  {
    ui_.Start([] { BrowseScheduleCategories(); });
    DriverWindow w = ui_.WaitWindow("Task Categories");
    w.ControlNumber(1).ChooseRow(2);
    EXPECT_EQ(ColumnTexts(w.ControlNumber(4), 3), (Texts{"Filed", "Report"}));
    w.Close();
    ui_.Finish();
  }
}

VX_FOR_BOTH_TABLE_PLACES(UserTaskListsTest);

}  // namespace
}  // namespace vx
