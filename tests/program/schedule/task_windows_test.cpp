// The task lists on real tables: "Scheduled Tasks" with its four tabs, icons and colours, each
// command's effect on the stored tasks, the refresh when a task falls due, the midnight
// roll-over and the query; "Explore Schedule" with its filters.
#include "program/schedule/task_windows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "program/admin/load_settings.h"
#include "program/admin/password_validation.h"
#include "program/common/main_procedures.h"
#include "program/common/task_road_services.h"
#include "program/due_tasks/due_task.h"
#include "program/due_tasks/due_task_table.h"
#include "program/due_tasks/program_schedule_services.h"
#include "program/recurrence/schedule_services.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "support/list_columns.h"
#include "support/popup_menu.h"
#include "tests/fakes/fake_process_launcher.h"
#include "tests/fakes/fake_sound_player.h"
#include "tests/program/schedule_fixture.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

using test::ColumnIcons;
using test::ColumnTexts;
using test::PopupNumber;
using test::Shown;
using Texts = std::vector<std::string>;

// Controls of "Scheduled Tasks" by number: the sheet and its tabs, then the list.
constexpr int kSheet = 1, kDayTab = 2, kList = 6;
// Entries of the list popup, found by their text (the list extension adds its own before them).
constexpr std::string_view kPopupScripting = "&Scripting", kPopupActiveOnly = "Show Active Only",
                           kPopupShowAll = "Show All", kPopupQuery = "&Query",
                           kPopupReset = "Reset";

// The list columns.
constexpr int kStatusColumn = 1, kKindColumn = 2, kDateColumn = 3, kDescriptionColumn = 6;

constexpr long kGrey = 8421504, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

class TaskWindowsTest : public test::WindowTest {
 protected:
  const std::int32_t today = DATE(6, 12, 2026);  // the fixture's Friday

  void SetUp() override {
    WindowTest::SetUp();
    // The forms these lists reach by name: stand-ins per test, none unless a test gives one.
    RegisterMainProcedure("UpdateSchedule", {});
    RegisterMainProcedure("BrowseScripting", {});
    BROWSESCHEDULETHREADQUEUE.Free();
    GLO_ACTIVEONLY = FULLSCHEDULE = MULTIUSER = 0;
    TEMPSCRIPTINGACTIVE = 0;
    GLO_USER = "ann";
    AddCategory("Work");
    AddCategory("Home");
    AddTask("Work", "Display Message", today, MakeTime(9, 0), "Standup").User = "ann";
    SCHEDULE_RECORD& backup = AddTask("Home", "Run Program", today, MakeTime(22, 0), "Backup");
    backup.Disabled = 1;
    backup.Command = "backup-now";
    AddTask("Work", "Both", today, MakeTime(12, 0), "Report").SkipNextTime = 1;
    AddTask("Work", "None", DATE(6, 11, 2026), MakeTime(10, 0), "Filed").Completed = 1;
    SCHEDULE_RECORD& archive =
        AddTask("Home", "Run Program", DATE(6, 20, 2026), MakeTime(8, 0), "Archive");
    archive.Completed = archive.Skipped = 1;
    AddTask("Home", "Hot Key", DATE(6, 15, 2026), MakeTime(7, 0), "Paste signature");
    AddTask("Home", "Display Message", DATE(6, 3, 2025), MakeTime(7, 0), "Last summer");
    StoreTasks();
  }
  void TearDown() override {
    WindowTest::TearDown();
    RegisterMainProcedure("UpdateSchedule", {});
    RegisterMainProcedure("BrowseScripting", {});
    BROWSESCHEDULETHREADQUEUE.Free();
    GLO_USER.clear();
    TEMPSCRIPTINGACTIVE = 0;
  }

