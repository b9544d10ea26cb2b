#include "framework/window_manager.h"

#include <gtest/gtest.h>

#include "framework/ini_store.h"
#include "framework/popup_class.h"
#include "framework/toolbar_class.h"
#include "framework/window_position.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/test_driver.h"
#include "runtime/window/tray_icon.h"

namespace vx {
namespace {

constexpr int EVENT_Hello = EVENT_User + 10;

// A list window of its own thread: greets the frame when it opens and counts refreshes.
void ListWindow(long frame_thread) {
  Window window("Task List");
  auto& refreshed = window.String("0");
  struct ThisWindow : WindowManager {
    ThisWindow(Window& w, long frame, Control& counter) : WindowManager(w), frame_(frame), counter_(counter) {}
    Level TakeWindowEvent() override {
      if (EVENT() == EVENT_OpenWindow) POST(EVENT_Hello, 0, frame_);
      return WindowManager::TakeWindowEvent();
    }
    Level TakeEvent() override {
      if (EVENT() == EVENT_RefreshSchedule) counter_.SetText(std::to_string(std::stol(counter_.TextValue()) + 1));
      return WindowManager::TakeEvent();
    }
    long frame_;
    Control& counter_;
  } manager(window, frame_thread, refreshed);
  manager.Run();
}

// A frame with a menu, a toolbar button, a status bar, a timer and a tray icon.
struct Frame {
  IniStore& positions;
  long list_thread = 0;
  int ticks = 0;
  bool real_exit = false;

