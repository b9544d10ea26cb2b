// The Housekeeping window on real tables: removing disabled or completed tasks with every row
// that refers to them (no orphans left in SCRIPTING, VXUSD or VXSCD), failures reported instead
// of "removed", the to-do list, the saved window places, the script queue, the current user's
// rows for all tasks, and the system password before it opens. And the About window.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/dictionary/user_tables.h"
#include "program/admin/admin_windows.h"
#include "program/admin/housekeeping_tasks.h"
#include "program/admin/load_settings.h"
#include "program/admin/password_validation.h"
#include "program/script_engine/script_queue.h"
#include "runtime/storage/file.h"
#include "runtime/text_functions.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

struct Task {
  std::int32_t id;
  bool disabled;
  bool completed;
};

class HousekeepingTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    GLO_USER = "kim";
    SYSLOCK = 0;
    SystemUnlocked = 0;
  }
  void TearDown() override {
    SYSLOCK = 0;
    SYSPWD = "";
    SystemUnlocked = 0;
    MULTIUSER = 0;
    ScriptQueue.Free();
    WindowTest::TearDown();
  }

  // Each task with two script steps, a row for "kim" and "lee", and a contact link.
  static void AddTasks(const std::vector<Task>& tasks) {
    ASSERT_EQ(RELATE_SCHEDULE->Open(), 0);
    for (const Task& t : tasks) {
      SCH = SCHEDULE_RECORD{};
      SCH.ID = t.id;
      SCH.Description = "Task " + std::to_string(t.id);
      SCH.TaskType = "Run Program";
      SCH.Date = DATE(7, 1, 2026) + t.id;
      SCH.Time = MakeTime(9, 0);
      SCH.Disabled = t.disabled ? 1 : 0;
      SCH.Completed = t.completed ? 1 : 0;
      ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
      for (std::int32_t seq : {1, 2}) {
        SCR = SCRIPTING_RECORD{};
        SCR.ID = t.id;
        SCR.Sequence = seq;
        SCR.Action = "Set Value";
        ASSERT_EQ(ACCESS_SCRIPTING->Insert(), 0);
      }
      for (const char* user : {"kim", "lee"}) {
        US = VXUSD_RECORD{};
        US.USER = user;
        US.ID = t.id;
        US.DATE = SCH.Date;
        US.TIME = SCH.Time;
        ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);
      }
      SCD = VXSCD_RECORD{};
      SCD.ID = t.id;
      SCD.CLIENTID = 1;
      ASSERT_EQ(ACCESS_VXSCD->Insert(), 0);
    }
    RELATE_SCHEDULE->Close();
  }

  // The ids of the stored tasks, and whether any row of SCRIPTING, VXUSD or VXSCD refers to a
  // task that is not there.
  static std::set<std::int32_t> TaskIds() {
    std::set<std::int32_t> ids;
    EXPECT_EQ(ACCESS_SCHEDULE->Open(), 0);
    ACCESS_SCHEDULE->Set(SCH_KEYID);
    while (ACCESS_SCHEDULE->TryNext() == 0) ids.insert(SCH.ID);
    ACCESS_SCHEDULE->Close();
    return ids;
  }
  static std::vector<std::string> Orphans() {
    const std::set<std::int32_t> ids = TaskIds();
    std::vector<std::string> out;
    const auto walk = [&](FileManager& table, const char* name, const std::int32_t& id) {
      EXPECT_EQ(table.Open(), 0);
      table.Set();
      while (table.TryNext() == 0) {
        if (!ids.count(id)) out.push_back(std::string(name) + " " + std::to_string(id));
      }
      table.Close();
    };
    walk(*ACCESS_SCRIPTING, "SCRIPTING", SCR.ID);
    walk(*ACCESS_VXUSD, "VXUSD", US.ID);
    walk(*ACCESS_VXSCD, "VXSCD", SCD.ID);
    return out;
  }
  static long Rows(FileManager& table) {
    EXPECT_EQ(table.Open(), 0);
    const long n = static_cast<long>(table.file().Records());
    table.Close();
    return n;
  }

  DriverWindow Open() {
    ui_.Start([] { Housekeeping(); });
    return ui_.WaitWindow("Housekeeping");
  }
};

