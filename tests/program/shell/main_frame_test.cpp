// Main driven through the test driver: start-up in an empty folder and through PATHS.INI, the
// order of the tick's work, the title marks, tray and hot-key events, the exit question and
// the end of the session.
#include "program/shell/main_frame.h"
#include "program/common/data_server.h"
#include "program/common/program_services.h"
#include "runtime/storage/table_backend.h"
#include "support/local_pg_cluster.h"

#include <sys/stat.h>
#include <optional>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "datadll/utility/sys_hot_key_class.h"
#include "datadll/utility/sys_shutdown_class.h"
#include "framework/file_manager.h"
#include "platform/session_end.h"
#include "program/admin/password_validation.h"
#include "program/common/config_store.h"
#include "program/common/help_links.h"
#include "program/common/main_procedures.h"
#include "program/common/program_registry.h"
#include "program/common/task_road_services.h"
#include "program/due_tasks/program_schedule_services.h"
#include "program/script_engine/script_queue.h"
#include "program/script_engine/script_variables.h"
#include "program/script_engine/send_keys.h"
#include "program/shell/data_folder_access.h"
#include "program/shell/program_body.h"
#include "program/shell/register_program_windows.h"
#include "program/shell/start_up_session.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/pictures.h"
#include "runtime/storage/file.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"
#include "tests/datadll/fake_hot_key_grabber.h"
#include "tests/fakes/fake_keyboard.h"
#include "tests/fakes/fake_process_launcher.h"
#include "tests/fakes/fake_shell_opener.h"
#include "tests/program/shell_fixture.h"
#include "tests/support/damaged_files.h"

namespace vx {
namespace {

constexpr std::string_view kFrame = "Varnodex 2000";

class MainFrameTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    services_.manual_timer = true;
    services_.hot_keys = [this] { return std::make_unique<test::FakeHotKeyGrabber>(grabs_); };
    services_.steps.capture_clipboard = [this] { trace_.push_back("clip"); };
    services_.steps.advance_warnings = [this] { trace_.push_back("1"); };
    services_.steps.remove_history = [this] {
      trace_.push_back("2");
      return false;
    };
    services_.steps.check_next_task = [this] { trace_.push_back("3"); };
    services_.steps.check_clock = [this] { trace_.push_back("4"); };
    services_.steps.run_script_step = [this] { trace_.push_back("step"); };
    installed_.emplace(&ProgramServices::main, &services_);
    ProgramRegistry().INIT(1);  // as the program body does: no box for missing mail defaults
  }
  void TearDown() override {
    if (ui_.Running()) {
      Locked([] { MINIMIZEONCLOSEREQUEST = 0; });
      ui_.WaitWindow(kFrame).Pick({"&File", "E&xit"});
      ui_.Finish();
    }
    keyboard_installed_.reset();
    installed_.reset();
    ProgramRegistry().KILL();
    ScriptQueue.Free();
    SystemUnlocked = 0;
    ShellTest::TearDown();
  }

  // Changes program globals as Main's own code would: holding the runtime lock.
  static void Locked(const std::function<void()>& work) { RunWithRuntimeLock(work); }

  DriverWindow StartMain() {
    ui_.Start([] { Main(); });
    DriverWindow frame = ui_.WaitWindow(kFrame);
    Locked([] {
      STARTUPACTIVE = 1;
      MONITORCLIPBOARD = 1;
      GLO_USEEXTERNALCLIPBOARDMANAGER = 0;
      MINIMIZEONCLOSEREQUEST = 0;
      TEMPSCRIPTINGACTIVE = 0;
    });
    return frame;
  }
  void Tick(DriverWindow& frame, int times = 1) {
    for (int i = 0; i < times; ++i) frame.Post(EVENT_Timer);
  }
  // Presses a hot key held by the fake desktop: the listener's thread calls in.
  void PressKey(char key, unsigned modifiers) {
    for (const auto& [id, chord] : grabs_.held) {
      if ((chord & 0xFF) == static_cast<unsigned>(key) && (chord >> 8) == modifiers) {
        grabs_.handler(id, modifiers, static_cast<unsigned>(key));
        return;
      }
    }
    FAIL() << "no hot key " << key << " held";
  }

  MainServices services_;
  std::optional<ScopedProgramServices> installed_;
  test::FakeKeyboard keyboard_;  // installed by the tests that type
  std::optional<ScopedProgramServices> keyboard_installed_;
  test::GrabLog grabs_;
  std::vector<std::string> trace_;
  TestDriver ui_;
};

TEST_F(MainFrameTest, TheTickCapturesThenRunsOnePhaseInTurnThenTheScriptAndTheTray) {
  DriverWindow frame = StartMain();
  EXPECT_EQ(frame.Title(), "Varnodex 2000 2.03");
  Tick(frame, 5);
  EXPECT_EQ(trace_, (std::vector<std::string>{"clip", "1", "clip", "2", "clip", "3", "clip", "4",
                                              "clip", "1"}));
  EXPECT_EQ(frame.Title(), "Varnodex 2000");  // the version goes with the first tick
  EXPECT_EQ(ui_.WaitTray().icon, "tray_ico");

  trace_.clear();
  Locked([] {
    ScriptQueue.buffer = ScriptQueueEntry{};
    ScriptQueue.Add();
    GLO_USEEXTERNALCLIPBOARDMANAGER = 1;
  });
  Tick(frame);
  EXPECT_EQ(trace_, (std::vector<std::string>{"2", "step"}));
  EXPECT_EQ(ui_.WaitTray().icon, "traybus2_ico");
  Tick(frame);
  EXPECT_EQ(ui_.WaitTray().icon, "traybusy_ico");

  // Inactive: no phase runs and no queued script step, but capture goes on.
  trace_.clear();
  Locked([] {
    STARTUPACTIVE = 0;
    MONITORCLIPBOARD = 1;
    GLO_USEEXTERNALCLIPBOARDMANAGER = 0;
  });
  Tick(frame, 4);
  EXPECT_EQ(trace_, (std::vector<std::string>{"clip", "clip", "clip", "clip"}));
  EXPECT_EQ(frame.Title(), "Varnodex 2000 (Inactive)");
  EXPECT_EQ(ui_.WaitTray().icon, "tray_ico");

  // A script started by hand still runs.
  trace_.clear();
  Locked([] { TEMPSCRIPTINGACTIVE = 1; });
  Tick(frame);
  EXPECT_EQ(trace_, (std::vector<std::string>{"clip", "step"}));
}

