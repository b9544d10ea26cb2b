// The clipboard manager and its categories on real CLIPBOARD tables: what "&Run" would open and
// that it asks first, the keep question before deleting a kept entry, the query that filters
// every tab, the keep icon and copy, and a category rename carried into the entries while a
// used category cannot be deleted.
#include "program/organiser/clipboard_windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "program/common/task_road_services.h"
#include "program/organiser/capture_clipboard.h"
#include "program/organiser/clipboard_run.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"
#include "support/list_columns.h"
#include "tests/fakes/fake_shell_opener.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

using Texts = std::vector<std::string>;

TEST(ClipboardRunTargets, OnlyWebAndMailLinksCutAtTheirFirstBlankQuoteOrLineBreak) {
  const struct {
    std::string_view contents;
    Texts links, not_started;
  } cases[] = {
      {"See http://a.org/x?q=1 and write to mailto:bob@x.org\"then more",
       {"http://a.org/x?q=1", "mailto:bob@x.org"},
       {}},
      {"HTTPS://Case.org/Path'quoted", {"HTTPS://Case.org/Path"}, {}},
      {"link: https://s.org/a\nnext line http://later.org", {"https://s.org/a"}, {}},
      {"www.x.org more", {"http://www.x.org"}, {}},
      {"www.x.org\r\nrm -rf ~", {"http://www.x.org"}, {}},
      {"WWW.X.ORG", {}, {}},
      {"mailto: nobody", {}, {}},  // a scheme with nothing after it opens nothing
      {"file:///etc/passwd javascript:alert(1)", {}, {}},
      {"Run \"C:\\Program Files\\App\\app.exe\" now", {}, {"C:\\Program Files\\App\\app.exe"}},
      {"c:\\tools\\my app.exe and a.lnk, b.URL", {}, {"app.exe", "a.lnk", "b.URL"}},
  };
  for (const auto& c : cases) {
    const ClipboardRunTargets targets = FindClipboardRunTargets(c.contents);
    EXPECT_EQ(targets.links, c.links) << c.contents;
    EXPECT_EQ(targets.not_started, c.not_started) << c.contents;
  }
}

class ClipboardWindowsTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    road_.shell = &opener_;
    installed_ = std::make_unique<ScopedTaskRoadServices>(road_);
  }
  void TearDown() override {
    installed_.reset();
    WindowTest::TearDown();
  }

  static void Store(const std::string& text, std::int32_t time, std::uint8_t keep = 0,
                    const std::string& category = "General") {
    ASSERT_EQ(ACCESS_CLIPBOARD->Open(), 0);
    CLI = CLIPBOARD_RECORD{};
    CLI.ClipContents = text;
    CLI.ClipHashKey = ClipboardHashKey(text);
    CLI.ClipDate = 80000;
    CLI.ClipTime = time;
    CLI.ClipKeep = keep;
    CLI.Category = category;
    ASSERT_EQ(ACCESS_CLIPBOARD->Insert(), 0) << text;
    ACCESS_CLIPBOARD->Close();
  }
  static void StoreCategory(const std::string& name) {
    ASSERT_EQ(ACCESS_CLIPBOARDCATEGORIES->Open(), 0);
    CLC.Category = name;
    ASSERT_EQ(ACCESS_CLIPBOARDCATEGORIES->Insert(), 0);
    ACCESS_CLIPBOARDCATEGORIES->Close();
  }
  // Every stored entry as "contents|category|keep", newest first.
  static Texts Stored() {
    Texts out;
    EXPECT_EQ(ACCESS_CLIPBOARD->Open(), 0);
    ACCESS_CLIPBOARD->Set(CLI_KEYCLIPDATE);
    while (ACCESS_CLIPBOARD->TryNext() == 0) {
      out.push_back(CLI.ClipContents.str() + "|" + CLI.Category.str() + "|" +
                    std::to_string(CLI.ClipKeep));
    }
    ACCESS_CLIPBOARD->Close();
    return out;
  }
  DriverWindow StartManager() {
    ui_.Start([] { BrowseClipboard(); });
    return ui_.WaitWindow("Clipboard Manager");
  }
  static DriverControl ListOf(const DriverWindow& w) {
    for (int n = 1;; ++n) {
      DriverControl c = w.ControlNumber(n);
      if (c.Kind() == ControlType::List) return c;
    }
  }
  static Texts Contents(const DriverControl& list, int column = 2) {
    return test::ColumnTexts(list, column);
  }

  test::FakeShellOpener opener_;
  TaskRoadServices road_;
  std::unique_ptr<ScopedTaskRoadServices> installed_;
};

