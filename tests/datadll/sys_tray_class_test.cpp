#include "datadll/utility/sys_tray_class.h"

#include <gtest/gtest.h>

#include <map>

#include "runtime/events.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"
#include "tests/platform/tray_host_helpers.h"
#include "tests/platform/x11_test_display.h"

namespace vx {
namespace {

TEST(TrayClass, IconNamesTakeTheLinkedResourceForm) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"busykey.ico", "busykey_ico"},
      {"busykey.ico   ", "busykey_ico"},
      {"tray_ico", "tray_ico"},
      {"a.ico", "a_ico"},
      {".ico", ".ico"},
      {"x.icon", "x.icon"},
      {"ab.c.ico", "ab.c_ico"},
      {"", ""},
      {"ico", "ico"},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertIconName(c.in), c.out) << c.in;
}

// A window link whose properties and posts the test can see.
struct FakeWindow {
  std::map<Prop, long> props;
  std::vector<int> posted;
  int to_front = 0;
  WindowLink Link() {
    WindowLink link;
    link.post = [this](int e) { posted.push_back(e); };
    link.get = [this](Prop p) { return props[p]; };
    link.set = [this](Prop p, long v) { props[p] = v; };
    link.to_front = [this] { ++to_front; };
    return link;
  }
};

TEST(TrayClass, TheTrayShowsATipCutTo63CharactersWhileTheWholeTipIsKept) {
  const std::string tip = "Next: " + std::string(70, 'x');
  const std::string accented =
      std::string(62, 'a') + "\xC3\xA9" + "b";  // a two-byte character at 63
  TestDriver ui;
  SYSTRAYCLASS tray;
  FakeWindow window;
  ui.Start([&] { tray.INIT(window.Link(), 99, tip, "busykey.ico", 1, 0); });
  ui.Finish();
  DriverTray shown = ui.WaitTray();
  EXPECT_EQ(shown.icon, "busykey_ico");
  EXPECT_EQ(shown.tip, tip.substr(0, 63));
  EXPECT_EQ(tray.GETTIP(), tip);
  EXPECT_EQ(tray.GETICON(), "busykey_ico");
  EXPECT_EQ(tray.NotifyIcon.flags, 7u);
  EXPECT_EQ(tray.NotifyIcon.id, 99);
  EXPECT_EQ(tray.NotifyIcon.callback_message, 1088);

  ui.Start([&] {
    EXPECT_EQ(tray.CHANGETIP(tip + "   "), 1);
    EXPECT_EQ(tray.NotifyIcon.flags, 7u) << "the same tip with always-refresh off: no call";
    EXPECT_EQ(tray.CHANGETIP(accented), 1);
    EXPECT_EQ(tray.NotifyIcon.flags, 4u);
    EXPECT_EQ(tray.CHANGEICON("idle.ico"), 1);
    EXPECT_EQ(tray.NotifyIcon.flags, 2u);
  });
  ui.Finish();
  shown = ui.WaitTray();
  EXPECT_EQ(shown.tip, std::string(62, 'a')) << "the cut never splits a character";
  EXPECT_EQ(shown.icon, "idle_ico");

  ui.Start([&] { tray.KILL(); });
  ui.Finish();
  EXPECT_EQ(ui.Requests().size(), 0u);
}

TEST(TrayClass, AddingTheIconAnswersWhetherAFrontEndShowsIt) {
  int headless = -1, shown = -1;
  RunProgram([&] {
    SYSTRAYCLASS tray;
    headless = tray.ADDICON("Varnodex", "tray_ico");
    tray.DELETEICON();
  });
  TestDriver ui;
  ui.Start([&] {
    SYSTRAYCLASS tray;
    shown = tray.ADDICON("Varnodex", "tray_ico");
    tray.DELETEICON();
  });
  ui.Finish();
  EXPECT_EQ(headless, 0) << "nothing shows the icon";
  EXPECT_EQ(shown, 1);
}