// While nothing happens nothing on the screen changes: ticks with the scheduler waiting (or
// switched off), no script and the clock standing still announce no change of the frame or its
// toolbar, and the tray icon is not handed over again; a renderer has nothing to draw.
TEST_F(MainFrameTest, IdleTicksChangeNothingOnTheScreen) {
  DriverWindow frame = StartMain();
  for (const bool active : {true, false}) {
    SCOPED_TRACE(active ? "scheduler active" : "scheduler inactive");
    Locked([active] { STARTUPACTIVE = active ? 1 : 0; });
    Tick(frame, 2);  // the first ticks show the state: the title, the working picture
    const int changes = frame.Changes();
    const int published = ui_.WaitTray().published;
    Tick(frame, 8);
    EXPECT_EQ(frame.Changes(), changes);
    EXPECT_EQ(ui_.WaitTray().published, published);
  }
}

TEST_F(MainFrameTest, ARunningScriptShowsItsMarkItsStepAndTheWorkingPicture) {
  DriverWindow frame = StartMain();
  EXPECT_TRUE(frame.Control("Stop Scripts").Disabled());
  const std::int32_t due = 13 * 360000 + 1;
  Locked([&] {
    ScriptQueue.buffer = ScriptQueueEntry{};
    ScriptQueue.buffer.SCR.Action = "Set Value";
    ScriptQueue.buffer.SCR.Path = "A";
    ScriptQueue.buffer.SCR.Command = "1";
    ScriptQueue.buffer.DueDate = TODAY() + 1;
    ScriptQueue.buffer.DueTime = due;
    ScriptQueue.Add();
    MAILPROGRESSTEXT = "Sending Email";
  });
  Tick(frame);
  EXPECT_FALSE(frame.Control("Stop Scripts").Disabled());
  EXPECT_EQ(frame.Control("*").Text(), "*");
  EXPECT_EQ(frame.Control("~wrkas.ico").Text(), "~wrkas.ico");  // the first of seven pictures
  EXPECT_EQ(frame.Status(2), "Sending Email...Set Value A = 1 " + FORMAT(due, "@t7"));
  Tick(frame);
  EXPECT_EQ(frame.Status(2),
            "Set Value A = 1 " + FORMAT(due, "@t7"));  // the mail text is shown once

  Locked([] { ScriptQueue.Free(); });
  Tick(frame);
  EXPECT_TRUE(frame.Control("Stop Scripts").Disabled());
  EXPECT_EQ(frame.Control("~wrka.ico").Text(), "~wrka.ico");  // idle, scheduler on: it stands still
  EXPECT_THROW(frame.Control("*"), std::exception);
}

TEST_F(MainFrameTest, TheTickRunsTheDueScriptStepThroughTheExecutor) {
  services_.steps.run_script_step = nullptr;  // the program's own executor
  DriverWindow frame = StartMain();
  Locked([] {
    VARQ.Free();
    ScriptQueue.buffer = ScriptQueueEntry{};
    ScriptQueue.buffer.SCR.Action = "Set Value";
    ScriptQueue.buffer.SCR.Path = "DONE";
    ScriptQueue.buffer.SCR.Command = "yes";
    ScriptQueue.buffer.DueDate = TODAY() - 1;
    ScriptQueue.Add();
    ScriptQueue.buffer.SCR.Path = "NEXT";
    ScriptQueue.Add();
  });
  Tick(frame);
  std::string done, next;
  long left = 0;
  Locked([&] {
    done = TranslateVariable("DONE");
    next = TranslateVariable("NEXT");
    left = ScriptQueue.Records();
  });
  EXPECT_EQ(done, "yes");
  EXPECT_EQ(next, "");  // one step per tick
  EXPECT_EQ(left, 1);
  Locked([] { VARQ.Free(); });
}

TEST_F(MainFrameTest, TheTitleShowsUnlockedUntilTheFrameIsIconised) {
  DriverWindow frame = StartMain();
  Locked([] { SystemUnlocked = 1; });
  Tick(frame);
  EXPECT_EQ(frame.Title(), "Varnodex 2000 (Unlocked)");
  Tick(frame);
  EXPECT_EQ(frame.Title(), "Varnodex 2000 (Unlocked)");  // marked once
  frame.Post(EVENT_Iconize);
  Tick(frame);
  EXPECT_EQ(frame.Title(), "Varnodex 2000");
  std::uint8_t unlocked = 1;
  Locked([&] { unlocked = SystemUnlocked; });
  EXPECT_EQ(unlocked, 0);
}

TEST_F(MainFrameTest, MenuItemsOfWindowsNotBuiltAreGreyAndRegisteredOnesStartOnTheirOwnThread) {
  std::atomic<long> started_on{0};
  RegisterMainProcedure("BrowseToDoList", [&] { started_on = THREAD(); });
  // Another test may have registered every window: these stand for windows not built.
  RegisterMainProcedure("BrowseSchedule", {});
  RegisterMainProcedure("Setup", {});
  RegisterMainProcedure("UpdateSchedule", {});
  DriverWindow frame = StartMain();
  EXPECT_TRUE(frame.Control("&Scheduled Tasks").Disabled());
  EXPECT_TRUE(frame.Control("&Options").Disabled());
  EXPECT_TRUE(frame.Control("&Users").Disabled());
  EXPECT_TRUE(frame.Control("Program Wizard").Disabled());
  EXPECT_FALSE(frame.Control("&To Do Items").Disabled());
  EXPECT_FALSE(frame.Control("E&xit").Disabled());
  frame.Pick({"&Lists", "&To Do Items"});
  ui_.WaitUntil([&] { return started_on != 0; }, "the to-do list to start");
  RegisterMainProcedure("BrowseToDoList", {});
  EXPECT_NE(started_on, frame.Thread());
  EXPECT_EQ(frame.Status(3).empty(), false);  // weekday and date
}