  void AddCategory(std::string_view name) {
    ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
    CAT.Category = name;
    ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
    ACCESS_CATEGORIES->Close();
  }
  SCHEDULE_RECORD& AddTask(std::string_view category, std::string_view type, std::int32_t date,
                           std::int32_t time, std::string_view description) {
    pending_.push_back(test::OnceTask(category, type, date, time, description));
    return pending_.back();
  }
  void StoreTasks() {
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    for (const SCHEDULE_RECORD& task : pending_) {
      ACCESS_SCHEDULE->PrimeRecord();
      const std::int32_t id = SCH.ID;
      SCH = task;
      SCH.ID = id;
      ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    }
    ACCESS_SCHEDULE->Close();
    pending_.clear();
  }
  // The stored tasks' descriptions in id order.
  static Texts StoredDescriptions() {
    Texts out;
    EXPECT_EQ(ACCESS_SCHEDULE->Open(), 0);
    ACCESS_SCHEDULE->Set(SCH_KEYID);
    while (ACCESS_SCHEDULE->TryNext() == 0) out.push_back(SCH.Description.str());
    ACCESS_SCHEDULE->Close();
    return out;
  }
  // The first stored task of that description, by id.
  static SCHEDULE_RECORD StoredByDescription(std::string_view description) {
    SCHEDULE_RECORD found;
    EXPECT_EQ(ACCESS_SCHEDULE->Open(), 0);
    ACCESS_SCHEDULE->Set(SCH_KEYID);
    while (ACCESS_SCHEDULE->TryNext() == 0) {
      if (SCH.Description.clipped() == description && found.ID == 0) found = SCH;
    }
    ACCESS_SCHEDULE->Close();
    return found;
  }
  DriverWindow StartBrowse() {
    ui_.Start([] { BrowseSchedule(); });
    DriverWindow w = ui_.WaitWindow("Scheduled Tasks");
    EXPECT_EQ(w.ControlNumber(kList).Kind(), ControlType::List);
    return w;
  }
  // The road's services on fakes while it lives: the programs it starts and the sounds it
  // plays are only noted, its boxes go to `messages`.
  struct FakeTaskRoad {
    explicit FakeTaskRoad(MessageReporter& messages) {
      services.processes = &processes;
      services.sound = &sound;
      services.messages = &messages;
      services.helper_folder = "/opt/vx/bin";
      scoped.emplace(services);
    }
    test::FakeProcessLauncher processes;
    test::FakeSoundPlayer sound;
    TaskRoadServices services;
    std::optional<ScopedTaskRoadServices> scoped;
  };
  // A stand-in for Main: it starts the list on a thread of its own when it opens, starts it once
  // more on EVENT_User, and runs the due-task check on EVENT_User + 1, as its tick does.
  DriverWindow StartHost() {
    ui_.Start([] {
      Window window("Host");
      WindowManager manager(window);
      manager.On(EVENT_OpenWindow, [] { START(BrowseSchedule, 25000); });
      manager.On(EVENT_User, [] { START(BrowseSchedule, 25000); });
      manager.On(EVENT_User + 1, [] {
        class PostingFrame final : public DueTaskFrame {
         public:
          void SetStatusText(std::string_view, bool) override {}
          void SetTrayTip(std::string_view) override {}
          void RestoreFrame() override {}
          void StartTaskMessageThread(const TaskMessage&) override {}
          void ShowModalMessage() override {}
          void PostEvent(int event, std::int32_t thread) override { POST(event, 0, thread); }
          void ShowNotice(const MessageBoxRequest&) override {}
        };
        ACCESS_SCHEDULE->Open();
        DueTaskState state;
        DueTaskTableFiles table;
        PostingFrame frame;
        CheckNextTask(state, table, frame);
        ACCESS_SCHEDULE->Close();
      });
      manager.Run();
    });
    return ui_.WaitWindow("Host");
  }
  // Opens the list popup (once to read it, once to choose) and chooses the entry `item`; an
  // empty item only opens it.
  void PopupCommand(DriverWindow& w, std::string_view item, int list = kList) {
    ui_.AnswerPopup(0);
    w.ControlNumber(list).RightClick();
    if (item.empty()) return;
    const long number = PopupNumber(ui_.Requests().back().text, item);
    ASSERT_NE(number, 0) << item;
    ui_.AnswerPopup(number);
    w.ControlNumber(list).RightClick();
  }

