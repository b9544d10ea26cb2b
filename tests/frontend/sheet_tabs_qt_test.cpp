// A sheet of many tabs in the Qt front end: with ScrollTabs on, its tabs keep to one row that
// scrolls with the buttons at its end and the window stays as wide as the pages need; with it
// off, every tab is shown whole and the sheet is as wide as all of them.
#include <gtest/gtest.h>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <string>

#include "runtime/window/window.h"
#include "tests/frontend/qt_test_support.h"

namespace vx {
namespace {

using namespace vx::test;

void SheetWindow(const char* title, bool scrolls) {
  Window window(title);
  Control& sheet = window.Sheet().Set(Prop::ScrollTabs, scrolls);
  for (int n = 1; n <= 9; ++n) {
    Control& page = sheet.Tab("Page number " + std::to_string(n));
    page.Prompt("Nothing on page " + std::to_string(n));
  }
  const int close = window.Button("Close");
  while (window.Accept() && ACCEPTED() != close) {
  }
}

void BothSheets() {
  SheetWindow("Scrolling Tabs", true);
  SheetWindow("Whole Tabs", false);
}

TEST(SheetTabsQt, ScrollingTabsKeepToOneRowWholeTabsWidenTheSheet) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(BothSheets, [&] {
    for (const bool scrolls : {true, false}) {
      qt::QtWindow* window = WaitShown(scrolls ? "Scrolling Tabs" : "Whole Tabs");
      ASSERT_NE(window, nullptr);
      bool uses_buttons = !scrolls, arrows_shown = !scrolls;
      int sheet_width = 0, tabs_width = 0, screen_width = 0;
      OnGui([&] {
        auto* tabs = window->findChild<QTabWidget*>();
        ASSERT_NE(tabs, nullptr);
        uses_buttons = tabs->tabBar()->usesScrollButtons();
        arrows_shown = false;
        for (QToolButton* b : tabs->tabBar()->findChildren<QToolButton*>())
          arrows_shown = arrows_shown || b->isVisible();
        sheet_width = tabs->width();
        tabs_width = tabs->tabBar()->sizeHint().width();
        screen_width = window->screen()->availableGeometry().width();
      });
      EXPECT_EQ(uses_buttons, scrolls);
      EXPECT_EQ(arrows_shown, scrolls) << "the row of tabs scrolls";
      if (scrolls) {
        EXPECT_LT(sheet_width, tabs_width) << "the window did not widen for the tabs";
      } else if (tabs_width < screen_width) {
        EXPECT_GE(sheet_width, tabs_width) << "every tab is shown whole";
      }
      OnGui([&] { window->close(); });
    }
  });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace vx