// The status bar: the next task's zone says when the task is due, apart from the zones of the
// clock's date and time, which keep to their widths; the tray tip says the same.
TEST_F(MainFrameTest, TheStatusBarShowsTheNextTasksDueMomentApartFromTheClock) {
  const std::int32_t monday = DATE(6, 15, 2026);
  const std::int32_t nine = MakeTime(9, 0, 0);
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  SCH = SCHEDULE_RECORD{};
  SCH.ID = 1;
  SCH.TaskType = "Run Program";
  SCH.ScheduleType = "Once";
  SCH.Description = "Weekday standup at nine";
  SCH.Date = monday;
  SCH.Time = nine;
  ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  for (const storage::TableDef* table : DictionaryTables()) {
    storage::File& file = storage::File::For(*table);
    while (file.IsOpen()) file.Close();
  }
  services_.steps.check_next_task = nullptr;  // the frame's own phase 3
  ProgramScheduleServices schedule;
  ScopedScheduleServices scoped_schedule(schedule);

  DriverWindow frame = StartMain();
  Tick(frame, 3);
  const std::string due = ", due " + test::Shown(monday) + " " + FORMAT(nine, "@T7");
  EXPECT_EQ(frame.Status(2), "Next: Weekday standup at nine" + due);
  EXPECT_EQ(ui_.WaitTray().tip, "Varnodex 2000 - Weekday standup at nine" + due);
  EXPECT_EQ(frame.Status(3), "Friday, " + test::Shown(TODAY()));
  EXPECT_EQ(frame.Status(4), FORMAT(CLOCK(), "@T7"));
  EXPECT_EQ(frame.Status(2).find(frame.Status(4)), std::string::npos);

  EXPECT_TRUE(frame.StatusZone(1).Hidden()) << "an empty zone takes no room";
  EXPECT_EQ(frame.StatusZone(2).Get(Prop::Width), "") << "the next task takes the rest";
  EXPECT_NE(frame.StatusZone(2).Get(Prop::MinWidth), "") << "and room for a whole text";
  EXPECT_NE(frame.StatusZone(3).Get(Prop::Width), "");
  EXPECT_NE(frame.StatusZone(4).Get(Prop::Width), "");
}

// The tick sets the date zone only when the day has changed: past midnight it names the new
// day, and the time zone goes on with every tick.
TEST_F(MainFrameTest, TheDateZoneFollowsTheDayPastMidnight) {
  const std::int32_t day = clock_.Today();
  Locked([&] { clock_.Set(day, MakeTime(23, 59, 59)); });
  DriverWindow frame = StartMain();
  Tick(frame);
  ui_.WaitUntil([&] { return frame.Status(4) == FORMAT(MakeTime(23, 59, 59), "@T7"); },
                "the time before midnight");
  const std::string before = frame.Status(3);
  EXPECT_TRUE(before.ends_with(test::Shown(day))) << before;
  Locked([&] { clock_.Set(day + 1, MakeTime(0, 0, 1)); });
  Tick(frame);
  ui_.WaitUntil([&] { return frame.Status(4) == FORMAT(MakeTime(0, 0, 1), "@T7"); },
                "the time after midnight");
  EXPECT_TRUE(frame.Status(3).ends_with(test::Shown(day + 1))) << frame.Status(3);
  EXPECT_NE(frame.Status(3).substr(0, 3), before.substr(0, 3)) << "the weekday moves on too";
}

TEST_F(MainFrameTest, TheHolidayAndCategoryListsOpenFromTheMenus) {
  RegisterProgramWindows();
  DriverWindow frame = StartMain();
  frame.Pick({"&File", "&Holidays"});
  DriverWindow holidays = ui_.WaitWindow("Holidays");
  EXPECT_NE(holidays.Thread(), frame.Thread());
  holidays.Close();
  frame.Pick({"&Lists", "Task Cate&gories"});
  DriverWindow categories = ui_.WaitWindow("Task Categories");
  categories.Close();
  ui_.WaitThreadEnded(categories.Thread());
  RegisterMainProcedure("BrowseHolidays", {});
  RegisterMainProcedure("BrowseScheduleCategories", {});
  RegisterMainProcedure("BrowseSchedule", {});
  RegisterMainProcedure("ExploreSchedule", {});
}

TEST_F(MainFrameTest, TheTaskListsOpenFromTheKeysTheToolbarAndSupportTools) {
  RegisterProgramWindows();
  DriverWindow frame = StartMain();
  frame.PressShortcut("Ctrl+S");
  DriverWindow tasks = ui_.WaitWindow("Scheduled Tasks");
  EXPECT_NE(tasks.Thread(), frame.Thread());
  tasks.Close();
  ui_.WaitThreadEnded(tasks.Thread());
  frame.Control("View Schedule").Press();
  tasks = ui_.WaitWindow("Scheduled Tasks");
  tasks.Close();
  ui_.WaitThreadEnded(tasks.Thread());
  frame.Pick({"&File", "Support Tools", "Explore &Schedule"});
  DriverWindow explorer = ui_.WaitWindow("Explore Schedule - All users");
  explorer.Close();
  ui_.WaitThreadEnded(explorer.Thread());
  for (const char* name :
       {"BrowseHolidays", "BrowseScheduleCategories", "BrowseSchedule", "ExploreSchedule"}) {
    RegisterMainProcedure(name, {});
  }
}