TEST(TrayClass, ClicksOnTheIconReachTheWindowsThread) {
  TestDriver ui;
  std::vector<int> taken;
  ui.Start([&] {
    Window frame("Frame");
    frame.Open();
    SYSTRAYCLASS tray;
    tray.INIT(7, "Varnodex", "tray_ico", 0, 0);
    while (frame.Accept()) {
      if (EVENT() >= EVENT_TrayLeftClick && EVENT() <= EVENT_TrayRightDoubleClick)
        taken.push_back(EVENT());
      if (EVENT() == EVENT_TrayRightDoubleClick) break;
    }
    tray.KILL();
  });
  ui.WaitTray();
  ui.ClickTray(TrayClick::Left);
  ui.ClickTray(TrayClick::LeftDouble);
  ui.ClickTray(TrayClick::Right);
  ui.ClickTray(TrayClick::RightDouble);
  ui.Finish();
  EXPECT_EQ(taken, (std::vector<int>{EVENT_TrayLeftClick, EVENT_TrayLeftDoubleClick,
                                     EVENT_TrayRightClick, EVENT_TrayRightDoubleClick}));
}

TEST(TrayClass, MinimisingIntoTheTrayHidesAndRestoringShows) {
  FakeWindow window;
  SYSTRAYCLASS tray;
  tray.INIT(window.Link(), 1, "tip", "tray_ico", 0, 0);
  EXPECT_TRUE(tray.MinimiseHandlersRegistered());

  window.props[Prop::Iconize] = 1;
  EXPECT_TRUE(tray.TakeMinimiseEvent(EVENT_Iconized));
  EXPECT_EQ(window.props[Prop::Iconize], 0);
  EXPECT_EQ(window.props[Prop::Hide], 1);
  EXPECT_TRUE(tray.TakeMinimiseEvent(EVENT_Restore));
  EXPECT_EQ(window.props[Prop::Hide], 0);
  EXPECT_EQ(window.to_front, 1);
  EXPECT_FALSE(tray.TakeMinimiseEvent(EVENT_Timer));

  tray.ALLOWMINIMIZE();
  EXPECT_FALSE(tray.MinimiseHandlersRegistered());
  EXPECT_EQ(tray.MinimiseAllowed, 1);
  tray.ALLOWMINIMIZE();  // already allowed: nothing to undo
  EXPECT_FALSE(tray.TakeMinimiseEvent(EVENT_Iconize)) << "the window minimises normally";
  tray.DISALLOWMINIMIZE();
  EXPECT_TRUE(tray.TakeMinimiseEvent(EVENT_Iconize));

  tray.TAKETRAYLEFTCLICK();
  tray.TAKETRAYLEFTDOUBLECLICK();
  tray.TAKETRAYRIGHTCLICK();
  EXPECT_EQ(window.posted, (std::vector<int>{EVENT_TrayLeftClick, EVENT_TrayLeftDoubleClick,
                                             EVENT_TrayRightClick}));
  tray.KILL();
  EXPECT_FALSE(tray.MinimiseHandlersRegistered());

  SYSTRAYCLASS off;
  off.INIT(window.Link(), 2, "tip", "tray_ico", 0, 1);
  EXPECT_FALSE(off.MinimiseHandlersRegistered()) << "events off: minimising is never taken over";
  off.DISALLOWMINIMIZE();
  EXPECT_FALSE(off.MinimiseHandlersRegistered());
  off.KILL();
}

TEST(TrayClass, ATrayHostStartingAgainAsksTheWindowToAddTheIcon) {
  VX_REQUIRE_DISPLAY();
  test::Inbox<int> posted;
  WindowLink link;
  link.post = [&](int e) { posted.Put(e); };
  SYSTRAYCLASS tray;
  tray.INIT(link, 1, "tip", "tray_ico", 1, 0);

  ASSERT_TRUE(test::AnnounceTrayHost());
  const auto got = posted.WaitFor(1, std::chrono::seconds(5));
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got[0], EVENT_TrayRecreate);
  tray.KILL();
}

}  // namespace
}  // namespace vx