TEST_F(ClipboardWindowsTest, RunAsksFirstListingExactlyWhatOpensAndStartsNoProgram) {
  Store("Docs http://a.org/x y and mailto:me@x.org\"z", 300);
  Store("Install \"C:\\Apps\\setup.exe\" please", 200);
  DriverWindow w = StartManager();
  DriverControl list = ListOf(w);

  list.ChooseRow(1);
  w.Control("&Run").Press();
  EXPECT_TRUE(opener_.requests.empty()) << "nothing opens before the answer";
  SeenRequest asked = ui_.WaitMessage(BUTTON_NO);
  EXPECT_EQ(asked.text, "Open these links?\n\n    http://a.org/x\n    mailto:me@x.org");
  EXPECT_EQ(asked.default_button, static_cast<unsigned>(BUTTON_NO));
  w.Control("&Copy to Clipboard").Press();  // the window has gone on
  EXPECT_TRUE(opener_.requests.empty()) << "No opens nothing";

  w.Control("&Run").Press();
  ui_.WaitMessage(BUTTON_YES);
  w.Control("&Copy to Clipboard").Press();
  ASSERT_EQ(opener_.requests.size(), 2u);
  EXPECT_EQ(opener_.requests[0].target, "http://a.org/x");
  EXPECT_EQ(opener_.requests[1].target, "mailto:me@x.org");

  list.ChooseRow(2);
  w.Control("&Run").Press();
  asked = ui_.WaitMessage(BUTTON_OK);
  EXPECT_NE(asked.text.find("not started on this system:\n    C:\\Apps\\setup.exe"),
            std::string::npos)
      << asked.text;
  w.Control("&Copy to Clipboard").Press();
  EXPECT_EQ(opener_.requests.size(), 2u) << "a program name starts nothing";
  w.Close();
  ui_.Finish();
}

TEST_F(ClipboardWindowsTest, DeletingAKeptEntryAsksWithNoAsTheDefault) {
  Store("kept text", 300, 1);
  Store("plain text", 200, 0);
  DriverWindow w = StartManager();
  DriverControl list = ListOf(w);
  list.ChooseRow(1);
  w.Control("&Delete").Press();
  const SeenRequest asked = ui_.WaitMessage(BUTTON_NO);
  EXPECT_EQ(asked.caption, "Delete Record");
  EXPECT_EQ(asked.default_button, static_cast<unsigned>(BUTTON_NO));
  EXPECT_FALSE(ui_.HasWindow("Delete Clipboard Entry")) << "No keeps the entry";

  w.Control("&Delete").Press();
  ui_.WaitMessage(BUTTON_YES);
  DriverWindow form = ui_.WaitWindow("Delete Clipboard Entry");
  form.Control("&OK").Press();
  ui_.WaitClosed(form);

  // An entry not kept goes straight to the form.
  const std::size_t asked_before = ui_.Messages().size();
  list.ChooseRow(1);
  w.Control("&Delete").Press();
  form = ui_.WaitWindow("Delete Clipboard Entry");
  EXPECT_EQ(ui_.Messages().size(), asked_before);
  form.Control("&OK").Press();
  ui_.WaitClosed(form);
  w.Close();
  ui_.Finish();
  EXPECT_TRUE(Stored().empty());
}