TEST_F(MainFrameTest, TheEndOfTheSessionIsWatchedOnTheFrameAndARestoredFrameComesToTheFront) {
  long session_property = -1;
  services_.steps.after_tick = [&] {
    session_property = CurrentWindow()->NumberedProperty(SYSSHUTDOWNCLASS::kSessionEndProperty);
  };
  DriverWindow frame = StartMain();
  Tick(frame);
  EXPECT_EQ(session_property, 1);

  frame.Post(EVENT_Iconize);
  EXPECT_EQ(frame.Get(Prop::Hide), "1");
  ui_.ClickTray(TrayClick::LeftDouble);
  EXPECT_EQ(frame.Get(Prop::Hide), "0");
  EXPECT_EQ(frame.TimesBroughtToFront(), 1);
}

TEST_F(MainFrameTest, HelpsLinksSayWhyTheDesktopCouldNotOpenThem) {
  test::FakeShellOpener shell;
  shell.result = platform::SHELL_NO_ASSOCIATION;
  TaskRoadServices services = CurrentTaskRoadServices();
  services.shell = &shell;
  ScopedTaskRoadServices scoped(services);
  DriverWindow frame = StartMain();
  frame.Pick({"&Help", "&E-mail for Support"});
  const SeenRequest mail = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(mail.caption, "E-mail for Support");
  EXPECT_EQ(mail.text, "Could not open mailto:support@kestrova.example.\n\n" +
                           platform::ShellOpenFailure(platform::SHELL_NO_ASSOCIATION));
  EXPECT_NE(mail.text.find("xdg-utils"), std::string::npos) << "names what to install";
  frame.Pick({"&Help", "Kestrova Web Site"});
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).caption, "Kestrova Web Site");

  Locked([&] { shell.result = platform::SHELL_OPENED; });
  frame.Pick({"&Help", "Kestrova Web Site"});
  frame.Pick({"&File", "E&xit"});
  ui_.Finish();  // every thread has ended
  EXPECT_EQ(shell.requests.size(), 3u);
  EXPECT_EQ(ui_.Messages().size(), 2u) << "an opened link says nothing";
}

TEST_F(MainFrameTest, TheTrayMenuGreysWhatCannotBeDoneAndExitsTheProgram) {
  StartMain();
  ui_.WaitTray();
  ui_.AnswerPopup(9);  // "E&xit Varnodex"
  ui_.ClickTray(TrayClick::Right);
  ui_.Finish();
  const auto popups = ui_.Requests();
  ASSERT_FALSE(popups.empty());
  const SeenRequest& menu = popups.back();
  EXPECT_EQ(menu.kind, Request::Kind::Popup);
  // Restore is grey while the frame shows, Stop Active Scripts while no script runs.
  EXPECT_NE(menu.text.find("~&Restore"), std::string::npos) << menu.text;
  EXPECT_NE(menu.text.find("~Stop Active Scripts"), std::string::npos) << menu.text;
  EXPECT_NE(menu.text.find("E&xit Varnodex[exit.ico]"), std::string::npos) << menu.text;
}

TEST_F(MainFrameTest, ToolbarAndTrayItemsPressTheMenuItemsTheyStandFor) {
  std::atomic<int> lists{0}, editors{0};
  std::string primed;
  RegisterMainProcedure("BrowseSchedule", [&] { ++lists; });
  RegisterMainProcedure("UpdateSchedule", [&] {
    primed = GLO_PRIMETASKTYPE.str();
    ++editors;
  });
  DriverWindow frame = StartMain();
  // The task list opens at start-up by default; the toolbar's start is the second. Waiting for
  // exactly one list after the press missed it whenever both had started before a look.
  ui_.WaitUntil([&] { return lists == 1; }, "the task list to open at start-up");
  EXPECT_FALSE(frame.Control("Program Wizard").Disabled());
  frame.Control("View Schedule").Press();
  ui_.WaitUntil([&] { return lists == 2; }, "the task list to start from the toolbar");

  // From the tray, the wizard brings the frame back first, then runs as its menu item does.
  frame.Post(EVENT_Iconize);
  ui_.AnswerPopup(2);  // "&Program Wizard"
  ui_.ClickTray(TrayClick::Right);
  ui_.WaitUntil([&] { return editors == 1; }, "the task editor to start from the tray");
  EXPECT_NE(frame.Get(Prop::Hide), "1");
  Locked([&] { EXPECT_EQ(primed, "Run Program"); });
  frame.Pick({"&Actions", "New &Task (Tabbed)"});
  ui_.WaitUntil([&] { return editors == 2; }, "the tabbed task editor to start");
  Locked([&] { EXPECT_EQ(primed, ""); });
  RegisterMainProcedure("BrowseSchedule", {});
  RegisterMainProcedure("UpdateSchedule", {});
}

TEST_F(MainFrameTest, HotKeysCopyTheirTextRestoreTheFrameAndReportUnknownKeys) {
  HOT = SYSHOTKEYS_RECORD{};
  HOT.ID = 1;
  HOT.HotKey = "CtrlShiftA";
  HOT.Active = 1;
  HOT.Action = "Text";
  HOT.TextType = "Copy";  // what the hot-key editor stores: the same as "CopyPaste"
  HOT.Text = "signature text";
  ASSERT_EQ(ACCESS_SYSHOTKEYS->Insert(), 0);
  HOT = SYSHOTKEYS_RECORD{};
  HOT.ID = 2;
  HOT.HotKey = "CtrlShiftB";
  HOT.Active = 1;
  HOT.Action = "Text";
  HOT.TextType = "Shout";
  ASSERT_EQ(ACCESS_SYSHOTKEYS->Insert(), 0);
  ACCESS_SYSHOTKEYS->Close();

  DriverWindow frame = StartMain();
  ui_.WaitUntil([&] { return grabs_.held.size() == 3; }, "WinW and the two stored keys to be held");

  PressKey('A', 6);  // Ctrl+Shift
  ui_.WaitUntil([&] { return ui_.LastClipboardWrite() == "signature text"; },
                "the text on the clipboard");

  PressKey('B', 6);
  const SeenRequest unknown = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(unknown.text, "Unknown Text Automation:  Shout");
  EXPECT_EQ(unknown.caption, "Hot-Key CtrlShiftB Error");

  // Windows key + W brings the frame back from the tray.
  frame.Post(EVENT_Iconize);
  EXPECT_EQ(frame.Get(Prop::Hide), "1");
  PressKey('W', 8);
  ui_.WaitUntil([&] { return frame.Get(Prop::Hide) != "1"; }, "the frame to be restored");

  // A key the table no longer knows: an error naming it, then the keys are loaded again.
  const std::size_t grabs_before = grabs_.grabs.size();
  grabs_.handler(99, 0, 0);
  const SeenRequest missing = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(missing.text, "Error retrieving hot key.");
  EXPECT_EQ(missing.caption.rfind("Unknown: ", 0), 0u) << missing.caption;
  ui_.WaitUntil([&] { return grabs_.grabs.size() > grabs_before; },
                "the hot keys to be loaded again");
}

