// The contact list and the category list run as the program runs them (the test driver keeps
// the pages their print hands over), written as PDF files by the Qt front end and read back
// with poppler's pdftotext; the contact list's progress window and its Cancel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/request_globals.h"
#include "frontend/qt/page_output.h"
#include "program/reports/list_reports.h"
#include "runtime/event_queue.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "support/command_run.h"
#include "support/test_driver.h"
#include "tests/frontend/qt_test_support.h"
#include "tests/program/shell_fixture.h"

namespace vx {
namespace {

class ListReportsPdfTest : public test::ShellTest {
 protected:
  static void AddContacts() {
    ASSERT_EQ(ACCESS_CONTACT->Open(), 0);
    const char* contacts[][4] = {{"Adams", "Zoe", "zoe@example.org", "Family"},
                                 {"Brown", "Ben", "ben@example.org", "Clients"}};
    for (const auto& c : contacts) {
      ACCESS_CONTACT->PrimeRecord();
      C_.LastName = c[0];
      C_.FirstName = c[1];
      C_.Email = c[2];
      C_.ContactCategory = c[3];
      C_.Website = "www.example.org";
      ASSERT_EQ(ACCESS_CONTACT->Insert(), 0);
    }
    ACCESS_CONTACT->Close();
  }
  // The text of the pages of the one print the run made, as a PDF file holds it.
  std::string PdfText(const TestDriver& ui) {
    const std::vector<SeenRequest> prints = ui.Prints();
    if (prints.size() != 1 || !prints[0].pages)
      return "(" + std::to_string(prints.size()) + " prints)";
    const std::string file = (root() / "report.pdf").string();
    const qt::PrintOutcome outcome = qt::WritePdf(*prints[0].pages, QString::fromStdString(file));
    if (outcome.first != report::PrintAnswer::Printed)
      return "(not written: " + outcome.second + ")";
    const test::CommandRun text = test::RunCommandLine("pdftotext -layout '" + file + "' -");
    EXPECT_EQ(text.status, 0) << "pdftotext (poppler-utils) is needed: scripts/install-deps.sh";
    return text.output;
  }
  // The rule under the headings runs level across the page, below the headings.
  static void ExpectLevelRuleUnderHeadings(const TestDriver& ui) {
    const std::vector<SeenRequest> prints = ui.Prints();
    ASSERT_EQ(prints.size(), 1u);
    ASSERT_TRUE(prints[0].pages && !prints[0].pages->empty());
    const report::PageImage& page = prints[0].pages->pages[0];
    int rules = 0;
    for (const report::PageItem& item : page.items) {
      if (item.kind != report::PageItem::Kind::Line) continue;
      ++rules;
      EXPECT_EQ(item.height, 0) << "a level line, from y " << item.y;
      EXPECT_GT(item.width, page.width / 2) << "across the page";
      EXPECT_GT(item.y, 350) << "below the title";
    }
    EXPECT_EQ(rules, 1);
  }
  static void ExpectHolds(const std::string& text, const std::vector<std::string>& shown) {
    for (const std::string& s : shown)
      EXPECT_NE(text.find(s), std::string::npos) << s << " in\n" << text;
  }

 private:
  test::OffscreenApplication app_;
};

TEST_F(ListReportsPdfTest, TheContactListHoldsItsTitleHeadingsAndEveryContact) {
  AddContacts();

  TestDriver ui;
  ui.AnswerMessage(BUTTON_NO);  // no preview: straight to the printer
  long response = 0;
  ui.Start([&] {
    PrintContactList();
    response = CurrentResponse();
  });
  ui.Finish();
  EXPECT_EQ(response, RequestCompleted);
  ASSERT_FALSE(ui.Messages().empty());
  EXPECT_EQ(ui.Messages()[0].text, "Do you wish to PREVIEW this Report?");
  const std::string text = PdfText(ui);
  ExpectHolds(
      text, {"Report the Contact File", "Last Name", "First Name", "Address Line 1", "Postal Code",
             "Home/Evening Phone", "Other Phone", "Web Site", "Contact Category", "Adams",
             "zoe@example.org", "Brown", "ben@example.org", "Page 1"});
  // In category order: Brown's "Clients" before Adams's "Family".
  EXPECT_LT(text.find("Brown"), text.find("Adams")) << text;
  ExpectLevelRuleUnderHeadings(ui);
}

TEST_F(ListReportsPdfTest, TheCategoryListHoldsItsTitleAndEveryCategory) {
  ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
  for (const char* name : {"Work", "Home"}) {
    CAT.Category = name;
    ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
  }
  ACCESS_CATEGORIES->Close();

  TestDriver ui;
  ui.Start([] { PrintCAT_KeyCategory(); });
  DriverWindow preview = ui.WaitWindow("Print Preview");
  preview.Control("&Print").Press();
  ui.Finish();
  const std::string text = PdfText(ui);
  ExpectHolds(text, {"Category List", "Category", "Home", "Work", "Page 1"});
  EXPECT_LT(text.find("Home"), text.find("Work")) << text;
  ExpectLevelRuleUnderHeadings(ui);
}

TEST_F(ListReportsPdfTest, CancelOnThePreviewQuestionPrintsNothing) {
  TestDriver ui;
  ui.AnswerMessage(BUTTON_CANCEL);
  long response = 0;
  ui.Start([&] {
    PrintContactList();
    response = CurrentResponse();
  });
  ui.Finish();
  EXPECT_EQ(response, RequestCancelled);
  EXPECT_TRUE(ui.Prints().empty());
  EXPECT_EQ(ui.OpenTitles(), std::vector<std::string>{});
}

// The contact list runs under the report run's progress window, titled by the preview answer.
// The close box is clicked before the window's first tick, so the run is stopped before it
// prints: its Cancel question comes with the window open. No goes on and the window's Cancel
// button asks again; Yes there cancels, nothing printed.
TEST_F(ListReportsPdfTest, TheContactListShowsItsProgressWindowAndCancels) {
  AddContacts();
  struct Case {
    unsigned preview;
    const char* title;
  };
  for (const Case& c :
       {Case{BUTTON_YES, "Generating Report"}, Case{BUTTON_NO, "Printing Report"}}) {
    SCOPED_TRACE(c.title);
    TestDriver ui;
    long response = 0;
    ui.Start([&] {
      PrintContactList();
      response = CurrentResponse();
    });
    const auto asked = [&ui](std::size_t n) {
      ui.WaitUntil([&] { return ui.Messages().size() >= n; }, "question " + std::to_string(n));
      return ui.Messages()[n - 1];
    };
    Event close;
    close.number = EVENT_CloseWindow;
    ASSERT_TRUE(PostEvent(asked(1).thread, close));  // taken once the progress window waits
    ui.WaitMessage(c.preview);
    EXPECT_EQ(asked(2).text, "Are you sure you want to CANCEL this Report?");
    DriverWindow progress = ui.WaitWindow(c.title);
    EXPECT_EQ(progress.Title(), c.title);
    EXPECT_NO_THROW(progress.Control("0% Completed"));
    progress.Control("Cancel").Press();  // waits behind the question
    ui.WaitMessage(BUTTON_NO);
    EXPECT_EQ(asked(3).text, "Are you sure you want to CANCEL this Report?");
    ui.WaitMessage(BUTTON_YES);
    ui.Finish();
    EXPECT_EQ(response, RequestCancelled);
    EXPECT_EQ(ui.Messages().size(), 3u) << "no partial preview before a contact is printed";
    EXPECT_TRUE(ui.Prints().empty());
    EXPECT_EQ(ui.OpenTitles(), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace vx
