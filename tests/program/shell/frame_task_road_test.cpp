// A task falls due in a frame on the window runtime: its message window opens on a thread of
// its own, the frame comes back from the tray, the status bar and tray tip name the task, and
// the open task list is told to refresh. The box of a run that cannot be stored leaves the tick
// going.
#include "program/shell/frame_task_road.h"

#include <functional>

#include "framework/window_manager.h"
#include "runtime/threads.h"
#include "support/test_driver.h"
#include "tests/program/due_task_fixture.h"

namespace vx {
namespace {

class FrameTaskRoadTest : public test::DueTaskTest {
 protected:
  // Runs a frame whose EVENT_User is one tick of phase 3; `opened` runs once it has opened.
  void StartMain(TestDriver& ui, std::function<void(Window&, SYSTRAYCLASS&)> opened = {}) {
    ui.Start([this, opened] {
      Window window("Main");
      SYSTRAYCLASS tray;
      FrameTaskRoad road(window, tray);
      WindowManager manager(window);
      if (opened) manager.On(EVENT_OpenWindow, [&] { opened(window, tray); });
      manager.On(EVENT_User, [&] { CheckNextTask(state, table, road); });
      manager.Run();
    });
  }
};

// A task list that counts the refresh requests it receives.
void TaskList() {
  Window window("Task List");
  auto& refreshed = window.String("0");
  BROWSESCHEDULETHREADQUEUE.buffer.BROWSESCHEDULETHREAD = static_cast<std::int32_t>(THREAD());
  BROWSESCHEDULETHREADQUEUE.Add();
  WindowManager manager(window);
  manager.On(EVENT_RefreshSchedule, [&] {
    refreshed.SetText(std::to_string(std::stol(std::string(refreshed.TextValue())) + 1));
  });
  manager.Run();
}

TEST_F(FrameTaskRoadTest, DueMessageTaskOpensItsWindowAndRefreshesTheList) {
  AddTask(1, "Display Message", kDay, kNoon).Message = "Time for the backup";
  TestDriver ui;
  StartMain(ui, [](Window& window, SYSTRAYCLASS& tray) {
    tray.INIT(99, "Varnodex", "tray.ico", 1, 1);
    window.Set(Prop::Iconize, true);  // sitting in the tray
    tray.HIDE();
    START(TaskList, 25000);
  });
  auto main = ui.WaitWindow("Main");
  auto list = ui.WaitWindow("Task List");
  main.Post(EVENT_User);  // one tick of phase 3

  auto message = ui.WaitWindow("Task 1");
  EXPECT_NE(message.Thread(), main.Thread());
  EXPECT_NE(message.Thread(), list.Thread());
  EXPECT_EQ(message.ControlNumber(2).Value(), "Time for the backup");
  EXPECT_EQ(main.Status(2), test::NextTaskStatus("Task 1", kDay, kNoon));
  EXPECT_EQ(main.Get(Prop::Iconize), "0");
  EXPECT_EQ(main.Get(Prop::Hide), "0");
  EXPECT_EQ(ui.WaitTray().tip.substr(0, 17), "Varnodex - Task 1");
  ui.WaitUntil([&] { return list.ControlNumber(1).Text() == "2"; }, "the list refreshed");

  message.Control("Close").Press();
  list.Close();
  main.Close();
  ui.Finish();
  EXPECT_EQ(schedule.tasks[1].Date, kDay + 1);
}

// While the box saying that a run could not be stored waits to be read, the next tick runs the
// task behind it.
TEST_F(FrameTaskRoadTest, BoxOfARunNotStoredLeavesTheTickGoing) {
  AddTask(1, "Run Program", kDay, kNoon - 6000).Command = "one";
  AddTask(2, "Run Program", kDay, kNoon).Command = "two";
  table.fail_ids = {1};
  TestDriver ui;
  StartMain(ui);
  auto main = ui.WaitWindow("Main");
  main.Post(EVENT_User);
  ui.WaitUntil([&] { return !ui.Messages().empty(); }, "the box");
  main.Post(EVENT_User);
  EXPECT_EQ(Programs(), std::vector<std::string>{"two"});
  const SeenRequest box = ui.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.caption, "Task Not Started");
  EXPECT_NE(box.thread, main.Thread());
  main.Close();
  ui.Finish();
}

}  // namespace
}  // namespace vx