// Stores an active "Text" hot key.
void AddTextHotKey(std::int32_t id, std::string_view key, std::string_view type,
                   std::string_view text) {
  HOT = SYSHOTKEYS_RECORD{};
  HOT.ID = id;
  HOT.HotKey = key;
  HOT.Active = 1;
  HOT.Action = "Text";
  HOT.TextType = type;
  HOT.Text = text;
  ASSERT_EQ(ACCESS_SYSHOTKEYS->Insert(), 0);
}

TEST_F(MainFrameTest, TypeAndPasteHotKeysHandTheirTextToTheTypingService) {
  AddTextHotKey(1, "CtrlShiftT", "Type", "line one\r\nline two");
  AddTextHotKey(2, "CtrlShiftP", "Paste", "pasted\r\ntext");
  ACCESS_SYSHOTKEYS->Close();
  std::vector<std::pair<std::string, bool>> typed;
  services_.type_text = [&](std::string_view text, bool paste) { typed.emplace_back(text, paste); };

  StartMain();
  ui_.WaitUntil([&] { return grabs_.held.size() == 3; }, "WinW and the two stored keys to be held");
  const auto typed_count = [&] {
    std::size_t n = 0;
    Locked([&] { n = typed.size(); });
    return n;
  };
  PressKey('T', 6);
  ui_.WaitUntil([&] { return typed_count() == 1; }, "the text to be typed");
  PressKey('P', 6);
  ui_.WaitUntil([&] { return typed_count() == 2; }, "the text to be pasted");
  EXPECT_EQ(ui_.LastClipboardWrite(), "pasted\r\ntext");
  Locked([&] {
    EXPECT_EQ(typed[0],
              (std::pair<std::string, bool>{"line one\rline two", false}));  // one CR a line
    EXPECT_EQ(typed[1], (std::pair<std::string, bool>{"pasted\r\ntext", true}));
  });
}

TEST_F(MainFrameTest, WithoutATypingServiceHotKeysTypeOnTheDesktopKeyboard) {
  AddTextHotKey(1, "CtrlShiftT", "Type", "Hi");
  AddTextHotKey(2, "CtrlShiftP", "Paste", "pasted");
  ACCESS_SYSHOTKEYS->Close();
  keyboard_.modifiers_held = 2;  // the user lets go of the hot key's keys a moment late
  keyboard_installed_.emplace(&ProgramServices::script_keyboard, &keyboard_);

  StartMain();
  ui_.WaitUntil([&] { return grabs_.held.size() == 3; }, "WinW and the two stored keys to be held");
  // The events are recorded on Main's thread while it holds the runtime lock.
  const auto events = [&] {
    std::string text;
    Locked([&] { text = keyboard_.Events(); });
    return text;
  };
  PressKey('T', 6);
  ui_.WaitUntil([&] { return events() == "^16 ^17 ^18 ^19 v16 v72 ^72 ^16 v73 ^73"; },
                "Hi to be typed");
  Locked([&] {
    EXPECT_EQ(keyboard_.modifier_checks, 3);
    keyboard_.events.clear();
  });
  PressKey('P', 6);
  ui_.WaitUntil([&] { return events() == "^16 ^17 ^18 ^19 v17 v86 ^86 ^17"; },
                "Ctrl+V to be pressed");
  EXPECT_EQ(ui_.LastClipboardWrite(), "pasted");
}

TEST_F(MainFrameTest, ClosingHidesTheFrameAndExitAsksFirstWhenTheFrameMinimisesOnClose) {
  DriverWindow frame = StartMain();
  Locked([] { MINIMIZEONCLOSEREQUEST = 1; });
  frame.Close();
  EXPECT_EQ(frame.Get(Prop::Hide), "1");
  EXPECT_TRUE(ui_.Running());

  ui_.AnswerMessage(BUTTON_NO);
  frame.Pick({"&File", "E&xit"});
  EXPECT_TRUE(frame.Open());
  const SeenRequest question = ui_.Messages().back();
  EXPECT_EQ(question.text,
            "No tasks will execute while Varnodex is not active.  Are you sure you want to close "
            "Varnodex?");
  EXPECT_EQ(question.caption, "Warning");
  EXPECT_EQ(question.default_button, BUTTON_NO);

  // The scheduler goes on after No.
  trace_.clear();
  Tick(frame);
  EXPECT_FALSE(trace_.empty());

  ui_.AnswerMessage(BUTTON_YES);
  frame.Pick({"&File", "E&xit"});
  ui_.Finish();
  EXPECT_FALSE(ui_.Running());
}

