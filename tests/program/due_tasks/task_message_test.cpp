// The task message display on the window runtime, driven headless: the thread with its own
// copy of the message, the means chosen by the settings, the repeating alarm with its limit,
// and the Snooze and To Do buttons.
#include "program/due_tasks/show_task_message.h"

#include <atomic>
#include <filesystem>
#include <thread>

#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "support/temp_folder.h"
#include "support/test_driver.h"
#include "tests/program/due_task_fixture.h"

namespace vx {
namespace {

using Strings = std::vector<std::string>;

// Counts alarms from any thread.
class CountingSound final : public platform::SoundPlayer {
 public:
  bool Play(const std::filesystem::path&) override {
    ++plays;
    return true;
  }
  void Stop() override {}
  void Beep() override { ++beeps; }
  std::atomic<int> plays{0};
  std::atomic<int> beeps{0};
};

class TaskMessageTest : public test::DueTaskTest {
 protected:
  void SetUp() override {
    DueTaskTest::SetUp();
    services.sound = &counting;
    USEWINMESSAGE = 0;
    REPEATALARMINTERVAL = 0;
    MAXALARMTIME = 0;
    SNOOZEINTERVAL = 0;
  }
  void TearDown() override {
    REPEATALARMINTERVAL = 0;
    MAXALARMTIME = 0;
    USEWINMESSAGE = 0;
    DueTaskTest::TearDown();
  }