  // A form that stores what the list asked for and notes what it was given.
  void RegisterStoringForm() {
    RegisterMainProcedure("UpdateSchedule", [this] {
      std::lock_guard lock(seen_mutex_);
      const long request = CurrentRequest();
      seen_.push_back(std::to_string(request) + " " + SCH.Description.str() + " id " +
                      std::to_string(SCH.ID) + " from " + std::to_string(GLO_SCH_ID) + " day " +
                      GLO_DATETOUSE.str() + " prime " + GLO_PRIMETASKTYPE.str());
      int code = 0;
      if (request == InsertRecord) {
        if (SCH.Description.blank()) SCH.Description = "Fresh";
        if (GLO_PRIMETASKTYPE.clipped() == "Reschedule") {
          // The special event is a copy of the task under a number of its own.
          SCH.Description = SCH.Description.str() + " moved";
          ACCESS_SCHEDULE->PrimeRecord(true);
        }
        code = ACCESS_SCHEDULE->Insert();
      } else if (request == ChangeRecord) {
        SCH.Description = SCH.Description.str() + " edited";
        code = ACCESS_SCHEDULE->Update();
      } else if (request == DeleteRecord) {
        code = ACCESS_SCHEDULE->Delete();
      }
      SetCurrentResponse(code == 0 ? RequestCompleted : RequestCancelled);
    });
  }
  Texts Seen() {
    std::lock_guard lock(seen_mutex_);
    return seen_;
  }

  std::vector<SCHEDULE_RECORD> pending_;
  std::mutex seen_mutex_;
  Texts seen_;
};

TEST_F(TaskWindowsTest, EachTabShowsItsTasksInItsOrderWithStatusAndKindIconsAndDateColours) {
  DriverWindow w = StartBrowse();
  DriverControl list = w.ControlNumber(kList);
  DriverControl sheet = w.ControlNumber(kSheet);
  EXPECT_EQ(w.ControlNumber(kDayTab).Text(), Shown(today));

  // The day: its tasks by time.
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup", "Report", "Backup"}));
  EXPECT_EQ(ColumnIcons(list, kStatusColumn),
            (Texts{"~notdone.ico", "~skip.ico", "~disabled.ico"}));
  EXPECT_EQ(ColumnIcons(list, kKindColumn),
            (Texts{"~msgtask.ico", "~bothtask.ico", "~progtsk2.ico"}));
  EXPECT_EQ(list.Cell(1, kDateColumn), Shown(today));
  EXPECT_EQ(list.Cell(1, 4), " 9:00AM");
  EXPECT_EQ(list.Cell(1, 5), "Work");
  EXPECT_FALSE(list.Cell(1, 7).empty());  // the schedule described
  // Skip next time in blue, disabled in grey, both white when highlighted; the rest default.
  EXPECT_EQ(list.CellDetail(1, kDateColumn).fg, -1);
  EXPECT_EQ(list.CellDetail(2, kDateColumn).fg, kBlue);
  EXPECT_EQ(list.CellDetail(2, kDateColumn).selected_fg, kWhite);
  EXPECT_EQ(list.CellDetail(3, kDateColumn).fg, kGrey);
  EXPECT_EQ(list.CellDetail(3, kDateColumn).selected_fg, kWhite);
  EXPECT_EQ(list.CellDetail(3, kDescriptionColumn).fg, -1);

  // Every task by date, the first of today highlighted.
  sheet.Choose("All by Date");
  EXPECT_EQ(
      ColumnTexts(list, kDescriptionColumn),
      (Texts{"Last summer", "Filed", "Standup", "Report", "Backup", "Paste signature", "Archive"}));
  EXPECT_EQ(list.Choice(), 3);
  EXPECT_EQ(ColumnIcons(list, kStatusColumn)[1], "~done.ico");
  EXPECT_EQ(ColumnIcons(list, kStatusColumn)[6], "~skipped.ico");
  EXPECT_EQ(ColumnIcons(list, kKindColumn)[1], "~blank.ico");

  // One category, by description.
  sheet.Choose("All in Category");
  w.Control("Cate&gory").Press();
  DriverWindow picker = ui_.WaitWindow("Select a Category");
  picker.ControlNumber(1).ChooseRow(2);  // Work
  picker.Control("&Select").Press();
  ui_.WaitClosed(picker);
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Filed", "Report", "Standup"}));

  sheet.Choose("Selected");
  EXPECT_EQ(list.Rows(), 7u);

  // Show Active Only leaves disabled and completed tasks out of every tab; Show All brings them
  // back. Each entry is greyed while it would change nothing.
  PopupCommand(w, kPopupActiveOnly);
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn),
            (Texts{"Last summer", "Standup", "Report", "Paste signature"}));
  sheet.Choose(Shown(today));  // the day tab reads as its day
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup", "Report"}));
  PopupCommand(w, kPopupShowAll);
  const std::string menu = ui_.Requests().back().text;
  EXPECT_NE(menu.find("~Show Active Only"), std::string::npos) << menu;
  EXPECT_EQ(menu.find("~Show All"), std::string::npos) << menu;
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup", "Report", "Backup"}));
  w.Close();
  ui_.Finish();
}