// A database no start has used yet leaves the frame in the tray when it is closed; a choice
// stored before (in the store or the INI file), or a database used before, keeps its value.
TEST_F(MainFrameTest, ANewDatabaseClosesToTheTrayAndAChoiceMadeBeforeIsKept) {
  const struct {
    const char* folder;
    std::function<void()> before;
    std::uint8_t minimise;
  } cases[] = {
      {"new", [] {}, 1},
      {"used",
       [] {
         SetConfigValue("VXV", "vx");
         ACCESS_CONFIGURATION->Close();
       },
       0},
      {"stored",
       [] {
         SetConfigValue("MinimizeOnCloseRequest", "0");
         ACCESS_CONFIGURATION->Close();
       },
       0},
      {"ini", [] { PUTINI("Settings", "MinimizeOnCloseRequest", "0", "vx98.INI"); }, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    std::filesystem::create_directory(root() / c.folder);
    std::filesystem::current_path(root() / c.folder);
    std::filesystem::remove(root() / "config" / "vx98.INI");
    c.before();
    ui_.Start([] { Main(); });
    DriverWindow frame = ui_.WaitWindow(kFrame);
    std::uint8_t minimise = 9;
    Locked([&] { minimise = MINIMIZEONCLOSEREQUEST; });
    EXPECT_EQ(minimise, c.minimise);

    frame.Close();  // the title bar's close
    if (c.minimise != 0) {
      EXPECT_EQ(frame.Get(Prop::Hide), "1");
      EXPECT_TRUE(ui_.Running());
      ui_.AnswerMessage(BUTTON_YES);
      frame.Pick({"&File", "E&xit"});
    }
    ui_.Finish();
    EXPECT_FALSE(ui_.Running());
  }
  // The next start in the new folder reads the value stored for it.
  std::filesystem::current_path(root() / "new");
  EXPECT_EQ(GetConfigValue("MinimizeOnCloseRequest"), "1");
}

TEST_F(MainFrameTest, TheEndOfTheSessionClosesWithoutTheQuestion) {
  DriverWindow frame = StartMain();
  Locked([] { MINIMIZEONCLOSEREQUEST = 1; });
  frame.Post(EVENT_EndSession);
  ui_.Finish();
  EXPECT_TRUE(ui_.Messages().empty());
}

// Options, About and Housekeeping run on Main's own thread, over the frame: the end of the
// session closes the one open as if cancelled, and Main then ends as it always does.
TEST_F(MainFrameTest, TheEndOfTheSessionClosesAWindowOpenOnMainsThreadAndMainEndsCleanly) {
  RegisterProgramWindows();
  const struct {
    std::vector<std::string_view> item;
    std::string_view title;
  } cases[] = {
      {{"&File", "&Options"}, "Options"},
      {{"&Help", "&About"}, "About"},
      {{"&File", "House&keeping"}, "Housekeeping"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.title));
    std::filesystem::remove("VX98Evnt.LOG");
    SetConfigValue("LogEvents", "1");  // kept when Options' Cancel loads the settings again
    DriverWindow frame = StartMain();
    Locked([] { MINIMIZEONCLOSEREQUEST = 1; });  // the end of the session asks nothing
    frame.Pick(c.item);
    const DriverWindow window = ui_.WaitWindow(c.title);
    EXPECT_EQ(window.Thread(), frame.Thread());

    platform::SessionQueryEnd();
    platform::SessionEnd();
    ui_.Finish();
    EXPECT_FALSE(window.Open());
    EXPECT_FALSE(frame.Open());
    EXPECT_TRUE(ui_.Messages().empty());
    const std::string log = Read("VX98Evnt.LOG");
    EXPECT_NE(log.find("Exit Varnodex"), std::string::npos) << log;
  }
}

// File Manager says first that the program closes for it; Cancel keeps everything running,
// OK starts the maintenance program and ends this one without the exit question.
TEST_F(MainFrameTest, BackupStartsItsProgramAndFileManagerAsksThenEndsTheProgramForIt) {
  test::FakeProcessLauncher launcher;
  TaskRoadServices services = CurrentTaskRoadServices();
  services.processes = &launcher;
  services.helper_folder = "/opt/vx/bin";
  ScopedTaskRoadServices scoped(services);
  DriverWindow frame = StartMain();
  Locked([] {
    GLO_USELOG = 1;
    MINIMIZEONCLOSEREQUEST = 1;  // File Manager's own question stands for the exit question
  });

  frame.Pick({"&File", "Backup/Restore"});
  ASSERT_EQ(launcher.requests.size(), 1u);
  EXPECT_EQ(launcher.requests[0].argv,
            (std::vector<std::string>{"/opt/vx/bin/vx-backup", "VX97.TPS"}));
  EXPECT_TRUE(ui_.Running());
  EXPECT_TRUE(ui_.Messages().empty()) << "the backup program asks nothing first";

  frame.Pick({"&File", "Support Tools", "&File Manager"});
  const SeenRequest question = ui_.WaitMessage(BUTTON_CANCEL);
  EXPECT_EQ(question.caption, "File Manager");
  EXPECT_EQ(question.buttons, BUTTON_OK | BUTTON_CANCEL);
  EXPECT_EQ(question.default_button, BUTTON_CANCEL);
  for (const char* said :
       {"Varnodex closes", "no task runs until Varnodex is started again", "\"Start VX\""}) {
    EXPECT_NE(question.text.find(said), std::string::npos) << said << " in:\n" << question.text;
  }
  // Cancel: nothing started, and the scheduler goes on.
  EXPECT_EQ(launcher.requests.size(), 1u);
  trace_.clear();
  Tick(frame);
  EXPECT_FALSE(trace_.empty());
  EXPECT_TRUE(frame.Open());

  // A maintenance program that cannot start is named, and the program goes on.
  Locked([&] { launcher.SetOutcome("/opt/vx/bin/vx-dbase", {.start_error = ENOENT}); });
  ui_.AnswerMessage(BUTTON_OK);
  frame.Pick({"&File", "Support Tools", "&File Manager"});
  const SeenRequest failed = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(failed.text, "Could not start VX_DBASE.EXE.");
  EXPECT_TRUE(frame.Open());

  Locked([&] { launcher.SetOutcome("/opt/vx/bin/vx-dbase", {}); });
  ui_.AnswerMessage(BUTTON_OK);
  frame.Pick({"&File", "Support Tools", "&File Manager"});
  ui_.Finish();
  EXPECT_FALSE(ui_.Running());
  ASSERT_EQ(launcher.requests.size(), 3u);
  EXPECT_EQ(launcher.requests[2].argv, (std::vector<std::string>{"/opt/vx/bin/vx-dbase"}));
  std::vector<std::string> captions;
  for (const SeenRequest& message : ui_.Messages()) captions.push_back(message.caption);
  EXPECT_EQ(captions,
            (std::vector<std::string>{"File Manager", "File Manager", "Error", "File Manager"}))
      << "no question whether to close";
  const std::string log = Read("VX98Evnt.LOG");
  EXPECT_EQ(log.find("Run Program"), std::string::npos) << "the helpers are no tasks:\n" << log;
  EXPECT_NE(log.find("Exit Varnodex"), std::string::npos) << log;
}

