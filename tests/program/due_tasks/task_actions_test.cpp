// The task lists' actions on the real tables: a quick-start copy after a chosen delay (what it
// keeps, what it drops, its script steps), and performing a task now whatever its flags, with
// its alarm, message, program and script, leaving the stored task as it was.
#include "program/due_tasks/task_actions.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "program/common/external_message.h"
#include "program/common/task_road_services.h"
#include "program/script_engine/script_queue.h"
#include "program/shell_fixture.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"
#include "tests/fakes/fake_process_launcher.h"
#include "tests/fakes/fake_sound_player.h"

namespace vx {
namespace {

class TaskActionsTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    services_.processes = &processes_;
    services_.sound = &sound_;
    services_.messages = &reporter_;
    services_.helper_folder = "/opt/vx/bin";
    services_.add_message_link = AddMessageLinkRecord;
    USEEXTERNALMESSAGE = USEMODALMESSAGE = USEWINMESSAGE = 0;
    THREADCOUNT = 0;
    TEMPSCRIPTINGACTIVE = 0;
    ScriptQueue.Free();
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
  }
  void TearDown() override {
    ACCESS_SCRIPTING->Close();
    ACCESS_SCHEDULE->Close();
    ScriptQueue.Free();
    THREADCOUNT = 0;
    ShellTest::TearDown();
  }

  // A disabled, completed task of every kind of flag, with two script steps.
  static SCHEDULE_RECORD Task(std::int32_t id, std::string_view type) {
    SCHEDULE_RECORD task;
    task.ID = id;
    task.TaskType = type;
    task.Category = "Work";
    task.Description = "Nightly backup";
    task.Command = "backup-now";
    task.Message = "Check the backup";
    task.ScheduleType = "Day of Week";
    task.Friday = 1;
    task.Date = DATE(6, 19, 2026);
    task.Time = MakeTime(22, 0);
    task.Alarm = 1;
    task.AlarmFile = "ring.wav";
    task.AdvanceWarnDate = DATE(6, 18, 2026);
    task.AdvanceWarnTime = MakeTime(22, 0);
    task.Disabled = task.Completed = task.Skipped = task.SkipNextTime = 1;
    task.UserSkip = 1;
    return task;
  }
  static void Add(const SCHEDULE_RECORD& task) {
    SCH = task;
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    for (int i = 1; i <= 2; ++i) {
      SCR = SCRIPTING_RECORD{};
      SCR.ID = task.ID;
      SCR.Sequence = i;
      SCR.Action = "Send Keys";
      SCR.Keystrokes = "step " + std::to_string(i);
      ASSERT_EQ(ACCESS_SCRIPTING->Insert(), 0);
    }
  }
  static std::vector<std::string> Steps(std::int32_t id) {
    std::vector<std::string> out;
    SCR = SCRIPTING_RECORD{};
    SCR.ID = id;
    ACCESS_SCRIPTING->SetFromBuffer(SCR_KEYID);
    while (ACCESS_SCRIPTING->Next() == 0 && SCR.ID == id) out.push_back(SCR.Keystrokes.str());
    return out;
  }
  static std::int64_t TaskCount() { return ACCESS_SCHEDULE->file().Records(); }

  // Runs an action with `task` in the buffer of a list window's thread, as a task list does;
  // with keep_list the list stays open (and the program running) until the test closes it.
  static void RunAction(TestDriver& ui, const SCHEDULE_RECORD& task, void (*action)(),
                        bool keep_list = false) {
    ui.Start([task, action, keep_list] {
      ACCESS_SCHEDULE->Open();
      SCH = task;
      action();
      ACCESS_SCHEDULE->Close();
      if (!keep_list) return;
      Window list("Tasks");
      list.Open();
      while (list.Accept()) {
      }
    });
  }

  test::FakeProcessLauncher processes_;
  test::FakeSoundPlayer sound_;
  TaskRoadServices services_;
  ScopedTaskRoadServices scoped_services_{services_};
};

TEST_F(TaskActionsTest, QuickStartAddsAOneTimeCopyDueAfterTheDelay) {
  const SCHEDULE_RECORD task = Task(7, "Both");
  Add(task);
  clock_.Set(DATE(6, 12, 2026), MakeTime(23, 30));
  TestDriver ui;
  ui.AnswerPopup(4);  // "1 hour"
  RunAction(ui, task, [] { EXPECT_TRUE(QuickStartTask()); });
  ui.Finish();
  ASSERT_EQ(ui.Requests().size(), 1u);
  EXPECT_EQ(ui.Requests()[0].text,
            "5 minutes|10 minutes|30 minutes|1 hour|2 hours|3 hours|-|Cancel");

  const SCHEDULE_RECORD copy = StoredTask(8);
  EXPECT_EQ(copy.Date, DATE(6, 13, 2026));
  EXPECT_EQ(copy.Time, MakeTime(0, 30, 1));
  EXPECT_EQ(copy.ScheduleType, "Once");
  EXPECT_EQ(copy.AdvanceWarnDate, 0);
  EXPECT_EQ(copy.AdvanceWarnTime, 0);
  EXPECT_EQ(copy.Disabled, 0);
  EXPECT_EQ(copy.Completed, 0);
  EXPECT_EQ(copy.Skipped, 0);
  EXPECT_EQ(copy.SkipNextTime, 0);  // else its only run would be passed over
  EXPECT_EQ(copy.TaskType, "Both");
  EXPECT_EQ(copy.Category, "Work");
  EXPECT_EQ(copy.Description, "Nightly backup");
  EXPECT_EQ(copy.Command, "backup-now");
  EXPECT_EQ(copy.Message, "Check the backup");
  EXPECT_EQ(copy.AlarmFile, "ring.wav");
  EXPECT_EQ(copy.Alarm, 1);
  EXPECT_EQ(copy.UserSkip, 1);
  EXPECT_EQ(Steps(8), (std::vector<std::string>{"step 1", "step 2"}));

  const SCHEDULE_RECORD original = StoredTask(7);
  EXPECT_EQ(original.Date, task.Date);
  EXPECT_EQ(original.ScheduleType, "Day of Week");
  EXPECT_EQ(Steps(7), (std::vector<std::string>{"step 1", "step 2"}));
}

