// The previewer, the framework's report pass and printing through the front end's print
// request, worked through the test driver (which keeps the pages a print request hands over).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/browse_class.h"
#include "framework/report/print_preview.h"
#include "framework/report/report_manager.h"
#include "framework/request_globals.h"
#include "runtime/events.h"
#include "runtime/fixed_string.h"
#include "runtime/report/print_pages.h"
#include "runtime/window/dialogs.h"
#include "support/test_driver.h"

namespace vx {
namespace {

using report::PageImageQueue;
using report::PrintAnswer;

// Pages holding one text each.
PageImageQueue PagesOf(const std::vector<std::string>& texts) {
  PageImageQueue queue;
  queue.title = "Test Report";
  for (const std::string& text : texts) {
    report::PageImage& page = queue.pages.emplace_back();
    report::PageItem item;
    item.text = text;
    page.items.push_back(item);
  }
  return queue;
}

std::vector<std::string> TextsOf(const std::string& page_text) {
  const auto page = report::ReadPageImageText(page_text);
  return page ? page->Texts() : std::vector<std::string>{"(not a page)"};
}

// The page control follows the row of buttons that ends with Close.
DriverControl PageControl(const DriverWindow& window) {
  return window.ControlNumber(window.Control("&Close").Number() + 1);
}

TEST(PrintPreview, AnswersOneOnlyWhenPrintIsPressed) {
  struct Case {
    const char* name;
    std::function<void(DriverWindow&)> act;
    int answer;
  };
  const Case cases[] = {
      {"Print", [](DriverWindow& w) { w.Control("&Print").Press(); }, 1},
      {"Close", [](DriverWindow& w) { w.Control("&Close").Press(); }, 0},
      {"Esc", [](DriverWindow& w) { w.PressKey(EscKey); }, 0},
      {"close box", [](DriverWindow& w) { w.Close(); }, 0},
  };
  const PageImageQueue pages = PagesOf({"one", "two"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestDriver ui;
    int answer = -1;
    ui.Start([&] { answer = PRINTPREVIEW(pages); });
    DriverWindow window = ui.WaitWindow("Print Preview");
    c.act(window);
    ui.Finish();
    EXPECT_EQ(answer, c.answer);
    EXPECT_TRUE(ui.Prints().empty());  // the previewer itself prints nothing
  }
  EXPECT_EQ(PRINTPREVIEW(PageImageQueue{}), 0);  // nothing to show opens no window
}

TEST(PrintPreview, TurnsPagesAndZoomsThePageItShows) {
  const PageImageQueue pages = PagesOf({"one", "two", "three"});
  TestDriver ui;
  ui.Start([&] { PRINTPREVIEW(pages, 100); });
  DriverWindow window = ui.WaitWindow("Print Preview");
  DriverControl where = window.Control("Page 1 of 3");
  DriverControl page = PageControl(window);
  ASSERT_EQ(page.Kind(), ControlType::PageImage);
  EXPECT_EQ(TextsOf(page.Value()), std::vector<std::string>{"one"});
  EXPECT_EQ(page.Get(Prop::Zoom), "100");
  EXPECT_TRUE(window.Control("&Previous").Disabled());

  window.Control("&Next").Press();
  EXPECT_EQ(where.Text(), "Page 2 of 3");
  EXPECT_EQ(TextsOf(page.Value()), std::vector<std::string>{"two"});
  window.Control("&Last").Press();
  EXPECT_EQ(TextsOf(page.Value()), std::vector<std::string>{"three"});
  EXPECT_TRUE(window.Control("&Next").Disabled());
  window.Control("&First").Press();
  EXPECT_EQ(where.Text(), "Page 1 of 3");

  window.Control("&Zoom").Choose("Whole Page");
  EXPECT_EQ(page.Get(Prop::Zoom), "0");
  window.Control("&Zoom").Choose("200%");
  EXPECT_EQ(page.Get(Prop::Zoom), "200");
  window.Control("&Close").Press();
  ui.Finish();
}

// A report over a few names, one detail each.
struct NameRows : BrowseView {
  std::vector<std::string> rows;
  String<20> name;
  std::size_t next = 0;
  void Reset(int) override { next = 0; }
  bool Next() override {
    if (next >= rows.size()) return false;
    name = rows[next++];
    return true;
  }
  long Position() const override { return static_cast<long>(next); }
  bool Fetch(long) override { return false; }
};

TEST(ReportManager, PrintsStraightWithItsCopiesAndCollation) {
  NameRows view;
  view.rows = {"Anna", "Bert", "Cleo"};
  report::ReportLayout layout;
  layout.title = "Names";
  layout.page_header.Text("Names", 0, 0);
  layout.detail.String(view.name, "@s20", 0, 0, 2000);
  ReportManager report("Test:Names", layout);
  report.Preview = false;
  report.Copies = 3;
  report.Collate = true;

  TestDriver ui;
  long response = 0;
  ui.Start([&] { response = report.Run(view, 1, view.rows.size()); });
  ui.Finish();
  const std::vector<SeenRequest> prints = ui.Prints();
  ASSERT_EQ(prints.size(), 1u);
  ASSERT_TRUE(prints[0].pages);
  EXPECT_EQ(prints[0].text, "");  // to the printer
  EXPECT_EQ(prints[0].pages->copies, 3);
  EXPECT_TRUE(prints[0].pages->collate);
  EXPECT_EQ(prints[0].pages->title, "Names");
  ASSERT_EQ(prints[0].pages->size(), 1u);
  EXPECT_EQ(prints[0].pages->pages[0].Texts(),
            (std::vector<std::string>{"Names", "Anna", "Bert", "Cleo"}));
  EXPECT_EQ(response, RequestCompleted);
}

TEST(ReportManager, APreviewedReportPrintsOnlyWhenPrintIsPressed) {
  for (const char* button : {"&Print", "&Close"}) {
    SCOPED_TRACE(button);
    NameRows view;
    view.rows = {"Anna"};
    report::ReportLayout layout;
    layout.detail.String(view.name, "@s20", 0, 0, 2000);
    ReportManager report("Test:Names", layout);
    TestDriver ui;
    long response = 0;
    ui.Start([&] { response = report.Run(view, 1, 1); });
    ui.WaitWindow("Print Preview").Control(button).Press();
    ui.Finish();
    const bool print = std::string(button) == "&Print";
    EXPECT_EQ(ui.Prints().size(), print ? 1u : 0u);
    EXPECT_EQ(response, print ? RequestCompleted : RequestCancelled);
  }
}

// Nothing counts as printed that was not: no printer, a refused file dialog and a print that
// fails each answer cancelled, and the user is told why.
TEST(FinishReport, AnswersCompletedOnlyWhenThePagesWentOut) {
  struct Case {
    const char* name;
    std::function<void(TestDriver&)> answers;
    long response;
    std::size_t prints;
    std::string message;  // the start of the box shown, "" none
  };
  const std::string pdf = "/tmp/vx-report-test.pdf";
  const Case cases[] = {
      {"printed", [](TestDriver&) {}, RequestCompleted, 1, ""},
      {"print dialog cancelled",
       [](TestDriver& ui) { ui.AnswerPrint(static_cast<long>(PrintAnswer::Cancelled)); },
       RequestCancelled, 1, ""},
      {"no printer, PDF instead",
       [&](TestDriver& ui) {
         ui.AnswerPrint(static_cast<long>(PrintAnswer::NoPrinter));
         ui.AnswerMessage(BUTTON_YES);
         ui.AnswerFile(pdf);
       },
       RequestCompleted, 2, "Warning:  No DEFAULT Printer Driver Found!"},
      {"no printer, no PDF",
       [](TestDriver& ui) {
         ui.AnswerPrint(static_cast<long>(PrintAnswer::NoPrinter));
         ui.AnswerMessage(BUTTON_NO);
       },
       RequestCancelled, 1, "Warning:  No DEFAULT Printer Driver Found!"},
      {"no printer, file dialog cancelled",
       [](TestDriver& ui) {
         ui.AnswerPrint(static_cast<long>(PrintAnswer::NoPrinter));
         ui.AnswerMessage(BUTTON_YES);
         ui.AnswerFile("");
       },
       RequestCancelled, 1, "Warning:  No DEFAULT Printer Driver Found!"},
      {"printer fails to start",
       [](TestDriver& ui) {
         ui.AnswerPrint(static_cast<long>(PrintAnswer::Failed), "The printer is not ready.");
         ui.AnswerMessage(BUTTON_OK);
       },
       RequestCancelled, 1, "The report could not be printed.\n\nThe printer is not ready."},
  };
  const PageImageQueue pages = PagesOf({"one"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestDriver ui;
    c.answers(ui);
    long response = 0;
    ui.Start([&] { response = FinishReport(pages, false); });
    ui.Finish();
    EXPECT_EQ(response, c.response);
    const std::vector<SeenRequest> prints = ui.Prints();
    ASSERT_EQ(prints.size(), c.prints);
    if (c.prints == 2) {
      EXPECT_EQ(prints[1].text, pdf);
    }
    const std::vector<SeenRequest> messages = ui.Messages();
    if (c.message.empty()) {
      EXPECT_TRUE(messages.empty());
    } else {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_TRUE(messages[0].text.starts_with(c.message)) << messages[0].text;
    }
  }
}

TEST(FinishReport, NothingToPrintSaysSo) {
  TestDriver ui;
  ui.AnswerMessage(BUTTON_OK);
  long response = 0;
  ui.Start([&] { response = FinishReport(PageImageQueue{}, true); });
  ui.Finish();
  EXPECT_EQ(response, RequestCancelled);
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].text, "Nothing to Print.");
  EXPECT_TRUE(ui.Prints().empty());
}

}  // namespace
}  // namespace vx