TEST_F(HousekeepingTest, RemovingTasksTakesTheirScriptsAndPerUserRowsAndLeavesNoOrphans) {
  AddTasks(
      {{1, true, false}, {2, false, true}, {3, true, true}, {4, false, false}, {5, true, false}});
  DriverWindow w = Open();

  // No: nothing changes and nothing more is said.
  ui_.AnswerMessage(BUTTON_NO);
  w.Control("Clear all disabled tasks").Press();
  EXPECT_EQ(TaskIds(), (std::set<std::int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(ui_.Messages().size(), 1u);

  ui_.AnswerMessage(BUTTON_YES);
  w.Control("Clear all disabled tasks").Press();
  SeenRequest done = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(done.caption, "Housekeeping");
  EXPECT_EQ(done.text, "Disabled tasks removed.");
  EXPECT_EQ(TaskIds(), (std::set<std::int32_t>{2, 4}));
  EXPECT_TRUE(Orphans().empty()) << ::testing::PrintToString(Orphans());

  ui_.AnswerMessage(BUTTON_YES);
  w.Control("Clear all completed tasks").Press();
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text, "Completed tasks removed.");
  w.Control("Close").Press();
  ui_.WaitClosed(w);
  ui_.Finish();

  EXPECT_EQ(TaskIds(), (std::set<std::int32_t>{4}));
  EXPECT_TRUE(Orphans().empty()) << ::testing::PrintToString(Orphans());
  EXPECT_EQ(Rows(*ACCESS_SCRIPTING), 2);
  EXPECT_EQ(Rows(*ACCESS_VXUSD), 2);
  EXPECT_EQ(Rows(*ACCESS_VXSCD), 1);
}

// In multi-user mode the flags are the current user's own: their rows with the flag go, the
// team's tasks and the other users' rows stay, whatever the team's flags say.
TEST_F(HousekeepingTest, InMultiUserModeTheUsersOwnFlagsRemoveTheirOwnRows) {
  AddTasks({{1, false, false}, {2, true, true}, {3, false, false}});
  ASSERT_EQ(ACCESS_VXUSD->Open(), 0);
  const auto flag = [](const char* user, std::int32_t id, bool disabled, bool completed) {
    US = VXUSD_RECORD{};
    US.USER = user;
    US.ID = id;
    ASSERT_EQ(ACCESS_VXUSD->TryFetch(US_KEYID), 0);
    US.DISABLED = disabled ? 1 : 0;
    US.COMPLETED = completed ? 1 : 0;
    ASSERT_EQ(ACCESS_VXUSD->Update(), 0);
  };
  flag("kim", 1, true, false);
  flag("kim", 3, false, true);
  flag("lee", 3, true, false);
  ACCESS_VXUSD->Close();
  const auto rows = [] {
    std::set<std::string> out;
    EXPECT_EQ(ACCESS_VXUSD->Open(), 0);
    ACCESS_VXUSD->Set();
    while (ACCESS_VXUSD->TryNext() == 0) out.insert(CLIP(US.USER.str()) + std::to_string(US.ID));
    ACCESS_VXUSD->Close();
    return out;
  };

  MULTIUSER = 1;
  GLO_USER = "Kim";
  HousekeepingResult result = RemoveFlaggedTasks(TaskFlag::Disabled);
  EXPECT_EQ(result.removed, 1);
  EXPECT_EQ(result.failed, 0);
  EXPECT_EQ(rows(), (std::set<std::string>{"kim2", "kim3", "lee1", "lee2", "lee3"}));
  result = RemoveFlaggedTasks(TaskFlag::Completed);
  EXPECT_EQ(result.removed, 1);
  EXPECT_EQ(rows(), (std::set<std::string>{"kim2", "lee1", "lee2", "lee3"}));
  EXPECT_EQ(TaskIds(), (std::set<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(Rows(*ACCESS_SCRIPTING), 6);
}

TEST_F(HousekeepingTest, ARemovalThatFailsIsReportedAndKeepsEveryRowOfItsTask) {
  AddTasks({{1, true, false}, {2, true, false}});
  // The database is marked read-only: it opens read-only and every delete fails.
  ASSERT_EQ(::chmod("VX97.TPS", 0444), 0);
  DriverWindow w = Open();
  ui_.AnswerMessage(BUTTON_YES);
  w.Control("Clear all disabled tasks").Press();
  const SeenRequest box = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.caption, "Housekeeping");
  EXPECT_NE(box.text, "Disabled tasks removed.");
  EXPECT_EQ(box.text.rfind("2 disabled tasks could not be removed (0 removed).", 0), 0u)
      << box.text;
  w.Close();
  ui_.WaitClosed(w);
  ui_.Finish();
  ::chmod("VX97.TPS", 0644);
  EXPECT_EQ(TaskIds(), (std::set<std::int32_t>{1, 2}));
  EXPECT_EQ(Rows(*ACCESS_SCRIPTING), 4);
  EXPECT_EQ(Rows(*ACCESS_VXUSD), 4);
}

TEST_F(HousekeepingTest, TheToDoListThePlacesAndTheScriptQueueAreEmptied) {
  ASSERT_EQ(ACCESS_TODO->Open(), 0);
  for (const char* item : {"Buy milk", "Call Bob", "Water plants"}) {
    TDO = TODO_RECORD{};
    TDO.ToDo = item;
    ASSERT_EQ(ACCESS_TODO->Insert(), 0);
  }
  ACCESS_TODO->Close();
  std::ofstream("POSITION.INI") << "[BrowseHolidays]\nX=10\n";
  ScriptQueue.buffer = ScriptQueueEntry{};
  ScriptQueue.Add();

  DriverWindow w = Open();
  ui_.AnswerMessage(BUTTON_YES);
  w.Control("Clear To Do list").Press();
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text, "To Do list removed.");
  EXPECT_EQ(Rows(*ACCESS_TODO), 0);

  ui_.AnswerMessage(BUTTON_YES);
  w.Control("Reset saved window settings").Press();
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text, "All saved window positions have been removed");
  EXPECT_FALSE(std::filesystem::exists("POSITION.INI"));

  ui_.AnswerMessage(BUTTON_YES);
  w.Control("Clear current script queue").Press();
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text, "All active scripts have been removed");
  EXPECT_EQ(ScriptQueue.Records(), 0);
  w.Close();
  ui_.WaitClosed(w);
  ui_.Finish();
}