TEST_F(TaskActionsTest, QuickStartCancelledAddsNothing) {
  const SCHEDULE_RECORD task = Task(7, "Both");
  Add(task);
  for (long item : {7L, 0L}) {  // "Cancel", and the menu closed without a choice
    TestDriver ui;
    ui.AnswerPopup(item);
    RunAction(ui, task, [] { EXPECT_FALSE(QuickStartTask()); });
    ui.Finish();
    EXPECT_EQ(TaskCount(), 1) << item;
  }
}

// A copy that cannot be stored leaves the buffer on the task it was made from, so the list that
// asked keeps that task highlighted instead of one that was never stored.
TEST_F(TaskActionsTest, AQuickStartCopyThatCannotBeStoredLeavesTheTaskInTheBuffer) {
  const SCHEDULE_RECORD task = Task(7, "Both");
  Add(task);
  ASSERT_EQ(::chmod("VX97.TPS", 0444), 0);  // the data file marked read-only: every write fails
  static SCHEDULE_RECORD after;
  TestDriver ui;
  ui.AnswerPopup(1);  // "5 minutes"
  RunAction(ui, task, [] {
    EXPECT_FALSE(QuickStartTask());
    after = SCH;
  });
  ui.Finish();
  ::chmod("VX97.TPS", 0600);
  EXPECT_EQ(after.ID, 7);
  EXPECT_EQ(after.Date, task.Date);
  EXPECT_EQ(after.Time, task.Time);
  EXPECT_EQ(after.ScheduleType, "Day of Week");
  EXPECT_EQ(after.Disabled, 1);
  EXPECT_EQ(TaskCount(), 1);
  EXPECT_FALSE(Captions().empty());  // the failed add was reported
}

TEST_F(TaskActionsTest, PerformNowRunsADisabledCompletedTaskAndStoresNothing) {
  const SCHEDULE_RECORD task = Task(9, "Both");
  Add(task);
  TestDriver ui;
  RunAction(
      ui, task, [] { PerformTaskNow(); }, true);
  DriverWindow message = ui.WaitWindow("Nightly backup");
  EXPECT_NE(message.Thread(), ui.WaitWindow("Tasks").Thread());  // a message thread of its own
  EXPECT_EQ(message.ControlNumber(2).Value(), "Check the backup");
  message.Control("Close").Press();
  ui.WaitClosed(message);
  ui.WaitWindow("Tasks").Close();
  ui.Finish();

  EXPECT_EQ(sound_.played, (std::vector<std::filesystem::path>{"ring.wav"}));
  ASSERT_EQ(processes_.requests.size(), 1u);
  EXPECT_EQ(processes_.requests[0].argv.front(), "backup-now");
  EXPECT_GT(ScriptQueue.Records(), 0);  // the task's script follows its program

  const SCHEDULE_RECORD stored = StoredTask(9);
  EXPECT_EQ(stored.Date, task.Date);
  EXPECT_EQ(stored.Time, task.Time);
  EXPECT_EQ(stored.LastRunDate, 0);
  EXPECT_EQ(stored.Disabled, 1);
  EXPECT_EQ(stored.Completed, 1);
  EXPECT_EQ(stored.SkipNextTime, 1);
  EXPECT_EQ(TaskCount(), 1);  // no history copy
}

TEST_F(TaskActionsTest, PerformNowDoesWhatTheTaskTypeSays) {
  THREADCOUNT = 60;  // messages in a plain box, so that each shows without a window
  struct Case {
    std::string type;
    bool message, program;
  };
  const Case cases[] = {
      {"Display Message", true, false},
      {"Run Program", false, true},
      {"Both", true, true},
      {"Reminder", false, false},
  };
  for (const Case& c : cases) {
    reporter_.shown.clear();
    processes_.requests.clear();
    SCHEDULE_RECORD task = Task(9, c.type);
    task.Alarm = 0;
    SCH = task;
    PerformTaskNow();
    EXPECT_EQ(reporter_.shown.size(), c.message ? 1u : 0u) << c.type;
    if (c.message && !reporter_.shown.empty()) {
      EXPECT_EQ(reporter_.shown[0].caption, "Nightly backup");
      EXPECT_EQ(reporter_.shown[0].text, "Check the backup");
    }
    EXPECT_EQ(processes_.requests.size(), c.program ? 1u : 0u) << c.type;
  }
  EXPECT_TRUE(sound_.played.empty());
}

}  // namespace
}  // namespace vx