// The tick cannot read the task list (its date key damaged on disk): the frame asks once (the
// daily history removal, which walks the same key, adds no box of its own), and Yes starts the
// maintenance program and ends the program for it, without asking whether to close.
TEST_F(MainFrameTest, YesToTheDamagedTaskListStartsTheMaintenanceProgramAndEndsTheProgram) {
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  SCH = SCHEDULE_RECORD{};
  SCH.ID = 1;
  SCH.TaskType = "Run Program";
  SCH.ScheduleType = "Once";
  SCH.Date = TODAY();
  SCH.Time = 1;
  ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  for (const storage::TableDef* table : DictionaryTables()) {
    storage::File& file = storage::File::For(*table);
    while (file.IsOpen()) file.Close();
  }
  ASSERT_TRUE(test::DamageIndex("VX97.TPS", "s!KeyDateEnabled"));
  test::FakeProcessLauncher launcher;
  TaskRoadServices services = CurrentTaskRoadServices();
  services.processes = &launcher;
  services.helper_folder = "/opt/vx/bin";
  ScopedTaskRoadServices scoped(services);
  services_.steps.remove_history = nullptr;  // the frame's own phases, which read the key too
  services_.steps.check_next_task = nullptr;

  DriverWindow frame = StartMain();
  Locked([] {
    MINIMIZEONCLOSEREQUEST = 1;
    HISTORYEXPIRES = 30;  // the history removal of phase 2 runs
    CHECKEDHISTORY = 0;
  });
  ui_.AnswerMessage(BUTTON_YES);
  Tick(frame, 3);
  ui_.Finish();
  std::string asked;
  for (const SeenRequest& message : ui_.Messages())
    asked += message.caption + ": " + message.text + "\n";
  ASSERT_EQ(ui_.Messages().size(), 1u) << "one box, and no question whether to close:\n" << asked;
  EXPECT_EQ(ui_.Messages()[0].caption, "Database Damaged");
  ASSERT_EQ(launcher.requests.size(), 1u);
  EXPECT_EQ(launcher.requests[0].argv, std::vector<std::string>{"/opt/vx/bin/vx-dbase"});
}

// Start-up through the program body: the data folder, the hand-over and the frame.
class ProgramStartTest : public MainFrameTest {};

TEST_F(ProgramStartTest, AnEmptyFolderWithoutAChoiceGetsNewDataInPlace) {
  const std::filesystem::path start = std::filesystem::current_path();
  ui_.AnswerFile("");
  ui_.Start(ProgramBody);
  const SeenRequest notice = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(notice.text, "Application data will be created  Folder: " + start.string());
  EXPECT_EQ(notice.caption, "New Database");
  DriverWindow frame = ui_.WaitWindow(kFrame);
  EXPECT_EQ(ui_.Requests().front().caption, "Select data directory");
  Locked([] { MINIMIZEONCLOSEREQUEST = 0; });
  frame.Pick({"&File", "E&xit"});
  ui_.Finish();
  EXPECT_EQ(std::filesystem::current_path(), start);
  EXPECT_TRUE(std::filesystem::exists(start / "VX97.TPS"));
  EXPECT_FALSE(std::filesystem::exists(start / "PATHS.INI"));
}

TEST_F(ProgramStartTest, PathsIniLeadsToTheDataFolderWithoutAsking) {
  const std::filesystem::path start = std::filesystem::current_path();
  const std::filesystem::path data = start / "data";
  std::filesystem::create_directory(data);
  test::MakeEmptyDatabase(data / "VX97.TPS");
  std::ofstream(start / "PATHS.INI") << "[PATH]\nDATA=" << data.string() << "\n";
  ui_.Start(ProgramBody);
  DriverWindow frame = ui_.WaitWindow(kFrame);
  EXPECT_TRUE(ui_.Requests().empty());
  EXPECT_EQ(std::filesystem::current_path(), data);
  Locked([] { MINIMIZEONCLOSEREQUEST = 0; });
  frame.Pick({"&File", "E&xit"});
  ui_.Finish();
}

// A database file of no bytes is no longer made a new database without a word.
TEST_F(ProgramStartTest, AnEmptyDatabaseFileIsSaidToBecomeANewDatabase) {
  std::ofstream("VX97.TPS").close();
  ui_.Start(ProgramBody);
  const SeenRequest notice = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(notice.caption, "New Database");
  EXPECT_NE(notice.text.find((std::filesystem::current_path() / "VX97.TPS").string() +
                             " is empty (0 bytes)"),
            std::string::npos)
      << notice.text;
  DriverWindow frame = ui_.WaitWindow(kFrame);
  EXPECT_EQ(ui_.Requests().size(), 1u);
  Locked([] { MINIMIZEONCLOSEREQUEST = 0; });
  frame.Pick({"&File", "E&xit"});
  ui_.Finish();
}