TEST_F(TaskWindowsTest, TheButtonsRunTheTaskFormAndTheStoredTasksFollow) {
  RegisterStoringForm();
  DriverWindow w = StartBrowse();
  DriverControl list = w.ControlNumber(kList);
  const std::string day = std::to_string(today);

  // New starts on the day shown.
  w.Control("&New").Press();
  list.ChooseRow(2);  // Report
  w.Control("&Edit").Press();
  const SCHEDULE_RECORD report = StoredByDescription("Report edited");
  w.Control("Cop&y").Press();
  list.ChooseRow(1);  // Standup
  w.Control("S&pecial").Press();
  {
    const Texts seen = Seen();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].substr(0, 8), "1  id 8 ") << seen[0];
    EXPECT_NE(seen[0].find(" day " + day + " prime "), std::string::npos) << seen[0];
    EXPECT_EQ(seen[1].substr(0, 9), "2 Report ") << seen[1];
    // The copy keeps the highlighted task's fields under a new number and names its source.
    EXPECT_EQ(seen[2].substr(0, 22), "1 Report edited id 9 f") << seen[2];
    EXPECT_NE(seen[2].find("from " + std::to_string(report.ID) + " "), std::string::npos)
        << seen[2];
    EXPECT_EQ(seen[3].substr(0, 10), "1 Standup ") << seen[3];
    EXPECT_NE(seen[3].find("prime Reschedule"), std::string::npos) << seen[3];
  }
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn),
            (Texts{"Standup", "Standup moved", "Report edited", "Report edited", "Backup"}));
  EXPECT_EQ(GLO_PRIMETASKTYPE.str(), "");  // a later New is a plain one again

  // Delete the highlighted task.
  list.ChooseRow(5);
  w.Control("&Delete").Press();
  EXPECT_EQ(list.Rows(), 4u);
  w.Close();
  ui_.Finish();
  EXPECT_EQ(StoredDescriptions(),
            (Texts{"Standup", "Report edited", "Filed", "Archive", "Paste signature", "Last summer",
                   "Fresh", "Report edited", "Standup moved"}));
}