  void operator()() {
    Window window("Frame");
    window.Status(3, "ready");
    auto& file = window.Menubar().Menu("&File");
    auto& exit = file.Item("E&xit").Key("Alt+X");
    auto& lists = window.Menubar().Menu("&Lists");
    auto& tasks = lists.Item("&Scheduled Tasks").Key("Ctrl+S");
    auto& refresh = window.Toolbar().Button("Refresh");
    auto& hidden_refresh = window.Button("Refresh all").Hide();
    TrayIcon tray;

    struct ThisWindow : WindowManager {
      ThisWindow(Window& w, Frame& f) : WindowManager(w), frame(f) {}
      Frame& frame;
      Control* exit = nullptr;
      Control* tasks = nullptr;
      Control* hidden_refresh = nullptr;
      TrayIcon* tray = nullptr;
      ToolbarClass toolbar;

      Level Init() override {
        const Level rv = WindowManager::Init();
        toolbar.Init(window());
        AddItem(toolbar);
        FetchWindowPlace(frame.positions, "Main", window());
        return rv;
      }
      Level Kill() override {
        SaveWindowPlace(frame.positions, "Main", window());
        return WindowManager::Kill();
      }
      Level TakeWindowEvent() override {
        switch (EVENT()) {
          case EVENT_OpenWindow:
            window().Timer(1);
            tray->Add("tray_ico", "Frame", EVENT_TrayLeftClick, EVENT_TrayRightClick, EVENT_TrayLeftDoubleClick, 0);
            break;
          case EVENT_Timer:
            window().Status(2, std::to_string(++frame.ticks));
            if (frame.ticks == 3) window().Timer(0);
            break;
          case EVENT_TrayLeftDoubleClick:
            window().Set(Prop::Iconize, false);
            break;
          case EVENT_CloseWindow:
            if (!frame.real_exit) {
              window().Set(Prop::Iconize, true);
              return Level_Notify;  // closing only hides the frame until Exit is confirmed
            }
            break;
          case EVENT_Hello:
            window().Status(3, "list " + std::to_string(frame.list_thread) + " open");
            break;
          default:
            break;
        }
        return WindowManager::TakeWindowEvent();
      }
      Level TakeAccepted() override {
        if (ACCEPTED() == *tasks) {
          frame.list_thread = START([f = THREAD()] { ListWindow(f); }, 25000);
          YIELD();
        } else if (ACCEPTED() == *hidden_refresh) {
          POST(EVENT_RefreshSchedule, 0, frame.list_thread);
        } else if (ACCEPTED() == *exit) {
          const int answer = MESSAGE("Are you sure you want to close?", "Warning", ICON_Information,
                                     BUTTON_YES + BUTTON_NO, BUTTON_NO);
          if (answer != BUTTON_YES) return Level_Notify;
          frame.real_exit = true;
          PostClose();
        }
        return WindowManager::TakeAccepted();
      }
    } manager(window, *this);
    manager.exit = &exit;
    manager.tasks = &tasks;
    manager.hidden_refresh = &hidden_refresh;
    manager.tray = &tray;
    manager.toolbar.AddTarget(refresh, hidden_refresh);
    manager.Run();
  }
};

TEST(WindowManager, AFrameAndAListOnTwoThreadsTalkByPostedEvents) {
  MemoryIniStore positions;
  Frame frame{positions};
  TestDriver ui;
  ui.Start(std::ref(frame));
  auto main = ui.WaitWindow("Frame");
  EXPECT_EQ(main.Thread(), 1);

  main.Pick({"&Lists", "Scheduled Tasks"});
  auto list = ui.WaitWindow("Task List");
  EXPECT_EQ(list.Thread(), 2);
  ui.WaitUntil([&] { return main.Status(3) == "list 2 open"; }, "the list's greeting");

  // The toolbar button stands for the hidden button, which posts a refresh to the list thread.
  main.Control("Refresh").Press();
  main.Control("Refresh").Press();
  ui.WaitUntil([&] { return list.ControlNumber(1).Text() == "2"; }, "two refreshes");

  // Exit asks; No keeps everything running.
  main.Pick({"File", "Exit"});
  EXPECT_EQ(ui.WaitMessage(BUTTON_NO).default_button, BUTTON_NO);
  EXPECT_TRUE(main.Open());
  // The close box only iconises; the tray brings the frame back.
  main.Close();
  EXPECT_EQ(main.Get(Prop::Iconize), "1");
  ui.ClickTray(TrayClick::LeftDouble);
  EXPECT_EQ(main.Get(Prop::Iconize), "0");

  ui.AnswerMessage(BUTTON_YES);
  main.Pick({"File", "Exit"});
  ui.WaitClosed(main);
  ui.Finish();  // the list thread was closed down with the frame
  EXPECT_FALSE(list.Open());
}

TEST(WindowManager, TimerTicksComeUntilTheTimerIsStopped) {
  MemoryIniStore positions;
  Frame frame{positions};
  frame.real_exit = true;
  TestDriver ui;
  ui.Start(std::ref(frame));
  auto main = ui.WaitWindow("Frame");
  ui.WaitUntil([&] { return main.Status(2) == "3"; }, "three ticks");
  EXPECT_EQ(ui.WaitTray().tip, "Frame");
  main.Close();
  ui.Finish();
  EXPECT_EQ(frame.ticks, 3);
}

TEST(WindowManager, AWindowOpensWhereItWasLeftUnlessItWasIconised) {
  MemoryIniStore positions;
  Frame frame{positions};
  frame.real_exit = true;
  {
    TestDriver ui;
    ui.Start(std::ref(frame));
    auto main = ui.WaitWindow("Frame");
    main.Move(10, 20, 300, 200);
    main.Close();
    ui.Finish();
  }
  EXPECT_EQ(positions.Get("Main", "Width", ""), "300");
  {
    TestDriver ui;
    ui.Start(std::ref(frame));
    auto main = ui.WaitWindow("Frame");
    EXPECT_EQ(main.Get(Prop::X), "10");
    EXPECT_EQ(main.Get(Prop::Height), "200");
    main.Move(50, 60, 400, 300);
    main.Iconize();
    main.Close();
    ui.Finish();
  }
  EXPECT_EQ(positions.Get("Main", "XPos", ""), "10");
}

TEST(WindowManager, PopupItemsFollowTheButtonsTheyStandFor) {
  TestDriver ui;
  std::string chosen;
  int accepted = 0;
  ui.Start([&] {
    Window window("Popup");
    auto& edit = window.Button("&Edit");
    auto& remove = window.Button("&Delete").Disable();
    auto& hidden = window.Button("&Query").Hide();
    auto& show = window.Button("Show");
    PopupClass popup;
    popup.Init(window);
    popup.AddItemMimic("Edit", edit);
    popup.AddItemMimic("Delete", remove);
    popup.AddItem("-");
    popup.AddItemMimic("Query", hidden);
    popup.AddItem("Show &All", "ShowAll");
    popup.SetItemCheck("ShowAll", true);
    while (window.Accept()) {
      if (ACCEPTED() == show) chosen = popup.Ask();
      if (ACCEPTED() == edit) {
        ++accepted;
        break;
      }
    }
  });
  auto w = ui.WaitWindow("Popup");
  ui.AnswerPopup(3);
  w.Control("Show").Press();
  EXPECT_EQ(ui.Requests().back().text, "&Edit|~&Delete|-|+Show &All");
  EXPECT_EQ(chosen, "ShowAll");
  ui.AnswerPopup(1);
  w.Control("Show").Press();
  ui.WaitClosed(w);
  ui.Finish();
  EXPECT_EQ(chosen, "Edit");
  EXPECT_EQ(accepted, 1);
}

}  // namespace
}  // namespace vx