// The session ends (SIGTERM) while a question of the start is open: it takes its default, the
// ones after it too, and the program ends without starting the frame or making a database.
TEST_F(ProgramStartTest, TheEndOfTheSessionDuringAStartUpQuestionEndsTheStart) {
  const std::filesystem::path start = std::filesystem::current_path();
  std::ofstream(start / "PATHS.INI") << "[PATH]\nDATA=" << (start / "unmounted").string() << "\n";
  ui_.Start(ProgramBody);
  ui_.WaitUntil([&] { return !ui_.Requests().empty(); }, "the missing folder is named");
  EXPECT_EQ(ui_.Requests().front().caption, "Data Folder Missing");
  platform::SessionQueryEnd();
  platform::SessionEnd();
  ui_.Finish();
  EXPECT_FALSE(ui_.Running());
  // The frame would have made the database.
  EXPECT_FALSE(std::filesystem::exists(start / "VX97.TPS"));
  EXPECT_FALSE(std::filesystem::exists(start / "POSITION.INI"));
}

// Once the frame watches the session, the start-up watch has gone: an end of the session that
// came before the frame's watch still closes the frame.
TEST_F(ProgramStartTest, TheEndOfTheSessionBeforeTheFrameWatchesClosesTheFrame) {
  test::MakeEmptyDatabase("VX97.TPS");
  WatchStartUpSession();
  platform::SessionEnd();
  ui_.Start([] { Main(); });
  ui_.Finish();
  EXPECT_FALSE(ui_.Running());
  EXPECT_FALSE(StartUpSessionEnded());
}

// The data library's managers outlive every window: the list's and the form's Kill run on their
// own thread after Main has returned, before the library is killed.
TEST_F(ProgramStartTest, ExitWithListsAndAFormOpenClosesThemBeforeTheDataLibraryGoes) {
  test::MakeEmptyDatabase("VX97.TPS");
  VX_Files_Unload();  // as in the real program, the body loads the data library and unloads it
  ui_.Start(ProgramBody);
  DriverWindow frame = ui_.WaitWindow(kFrame);
  Locked([] { MINIMIZEONCLOSEREQUEST = 0; });
  frame.Pick({"&File", "&Holidays"});
  ui_.WaitWindow("Holidays").Control("New").Press();
  const DriverWindow form = ui_.WaitWindow("New Holiday");
  frame.Pick({"&File", "&Task Categories"});
  const DriverWindow categories = ui_.WaitWindow("Task Categories");
  frame.Pick({"&File", "E&xit"});
  ui_.Finish();
  EXPECT_FALSE(form.Open());
  EXPECT_FALSE(categories.Open());
}

// A data folder every user may write to is named once at start, with what to do; the program
// goes on in it.
TEST_F(ProgramStartTest, ADataFolderOthersCanWriteToIsNamedOnceAtStart) {
  const std::filesystem::path shared = std::filesystem::current_path() / "shared";
  std::filesystem::create_directory(shared);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  ui_.AnswerFile(shared.string());
  ui_.Start(ProgramBody);
  const SeenRequest warning = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(warning.caption, "Data Folder Open to Others");
  EXPECT_NE(warning.text.find(shared.string()), std::string::npos) << warning.text;
  EXPECT_NE(warning.text.find("chmod o-w"), std::string::npos) << warning.text;
  DriverWindow frame = ui_.WaitWindow(kFrame);
  EXPECT_EQ(std::filesystem::current_path(), shared);
  Locked([] { MINIMIZEONCLOSEREQUEST = 0; });
  frame.Pick({"&File", "E&xit"});
  ui_.Finish();
  EXPECT_EQ(ui_.Messages().size(), 1u);

  // A folder of its owner's alone says nothing.
  ASSERT_EQ(::chmod(shared.c_str(), 0755), 0);
  EXPECT_FALSE(OpenToOthers(shared));
  ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
  EXPECT_TRUE(OpenToOthers(shared));
}

TEST_F(ProgramStartTest, AChosenFolderIsWrittenToPathsIniAndUsed) {
  const std::filesystem::path start = std::filesystem::current_path();
  const std::filesystem::path chosen = start / "chosen";
  std::filesystem::create_directory(chosen);
  ui_.AnswerFile(chosen.string());
  ui_.Start(ProgramBody);
  DriverWindow frame = ui_.WaitWindow(kFrame);
  EXPECT_EQ(std::filesystem::current_path(), chosen);
  Locked([] { MINIMIZEONCLOSEREQUEST = 0; });
  frame.Pick({"&File", "E&xit"});
  ui_.Finish();
  std::ifstream paths(start / "PATHS.INI");
  const std::string text((std::istreambuf_iterator<char>(paths)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("DATA=" + chosen.string()), std::string::npos) << text;
}

// A folder whose connection file names a database server starts on the server's tables:
// nothing is asked, no database file is made in the folder, and the tables are the server's.
TEST_F(ProgramStartTest, AFolderThatNamesAServerStartsOnTheServersTables) {
  test::LocalPgCluster* cluster = test::LocalPgCluster::Get();
  ASSERT_NE(cluster, nullptr);
  const std::string database = test::LocalPgCluster::Name("vx_start");
  ASSERT_TRUE(cluster->FreshDatabase(database));
  std::ofstream(kServerFile) << "[Server]\nHost=127.0.0.1\nPort=" << cluster->port()
                             << "\nDatabase=" << database
                             << "\nUser=vx_admin\nPassword=" << cluster->admin_password() << "\n";
  ASSERT_EQ(::chmod(kServerFile, 0600), 0);
  ui_.Start(ProgramBody);
  DriverWindow frame = ui_.WaitWindow(kFrame);
  EXPECT_TRUE(ui_.Requests().empty());
  Locked([] { MINIMIZEONCLOSEREQUEST = 0; });
  frame.Pick({"&File", "E&xit"});
  ui_.Finish();
  EXPECT_EQ(storage::InstalledTableStore(), nullptr);
  EXPECT_FALSE(std::filesystem::exists("VX97.TPS"));
  EXPECT_EQ(cluster->Scalar("SELECT count(*) FROM vx_tables WHERE name = 'VX97!S'", database), "1");
  EXPECT_EQ(cluster->Admin("DROP DATABASE \"" + database + "\" WITH (FORCE)"), "");
}

}  // namespace
}  // namespace vx