TEST_F(TaskWindowsTest, QuickStartExecuteAndScriptingActOnTheHighlightedTask) {
  std::atomic<std::int32_t> scripted{0};
  std::atomic<long> scripting_request{0};
  RegisterMainProcedure("BrowseScripting", [&] {
    scripted = SCH.ID;
    scripting_request = CurrentRequest();
  });
  FakeTaskRoad road(reporter_);

  DriverWindow w = StartBrowse();
  DriverControl list = w.ControlNumber(kList);
  list.ChooseRow(2);   // Report, due at noon
  ui_.AnswerPopup(1);  // "5 minutes"
  w.Control("&Quick").Press();
  // The copy is due once, five minutes and a second from now, and the list highlights it.
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn),
            (Texts{"Standup", "Report", "Report", "Backup"}));
  EXPECT_EQ(list.Choice(), 3);
  EXPECT_EQ(list.Cell(3, 4), " 2:12PM");

  // Scripting: only for tasks that start a program.
  list.ChooseRow(1);  // Standup shows a message
  PopupCommand(w, kPopupScripting);
  const SeenRequest refused = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(refused.text, "This schedule type does not support scripting.");
  EXPECT_EQ(refused.caption, "Error");
  EXPECT_EQ(scripted, 0);
  list.ChooseRow(4);  // Backup starts a program
  PopupCommand(w, kPopupScripting);
  ui_.WaitUntil([&] { return scripted != 0; }, "the step list opened");
  EXPECT_EQ(scripting_request, ChangeRecord);

  // Execute/Test runs the task now and lets its script run while the scheduler is off.
  w.Control("E&xecute/Test").Press();
  EXPECT_EQ(TEMPSCRIPTINGACTIVE, 1);
  ASSERT_EQ(road.processes.requests.size(), 1u);
  w.Close();
  ui_.Finish();
  ASSERT_FALSE(road.processes.requests[0].argv.empty());
  EXPECT_EQ(road.processes.requests[0].argv[0], "backup-now");
  EXPECT_EQ(StoredDescriptions().size(), 8u);
  const SCHEDULE_RECORD backup = StoredByDescription("Backup");
  EXPECT_EQ(backup.LastRunDate, 0);  // performing now stores nothing
  EXPECT_EQ(backup.Disabled, 1);
}

// With the system locked, Quick and Scripting ask for the password and do nothing when refused.
TEST_F(TaskWindowsTest, ARefusedPasswordStopsQuickAndScripting) {
  std::atomic<int> scripted{0};
  RegisterMainProcedure("BrowseScripting", [&] { ++scripted; });
  SYSLOCK = 1;
  SYSPWD = "Secret";
  SystemUnlocked = 0;
  DriverWindow w = StartBrowse();
  DriverControl list = w.ControlNumber(kList);
  list.ChooseRow(3);  // Backup starts a program
  w.Control("&Quick").Press();
  DriverWindow prompt = ui_.WaitWindow("Password Required");
  prompt.Control("Cancel").Press();
  ui_.WaitClosed(prompt);
  PopupCommand(w, kPopupScripting);
  prompt = ui_.WaitWindow("Password Required");
  prompt.Control("Enter the system password:").Type("wrong");
  prompt.Control("OK").Press();
  ui_.WaitMessage(BUTTON_OK);  // "Access Denied"
  ui_.WaitClosed(prompt);
  EXPECT_EQ(list.Rows(), 3u);  // no quick-start copy
  EXPECT_EQ(scripted, 0);
  for (const SeenRequest& r : ui_.Requests())
    EXPECT_NE(r.text.substr(0, 9), "5 minutes");  // no delay asked
  w.Close();
  ui_.Finish();
  SYSLOCK = 0;
  SYSPWD = "";
}