  // Waits up to five seconds for the alarm count.
  bool WaitForPlays(int count) {
    for (int i = 0; i < 100 && counting.plays < count; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return counting.plays >= count;
  }

  CountingSound counting;
};

TEST_F(TaskMessageTest, EachThreadShowsItsOwnCopyOfTheMessage) {
  TestDriver ui;
  long first = 0, second = 0;
  ui.Start([&] {
    TaskMessage message{"Water the plants", "The ferns too", ""};
    first = StartTaskMessageThread(message);
    message = {"Call Anna", "About the budget",
               ""};  // the next task's, before the first thread runs
    second = StartTaskMessageThread(message);
    Window main_window("Main");  // the program goes on while the messages are shown
    main_window.Open();
    while (main_window.Accept()) {
    }
  });
  auto plants = ui.WaitWindow("Water the plants");
  auto call = ui.WaitWindow("Call Anna");
  EXPECT_EQ(plants.Thread(), first);
  EXPECT_EQ(call.Thread(), second);
  EXPECT_EQ(plants.ControlNumber(1).Value(), "Water the plants");
  EXPECT_EQ(plants.ControlNumber(2).Value(), "The ferns too");
  EXPECT_EQ(call.ControlNumber(2).Value(), "About the budget");
  ui.WaitUntil([] { return THREADCOUNT == 2; }, "two message threads");
  plants.Control("Close").Press();
  call.Control("Close").Press();
  ui.WaitThreadEnded(second);
  ui.WaitWindow("Main").Close();
  ui.Finish();
  EXPECT_EQ(THREADCOUNT, 0);
  EXPECT_EQ(log, (Strings{"Message: Water the plants ", "Message: Call Anna "}));
}

TEST_F(TaskMessageTest, SettingsChooseTheMeans) {
  // A message box.
  USEWINMESSAGE = 1;
  {
    TestDriver ui;
    ui.Start([] { TaskMessageThread({"Title", "Text", ""}); });
    const SeenRequest box = ui.WaitMessage(BUTTON_OK);
    EXPECT_EQ(box.caption, "Title");
    EXPECT_EQ(box.text, "Text");
    ui.Finish();
  }
  USEWINMESSAGE = 0;

  // The external program; no window of our own.
  USEEXTERNALMESSAGE = 1;
  {
    TestDriver ui;
    ui.Start([] { TaskMessageThread({"Title", "Text", "ring.wav"}); });
    ui.Finish();
    EXPECT_EQ(links.size(), 1u);
    EXPECT_EQ(processes.requests.back().argv, (Strings{"/opt/vx/bin/vx-msg", "ID=1"}));
  }
  // The program missing: the window after all, on top when modal messages are chosen.
  processes.SetOutcome("/opt/vx/bin/vx-msg", {ENOENT, 0, false});
  USEMODALMESSAGE = 1;
  {
    TestDriver ui;
    ui.Start([] { TaskMessageThread({"Title", "Text", ""}); });
    auto window = ui.WaitWindow("Title");
    EXPECT_EQ(window.Get(Prop::Topmost), "1");
    window.Control("Close").Press();
    ui.Finish();
  }
}

TEST_F(TaskMessageTest, AlarmRepeatsUntilItsLimit) {
  REPEATALARMINTERVAL = 30;
  MAXALARMTIME = 1;
  TestDriver ui;
  ui.Start([] { ShowMessageWindow({"Title", "Text", "ring.wav"}, false); });
  auto window = ui.WaitWindow("Title");
  EXPECT_EQ(window.Get(Prop::Topmost), "");
  clock.Set(kDay, kNoon + 31 * 100);  // past the first repeat
  EXPECT_TRUE(WaitForPlays(1));
  clock.Set(kDay, kNoon + 62 * 100);  // the next repeat is due, but the minute is over
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_EQ(counting.plays, 1);
  window.Control("Close").Press();
  ui.Finish();
}

TEST_F(TaskMessageTest, ABeepAlarmRepeatsAsABeep) {
  REPEATALARMINTERVAL = 30;
  TestDriver ui;
  ui.Start([] { ShowMessageWindow({"Title", "Text", "beep"}, false); });
  auto window = ui.WaitWindow("Title");
  clock.Set(kDay, kNoon + 31 * 100);
  ui.WaitUntil([&] { return counting.beeps == 1; }, "a repeated beep");
  EXPECT_EQ(counting.plays, 0);
  window.Control("Close").Press();
  ui.Finish();
}

TEST_F(TaskMessageTest, NoRepeatWithoutAnInterval) {
  MAXALARMTIME = 5;
  TestDriver ui;
  ui.Start([] { ShowMessageWindow({"Title", "Text", "ring.wav"}, false); });
  auto window = ui.WaitWindow("Title");
  clock.Set(kDay + 1, kNoon);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_EQ(counting.plays, 0);
  window.Control("Close").Press();
  ui.Finish();
}

TEST_F(TaskMessageTest, SnoozeAddsAOneTimeTaskAndCloses) {
  TestDriver ui;
  ui.Start([] { ShowMessageWindow({"Call Anna", "About the budget", "ring.wav"}, false); });
  auto window = ui.WaitWindow("Call Anna");
  window.Control("Snooze").Press();
  ui.WaitClosed(window);
  ui.Finish();
  ASSERT_EQ(schedule.tasks.size(), 1u);
  const SCHEDULE_RECORD& task = schedule.tasks.begin()->second;
  EXPECT_EQ(task.TaskType, "Display Message");
  EXPECT_EQ(task.Category, "Snooze");
  EXPECT_EQ(task.ScheduleType, "Once");
  EXPECT_EQ(task.Description, "Call Anna");
  EXPECT_EQ(task.Message, "About the budget");
  EXPECT_EQ(task.AlarmFile, "ring.wav");
  EXPECT_EQ(task.Alarm, 1);
  EXPECT_EQ(task.SkipIfMissed, 1);
  EXPECT_EQ(task.Date, kDay);
  EXPECT_EQ(task.Time, kNoon + 10 * 6000);
}

TEST_F(TaskMessageTest, SnoozePastMidnightMovesToTheNextDay) {
  SNOOZEINTERVAL = 30;
  clock.Set(kDay, 8640000 - 6000);  // 23:59
  TestDriver ui;
  ui.Start([] { ShowMessageWindow({"Late", "", ""}, false); });
  ui.WaitWindow("Late").Control("Snooze").Press();
  ui.Finish();
  SNOOZEINTERVAL = 0;
  const SCHEDULE_RECORD& task = schedule.tasks.begin()->second;
  EXPECT_EQ(task.Date, kDay + 1);
  EXPECT_EQ(task.Time, 29 * 6000);
  EXPECT_EQ(task.Alarm, 0);
}

TEST_F(TaskMessageTest, ToDoAddsAnItemAndLeavesTheWindowOpen) {
  test::TempFolder folder;
  const std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  VX_Files_Load();
  TestDriver ui;
  ui.Start([] { ShowMessageWindow({"Call Anna", "About the budget", ""}, false); });
  auto window = ui.WaitWindow("Call Anna");
  ui.AnswerMessage(BUTTON_OK);
  ui.AnswerMessage(BUTTON_OK);
  window.Control("To Do").Press();
  ui.WaitUntil([&] { return ui.Requests().size() == 2; }, "two confirmations");
  EXPECT_EQ(ui.Requests()[0].caption, "Saved");
  EXPECT_EQ(ui.Requests()[0].text, "Added to To Do List:\rCall Anna");
  EXPECT_EQ(ui.Requests()[1].caption, "Status");
  EXPECT_TRUE(window.Open());
  window.Control("Close").Press();
  ui.Finish();

  ACCESS_TODO->Open();
  ACCESS_TODO->Set();
  ASSERT_EQ(ACCESS_TODO->Next(), 0);
  EXPECT_EQ(TDO.ToDo, "Call Anna");
  EXPECT_EQ(TDO.Notes, "About the budget");
  EXPECT_EQ(TDO.Category, "General");
  EXPECT_EQ(TDO.Priority, 5);
  EXPECT_NE(ACCESS_TODO->Next(), 0);
  ACCESS_TODO->Close();
  VX_Files_Unload();
  std::filesystem::current_path(old);
}

}  // namespace
}  // namespace vx