TEST_F(HousekeepingTest, RescheduleAllTasksAsksForTheMomentAndComesBack) {
  DriverWindow w = Open();
  w.Control("Reschedule All Tasks").Press();
  DriverWindow redate = ui_.WaitWindow("Re-Date Tasks");
  redate.Control("Cancel").Press();
  ui_.WaitClosed(redate);
  EXPECT_TRUE(w.Open());
  w.Close();
  ui_.WaitClosed(w);
  ui_.Finish();
}

TEST_F(HousekeepingTest, AssigningTheCurrentUserTwiceAddsOneRowPerDatedTask) {
  AddTasks({{1, false, false}, {2, true, false}});
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  SCH = SCHEDULE_RECORD{};
  SCH.ID = 3;
  SCH.TaskType = "Hot Key";  // neither date nor time: no row
  ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  ACCESS_SCHEDULE->Close();
  GLO_USER = "max";

  DriverWindow w = Open();
  for (int pass = 0; pass < 2; ++pass) {
    w.Control("Assign current user to all tasks").Press();
    // The press is taken once the progress window is up; the window is back when it is gone.
    ui_.WaitUntil([&] { return !ui_.HasWindow("Processing Records"); }, "the pass to end");
  }
  w.Close();
  ui_.WaitClosed(w);
  ui_.Finish();

  std::vector<VXUSD_RECORD> rows;
  ASSERT_EQ(ACCESS_VXUSD->Open(), 0);
  ACCESS_VXUSD->Set(US_KEYID);
  while (ACCESS_VXUSD->TryNext() == 0) {
    if (US.USER == "max") rows.push_back(US);
  }
  ACCESS_VXUSD->Close();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].ID, 1);
  EXPECT_EQ(rows[0].DATE, DATE(7, 1, 2026) + 1);
  EXPECT_EQ(rows[0].TIME, MakeTime(9, 0));
  EXPECT_EQ(rows[0].DISABLED, 0);
  EXPECT_EQ(rows[1].ID, 2);
  EXPECT_EQ(rows[1].DISABLED, 1);
  EXPECT_EQ(rows[1].LASTRUNDATE, 0);
}

TEST_F(HousekeepingTest, TheLockedSystemAsksForThePasswordFirst) {
  SYSLOCK = 1;
  SYSPWD = "sesame";
  ui_.Start([] {
    Housekeeping();
    Housekeeping();
  });
  DriverWindow prompt = ui_.WaitWindow("Password Required");
  prompt.Control("Cancel").Press();
  ui_.WaitClosed(prompt);
  prompt = ui_.WaitWindow("Password Required");
  EXPECT_FALSE(ui_.HasWindow("Housekeeping")) << "refused: not opened";
  prompt.Control("Enter the system password:").Type("Sesame");
  prompt.Control("OK").Press();
  DriverWindow w = ui_.WaitWindow("Housekeeping");
  w.Close();
  ui_.WaitClosed(w);
  ui_.Finish();
}

TEST_F(HousekeepingTest, AboutShowsTheProductVersionAndBuild) {
  PRODUCTNAME = "Varnodex 2000";
  VERSIONNUMBER = "3.1";
  ui_.Start([] { About(); });
  DriverWindow w = ui_.WaitWindow("About");
  EXPECT_EQ(w.Control("Varnodex 2000").Kind(), ControlType::String);
  EXPECT_EQ(w.Control("Version 3.1").Kind(), ControlType::String);
  w.Control("Close").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
}

}  // namespace
}  // namespace vx
