#include "framework/window_manager.h"

#include <gtest/gtest.h>

#include <functional>

#include "framework/popup_class.h"
#include "framework/toolbar_class.h"
#include "framework/window_position.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/tray_icon.h"
#include "support/temp_folder.h"
#include "support/test_driver.h"

namespace vx {
namespace {

constexpr int EVENT_Hello = EVENT_User + 10;

// A list window of its own thread: greets the frame when it opens and counts refreshes.
void ListWindow(long frame_thread) {
  Window window("Task List");
  auto& refreshed = window.String("0");
  WindowManager manager(window);
  manager.On(EVENT_OpenWindow, [&] { POST(EVENT_Hello, 0, frame_thread); });
  manager.On(EVENT_RefreshSchedule,
             [&] { refreshed.SetText(std::to_string(std::stol(refreshed.TextValue()) + 1)); });
  manager.Run();
}

// A frame with a menu, a toolbar button, a status bar, a timer and a tray icon, written the way
// window procedures are: controls first, then what each event does.
struct Frame {
  IniFile& positions;
  long list_thread = 0;
  int ticks = 0;
  bool real_exit = false;

  void operator()() {
    Window window("Frame");
    window.Status(3, "ready");
    auto& exit = window.Menubar().Menu("&File").Item("E&xit").Key("Alt+X");
    auto& tasks = window.Menubar().Menu("&Lists").Item("&Scheduled Tasks").Key("Ctrl+S");
    auto& refresh = window.Toolbar().Button("Refresh");
    auto& refresh_all = window.Button("Refresh all").Hide();
    TrayIcon tray;
    ToolbarClass toolbar;

    struct ThisWindow : WindowManager {
      ThisWindow(Window& w, Frame& f) : WindowManager(w), frame(f) {}
      Frame& frame;
      Level Init() override {
        FetchWindowPlace(frame.positions, "Main", window());
        return WindowManager::Init();
      }
      Level Kill() override {
        SaveWindowPlace(frame.positions, "Main", window());
        return WindowManager::Kill();
      }
    } manager(window, *this);
    toolbar.Init(window);
    toolbar.AddTarget(refresh, refresh_all);
    manager.AddItem(toolbar);

    manager.On(EVENT_OpenWindow, [&] {
      window.Timer(1);
      tray.Add("tray_ico", "Frame", EVENT_TrayLeftClick, EVENT_TrayRightClick,
               EVENT_TrayLeftDoubleClick, 0);
    });
    manager.On(EVENT_Timer, [&] {
      window.Status(2, std::to_string(++ticks));
      if (ticks == 3) window.Timer(0);
    });
    manager.On(EVENT_TrayLeftDoubleClick, [&] { window.Set(Prop::Iconize, false); });
    manager.On(EVENT_CloseWindow, [&] {
      if (real_exit) return Level_Benign;
      window.Set(Prop::Iconize, true);  // closing only hides the frame until Exit is confirmed
      return Level_Notify;
    });
    manager.On(EVENT_Hello,
               [&] { window.Status(3, "list " + std::to_string(list_thread) + " open"); });
    manager.OnAccepted(tasks, [&] {
      list_thread = START([f = THREAD()] { ListWindow(f); }, 25000);
      YIELD();
    });
    manager.OnAccepted(refresh_all, [&] { POST(EVENT_RefreshSchedule, 0, list_thread); });
    manager.OnAccepted(exit, [&] {
      const unsigned answer = MESSAGE("Are you sure you want to close?", "Warning",
                                      MessageIcon::Information, BUTTON_YES + BUTTON_NO, BUTTON_NO);
      if (answer != BUTTON_YES) return Level_Notify;
      real_exit = true;
      manager.PostClose();
      return Level_Benign;
    });
    manager.Run();
  }
};

TEST(WindowManager, AFrameAndAListOnTwoThreadsTalkByPostedEvents) {
  test::TempFolder folder;
  IniFile positions = IniFile::AtPath(folder / "POSITION.INI");
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

// Runs the frame with Exit allowed, lets a test act on it, then closes it.
class FrameRun : public ::testing::Test {
 protected:
  void RunFrame(const std::function<void(TestDriver&, DriverWindow&)>& act) {
    frame.real_exit = true;
    TestDriver ui;
    ui.Start(std::ref(frame));
    auto main = ui.WaitWindow("Frame");
    act(ui, main);
    main.Close();
    ui.Finish();
  }
  test::TempFolder folder;
  IniFile positions = IniFile::AtPath(folder / "POSITION.INI");
  Frame frame{positions};
};

TEST_F(FrameRun, TimerTicksComeUntilTheTimerIsStopped) {
  RunFrame([](TestDriver& ui, DriverWindow& main) {
    ui.WaitUntil([&] { return main.Status(2) == "3"; }, "three ticks");
    EXPECT_EQ(ui.WaitTray().tip, "Frame");
  });
  EXPECT_EQ(frame.ticks, 3);
}

TEST_F(FrameRun, AWindowOpensWhereItWasLeftUnlessItWasIconised) {
  RunFrame([](TestDriver&, DriverWindow& main) { main.Move(10, 20, 300, 200); });
  EXPECT_EQ(positions.Get("Main", "Width", ""), "300");
  RunFrame([](TestDriver&, DriverWindow& main) {
    EXPECT_EQ(main.Get(Prop::X), "10");
    EXPECT_EQ(main.Get(Prop::Height), "200");
    main.Move(50, 60, 400, 300);
    main.Iconize();
  });
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
    popup.SetIcon("Delete", "cut.ico");
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
  EXPECT_EQ(ui.Requests().back().text, "&Edit|~&Delete[cut.ico]|-|+Show &All");
  EXPECT_EQ(chosen, "ShowAll");
  ui.AnswerPopup(1);
  w.Control("Show").Press();
  ui.WaitClosed(w);
  ui.Finish();
  EXPECT_EQ(chosen, "Edit");
  EXPECT_EQ(accepted, 1);
}

// Whether a popup offers nothing is answered without making its text, and the same way; the
// names the items are given default from their texts, a separator's from its place.
TEST(WindowManager, APopupIsEmptyExactlyWhenItsMenuTextIs) {
  TestDriver ui;
  std::vector<std::pair<std::string, bool>> seen;
  std::vector<std::string> names;
  ui.Start([&] {
    Window window("Popup");
    auto& hidden = window.Button("&Query").Hide();
    auto& blank = window.Button("");
    auto& greyed = window.Button("").Disable();
    const std::vector<std::function<void(PopupClass&)>> cases = {
        [](PopupClass&) {},
        [&](PopupClass& p) { p.AddItemMimic("Query", hidden); },
        [](PopupClass& p) { p.AddItem("", "Blank"); },
        [&](PopupClass& p) { p.AddItemMimic("Blank", blank); },
        [&](PopupClass& p) { p.AddItemMimic("Greyed", greyed); },
        [](PopupClass& p) {
          p.AddItem("", "Blank");
          p.SetItemEnable("Blank", false);
        },
        [](PopupClass& p) {
          p.AddItem("", "Blank");
          p.SetItemCheck("Blank", true);
        },
        [](PopupClass& p) {
          p.AddItem("", "Blank");
          p.SetIcon("Blank", "cut.ico");
        },
        [](PopupClass& p) { p.AddSubMenu("", "Sub"); },
        [](PopupClass& p) { p.AddItem("-"); },
        [](PopupClass& p) {
          p.AddItem("", "One");
          p.AddItem("", "Two");
        },
        [&](PopupClass& p) {
          p.AddItemMimic("Query", hidden);
          p.AddItemAt("", "Deep", 3);
        },
    };
    for (const auto& make : cases) {
      PopupClass popup;
      popup.Init(window);
      make(popup);
      seen.emplace_back(popup.MenuText(), popup.MenuTextEmpty());
    }
    PopupClass popup;
    names = {popup.AddItem("&Print All..."),   popup.AddItem("-"),
             popup.AddItemAt("-", "", 2),      popup.AddItemEvent("Sort on", "", 1068, 1, 2),
             popup.AddSubMenu("&List", "", 1), popup.AddItem("-", "Bar")};
  });
  ui.Finish();
  for (const auto& [text, empty] : seen) EXPECT_EQ(empty, text.empty()) << "\"" << text << "\"";
  EXPECT_EQ(names, (std::vector<std::string>{"PrintAll", "Separator1", "Separator2", "Sorton",
                                             "List", "Bar"}));
}

}  // namespace
}  // namespace vx
