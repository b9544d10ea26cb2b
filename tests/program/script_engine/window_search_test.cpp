// The window lists and the title search, on a desktop of listed windows.
#include "program/script_engine/window_search.h"
#include "program/common/program_services.h"

#include <gtest/gtest.h>
#include <optional>

#include <string>

#include "datadll/dictionary/globals.h"
#include "tests/fakes/fake_desktop_windows.h"

namespace vx {
namespace {

class WindowSearchTest : public ::testing::Test {
 protected:
  WindowSearchTest() {
    installed_.emplace(&ProgramServices::script_desktop, &desktop_);
    GLO_EXCLUDEHIDDENWINDOWS = 0;
  }
  ~WindowSearchTest() override {
    installed_.reset();
    GLO_EXCLUDEHIDDENWINDOWS = 0;
    TopWindowList.Free();
    ChildWindowList.Free();
  }

  test::FakeDesktopWindows desktop_;
  std::optional<ScopedProgramServices> installed_;
};

TEST_F(WindowSearchTest, TitlePatternsMatchExactlyOrAroundTheStarIgnoringCase) {
  desktop_.Add(11, "Untitled - Notepad");
  desktop_.Add(12, "Calculator");
  desktop_.Add(13, "Inbox - Mail");
  const struct {
    const char* pattern;
    std::int32_t found;
  } cases[] = {
      {"UNTITLED - NOTEPAD", 11},
      {"calculator   ", 12},
      {"~Calculator", 12},
      {"Calc", 0},
      {"*notepad   ", 11},
      {"*MAIL", 13},
      {"*tled - N", 11},
      {"Inbox*", 13},
      {"INBOX*whatever", 13},
      {"Inbox - Mail and more*", 0},
      {"*", 11},
      {"", 0},
      {"~", 0},
      {"*Nowhere", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindWindowByTitle("", c.pattern), c.found) << "for: [" << c.pattern << "]";
}

TEST_F(WindowSearchTest, AContentsTextPassesOverTitleMatchesWithoutAChildHoldingIt) {
  desktop_.Add(21, "Editor");
  desktop_.Add(22, "Editor");
  desktop_.children[21] = {{31, "Save", "Button", true}};
  desktop_.children[22] = {{41, "", "Pane", true}, {42, "Open File", "Static", true}};
  EXPECT_EQ(FindWindowByTitle("open", "Editor"), 22);
  EXPECT_EQ(FindWindowByTitle("SAVE", "edit*"), 21);
  EXPECT_EQ(FindWindowByTitle("Print", "Editor"), 0);
  EXPECT_EQ(FindWindowByTitle("   ", "Editor"), 21);  // a blank contents field asks for nothing
  EXPECT_EQ(desktop_.child_listings, (std::vector<unsigned long>{21, 22, 21, 21, 22}));
}

TEST_F(WindowSearchTest, ListsKeepTitledWindowsAndHiddenOnesOnlyWhenAllowed) {
  desktop_.Add(51, "Shown", "Shown.Class");
  desktop_.Add(52, "", "NoTitle");
  desktop_.Add(53, "Hidden", "Tool", false);
  ListTopWindows();
  ASSERT_EQ(TopWindowList.Records(), 2);
  TopWindowList.Get(1);
  EXPECT_EQ(TopWindowList.buffer.Title.str(), "Shown");
  EXPECT_EQ(TopWindowList.buffer.Handle, 51);
  EXPECT_EQ(TopWindowList.buffer.ClassName.str(), "Shown.Class");
  EXPECT_EQ(FindWindowByTitle("", "Hidden"), 53);

  GLO_EXCLUDEHIDDENWINDOWS = 1;
  EXPECT_EQ(FindWindowByTitle("", "Hidden"), 0);
  EXPECT_EQ(TopWindowList.Records(), 1);

  // Children: titled ones only, at every level; long titles cut to what the list holds.
  desktop_.children[51] = {{61, std::string(300, 'x'), "Edit", true},
                           {62, "", "Pane", true},
                           {63, "OK", "Button", false}};
  ListChildWindows(51);
  ASSERT_EQ(ChildWindowList.Records(), 2);
  ChildWindowList.Get(1);
  EXPECT_EQ(ChildWindowList.buffer.Title.str(), std::string(254, 'x'));
  EXPECT_EQ(ChildWindowList.buffer.ClassName.str(), "Edit");
  ChildWindowList.Get(2);
  EXPECT_EQ(ChildWindowList.buffer.Handle, 63);  // the hidden-window rule is for the top level only
}

}  // namespace
}  // namespace vx