// A task falls due while the list is open: the due road moves it on and the list shows that at
// once, without a key pressed.
TEST_F(TaskWindowsTest, ATaskThatFallsDueMovesInTheOpenList) {
  FakeTaskRoad road(reporter_);
  ProgramScheduleServices schedule_services;  // the next run computed on the real tables
  ScopedScheduleServices scoped_schedule(schedule_services);
  // Only two tasks here, so that the first check finds the one due: a daily program task due
  // this minute and one of tonight.
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  ACCESS_SCHEDULE->Set(SCH_KEYID);
  while (ACCESS_SCHEDULE->TryNext() == 0) ASSERT_EQ(ACCESS_SCHEDULE->Delete(), 0);
  ACCESS_SCHEDULE->Close();
  AddTask("Work", "Display Message", today, MakeTime(20, 0), "Evening call");
  AddTask("Work", "Run Program", today, MakeTime(14, 7), "Sync");
  pending_.back().ScheduleType = "Day of Week";
  pending_.back().Sunday = pending_.back().Monday = pending_.back().Tuesday =
      pending_.back().Wednesday = 1;
  pending_.back().Thursday = pending_.back().Friday = pending_.back().Saturday = 1;
  pending_.back().Command = "sync-now";
  StoreTasks();

  DriverWindow host = StartHost();
  DriverWindow w = ui_.WaitWindow("Scheduled Tasks");
  DriverControl list = w.ControlNumber(kList);
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Sync", "Evening call"}));
  ASSERT_EQ(BROWSESCHEDULETHREADQUEUE.Records(), 1);

  host.Post(EVENT_User + 1);  // the tick's due-task check
  // The task moved on to tomorrow; today keeps its run as a completed history copy.
  ui_.WaitUntil([&] { return list.CellDetail(1, kStatusColumn).icon == "~done.ico"; },
                "the list re-read after the task was moved on");
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Sync", "Evening call"}));
  w.Close();
  ui_.WaitClosed(w);
  EXPECT_EQ(BROWSESCHEDULETHREADQUEUE.Records(), 0);  // the list left the queue
  host.Close();
  ui_.Finish();
  EXPECT_EQ(StoredByDescription("Sync").Date, today + 1);
}

TEST_F(TaskWindowsTest, ASecondStartBringsTheOpenListForwardAndMidnightMovesTheDay) {
  RegisterStoringForm();
  DriverWindow host = StartHost();
  DriverWindow w = ui_.WaitWindow("Scheduled Tasks");
  EXPECT_FALSE(w.Control("Cop&y").Disabled());
  host.Post(EVENT_User);  // started again
  ui_.WaitUntil([&] { return w.TimesBroughtToFront() >= 1; }, "the open list came forward");
  EXPECT_EQ(ui_.OpenTitles(), (Texts{"Host", "Scheduled Tasks"}));

  // Midnight: the list showed today, so it moves on to the new day.
  clock_.Set(today + 1, MakeTime(0, 0, 5));
  w.Post(EVENT_Timer);
  EXPECT_EQ(w.ControlNumber(kDayTab).Text(), Shown(today + 1));
  EXPECT_EQ(w.ControlNumber(kList).Rows(), 0u);
  EXPECT_TRUE(w.Control("Cop&y").Disabled());  // nothing to copy

  // A day the user chose stays at the next midnight.
  w.Control("&Select Day").Press();
  DriverWindow calendar = ui_.WaitWindow("Select Date");
  calendar.Control("20").Press();
  ui_.WaitClosed(calendar);
  EXPECT_EQ(w.ControlNumber(kDayTab).Text(), Shown(DATE(6, 20, 2026)));
  EXPECT_EQ(ColumnTexts(w.ControlNumber(kList), kDescriptionColumn), (Texts{"Archive"}));
  clock_.Set(today + 2, MakeTime(0, 0, 5));
  w.Post(EVENT_Timer);
  EXPECT_EQ(w.ControlNumber(kDayTab).Text(), Shown(DATE(6, 20, 2026)));
  w.Close();
  ui_.WaitClosed(w);
  host.Close();
  ui_.Finish();
}