TEST_F(ClipboardWindowsTest, AQueryWithAQuoteFiltersEveryTabAndResetRemovesIt) {
  Store("it's raining", 300, 1);
  Store("its fine", 200, 1);
  Store("other it's", 100, 0);
  DriverWindow w = StartManager();
  DriverControl list = ListOf(w);
  EXPECT_TRUE(w.Control("&Reset").Disabled());
  w.Control("&Query").Press();
  DriverWindow query = ui_.WaitWindow("Query Wizard");
  query.Control("Fields to Evaluate").Choose("Contents");
  query.Control("Query Operations").Choose("Contains");
  query.Control("Constant &Value").Type("it's");
  query.Control("&AND").Press();
  query.Control("&Finish").Press();
  ui_.WaitClosed(query);
  EXPECT_EQ(Contents(list), (Texts{"it's raining", "other it's"}));
  EXPECT_FALSE(w.Control("&Reset").Disabled());
  w.ControlNumber(1).Choose("Saved Only");  // the query holds beside the tab's own filter
  EXPECT_EQ(Contents(list), (Texts{"it's raining"}));
  w.Control("&Reset").Press();
  EXPECT_EQ(Contents(list), (Texts{"its fine", "it's raining"}));  // kept, oldest first
  EXPECT_TRUE(w.Control("&Reset").Disabled());
  w.Close();
  ui_.Finish();
}

TEST_F(ClipboardWindowsTest, TheKeepIconTogglesAndTheTextIsCopiedBack) {
  Store("http://x.org page", 300);
  Store("plain note", 200);
  DriverWindow w = StartManager();
  DriverControl list = ListOf(w);
  list.ActivateCell(1, 1);  // the keep icon: kept
  list.ActivateCell(2, 2);  // the text: copied
  EXPECT_EQ(ui_.LastClipboardWrite(), "plain note");
  list.ChooseRow(1);
  w.Control("&Toggle Save").Press();  // let go again
  w.Close();
  ui_.Finish();
  EXPECT_EQ(Stored(), (Texts{"http://x.org page|General|0", "plain note|General|0"}));
}

TEST_F(ClipboardWindowsTest, ARenameMovesTheEntriesAndAUsedCategoryCannotBeDeleted) {
  StoreCategory("Home");
  StoreCategory("Work");
  Store("work note", 300, 0, "Work");
  Store("home note", 200, 0, "Home");
  Store("window title note", 100, 0, "Editor");
  ui_.Start([] { BrowseClipboardCategories(); });
  DriverWindow w = ui_.WaitWindow("Clipboard Categories");
  DriverControl categories = ListOf(w);
  DriverControl entries = categories;
  for (int n = categories.Number() + 1; entries.Number() == categories.Number(); ++n) {
    if (w.ControlNumber(n).Kind() == ControlType::List) entries = w.ControlNumber(n);
  }
  EXPECT_EQ(Contents(categories, 1), (Texts{"Home", "Work"}));
  categories.ChooseRow(2);
  EXPECT_EQ(Contents(entries), (Texts{"work note"}));

  w.Control("&Edit").Press();
  DriverWindow form = ui_.WaitWindow("Edit Clipboard Category");
  form.Control("&Category:").Type("Office");
  form.Control("&OK").Press();
  ui_.WaitClosed(form);

  categories.ChooseRow(2);  // Office
  EXPECT_EQ(Contents(entries), (Texts{"work note"}));
  w.Control("&Delete").Press();
  form = ui_.WaitWindow("Delete Clipboard Category");
  form.Control("&OK").Press();
  EXPECT_TRUE(form.Open());
  EXPECT_EQ(Captions().back(), "Referential Integrity Delete Error");
  form.Control("Cl&ose").Press();
  ui_.WaitClosed(form);
  w.Close();
  ui_.Finish();
  EXPECT_EQ(Stored(),
            (Texts{"work note|Office|0", "home note|Home|0", "window title note|Editor|0"}));
}

}  // namespace
}  // namespace vx