TEST_F(TaskWindowsTest, AQueryNarrowsEveryTabUntilReset) {
  DriverWindow w = StartBrowse();
  DriverControl list = w.ControlNumber(kList);
  PopupCommand(w, kPopupQuery);
  DriverWindow query = ui_.WaitWindow("Query Wizard");
  query.Control("Fields to Evaluate").Choose("Basic - Task Category");
  query.Control("Query Operations").Choose("Is Equal To");
  query.Control("Constant &Value").Type("work");
  query.Control("&AND").Press();
  query.Control("Fields to Evaluate").Choose("Basic - Task Description/Title");
  query.Control("Query Operations").Choose("Does NOT Begin With");
  query.Control("Constant &Value").Type("rep");
  query.Control("&AND").Press();
  query.Control("&Finish").Press();
  ui_.WaitClosed(query);
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup"}));
  w.ControlNumber(kSheet).Choose("All by Date");
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Filed", "Standup"}));

  PopupCommand(w, kPopupReset);
  EXPECT_EQ(list.Rows(), 7u);
  // Reset is greyed once there is no query left to reset.
  PopupCommand(w, "");
  EXPECT_NE(ui_.Requests().back().text.find("~Reset"), std::string::npos);
  w.Close();
  ui_.Finish();
}

// A header click sorts the tab's own rows by that column; a tab change returns to the tab's order.
TEST_F(TaskWindowsTest, AHeaderClickSortsTheTabsRowsUntilTheTabChanges) {
  DriverWindow w = StartBrowse();
  DriverControl list = w.ControlNumber(kList);
  list.ClickHeader(kDescriptionColumn);
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Backup", "Report", "Standup"}));
  list.ClickHeader(kDescriptionColumn);
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup", "Report", "Backup"}));
  w.ControlNumber(kSheet).Choose("All by Date");
  EXPECT_EQ(
      ColumnTexts(list, kDescriptionColumn),
      (Texts{"Last summer", "Filed", "Standup", "Report", "Backup", "Paste signature", "Archive"}));
  w.Close();
  ui_.Finish();
}

TEST_F(TaskWindowsTest, WithoutTheTaskFormItsButtonsAreGrey) {
  DriverWindow w = StartBrowse();
  for (std::string_view button : {"&New", "Cop&y", "&Edit", "&Delete", "S&pecial"}) {
    EXPECT_TRUE(w.Control(button).Disabled()) << button;
  }
  EXPECT_FALSE(w.Control("&Quick").Disabled());
  PopupCommand(w, "");
  EXPECT_NE(ui_.Requests().back().text.find("~S&pecial"), std::string::npos)
      << ui_.Requests().back().text;
  w.Close();
  ui_.Finish();
}

// ---- Explore Schedule ----

class ExploreScheduleTest : public TaskWindowsTest {
 protected:
  DriverWindow StartExplorer() {
    ui_.Start([] { ExploreSchedule(); });
    return ui_.WaitWindow("Explore Schedule - All users");
  }
  static DriverControl ExplorerList(DriverWindow& w) {
    for (int control = 1; control < 40; ++control) {
      if (w.ControlNumber(control).Kind() == ControlType::List) return w.ControlNumber(control);
    }
    ADD_FAILURE() << "no list";
    return w.ControlNumber(1);
  }
};

TEST_F(ExploreScheduleTest, StatusDayCategoryAndUserFiltersCombineAndHotKeysNeverShow) {
  DriverWindow w = StartExplorer();
  DriverControl list = ExplorerList(w);
  // Today, every status.
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup", "Report", "Backup"}));
  EXPECT_EQ(w.Control("&Day:").Get(Prop::Tip), Shown(today));

  w.Control("&Status:").Choose("Active");
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup", "Report"}));
  w.Control("&Category:").Choose("Home");
  EXPECT_EQ(list.Rows(), 0u);
  w.Control("&Category:").Choose("Work");
  w.Control("&Day:").Choose("All");
  // Every day, active, Work: the hot-key task is Home anyway; no completed ones.
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup", "Report"}));
  EXPECT_EQ(w.Control("&Day:").Get(Prop::Tip), "Select records by date");

  w.Control("&Category:").Choose("All");
  w.Control("&Status:").Choose("All");
  // Hot-key tasks never show.
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn),
            (Texts{"Last summer", "Filed", "Standup", "Report", "Backup", "Archive"}));
  w.Control("&Status:").Choose("Completed");
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Filed", "Archive"}));
  w.Control("&Status:").Choose("Disabled");
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Backup"}));
  w.Control("&Status:").Choose("All");

  // The month alone, in any year: last summer's July task is not June.
  w.Control("&Day:").Choose("This Month");
  EXPECT_EQ(list.Rows(), 6u);
  EXPECT_EQ(w.Control("&Day:").Get(Prop::Tip),
            Shown(DATE(6, 1, 2026)) + "-" + Shown(DATE(6, 30, 2026)));
  w.Control("&Day:").Choose("This Week");
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup", "Report", "Backup"}));
  w.Control("&Day:").Choose("Yesterday");
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Filed"}));
  w.Control("&Day:").Choose("Tomorrow");
  EXPECT_EQ(list.Rows(), 0u);

  // The current user's tasks only, and the title says whose.
  w.Control("&Day:").Choose("All");
  w.Control("&Limit to current user").Tick();
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup"}));
  EXPECT_EQ(w.Title(), "Explore Schedule - ann");
  w.Control("&Limit to current user").Tick(false);
  EXPECT_EQ(w.Title(), "Explore Schedule - All users");
  w.Close();
  ui_.Finish();
}

TEST_F(ExploreScheduleTest, ACustomRangeLeftAsOfferedCoversEveryTaskFrom1995To2099) {
  DriverWindow w = StartExplorer();
  DriverControl list = ExplorerList(w);
  w.Control("&Day:").Choose("Custom");
  DriverWindow range = ui_.WaitWindow("Enter Date Range");
  EXPECT_EQ(range.Control("Start Date:").Value(), Shown(DATE(1, 1, 1995)));
  EXPECT_EQ(range.Control("End Date:").Value(), Shown(DATE(1, 1, 2099)));
  range.Control("Cancel").Press();
  ui_.WaitClosed(range);
  EXPECT_EQ(list.Rows(), 6u);
  EXPECT_EQ(w.Control("&Day:").Get(Prop::Tip),
            Shown(DATE(1, 1, 1995)) + "-" + Shown(DATE(1, 1, 2099)));

  // A narrower range chosen in the dialog.
  w.Control("&Day:").Choose("Custom");
  range = ui_.WaitWindow("Enter Date Range");
  range.Control("Start Date:").Type(Shown(DATE(6, 12, 2026)));
  range.Control("End Date:").Type(Shown(DATE(6, 30, 2026)));
  range.Control("&OK").Press();
  ui_.WaitClosed(range);
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn),
            (Texts{"Standup", "Report", "Backup", "Archive"}));

  // "&More..." opens the list's popup.
  ui_.AnswerPopup(0);
  w.Control("&More...").Press();
  ui_.AnswerPopup(PopupNumber(ui_.Requests().back().text, kPopupActiveOnly));
  w.Control("&More...").Press();
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Standup", "Report"}));
  EXPECT_EQ(w.Control("&Status:").Value(), "Active");
  w.Close();
  ui_.Finish();
}

TEST_F(ExploreScheduleTest, AtMidnightTodaysListMovesToTheNewDay) {
  DriverWindow w = StartExplorer();
  DriverControl list = ExplorerList(w);
  EXPECT_EQ(list.Rows(), 3u);
  clock_.Set(DATE(6, 20, 2026), MakeTime(0, 0, 5));  // a week on: Archive's day
  w.Post(EVENT_Timer);
  EXPECT_EQ(ColumnTexts(list, kDescriptionColumn), (Texts{"Archive"}));
  EXPECT_EQ(w.Control("&Day:").Get(Prop::Tip), Shown(DATE(6, 20, 2026)));
  w.Close();
  ui_.Finish();
}

}  // namespace
}  // namespace vx
