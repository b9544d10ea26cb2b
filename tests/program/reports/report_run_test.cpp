// A report run with its own progress loop: the preview question, Cancel and its questions, the
// partial preview, an empty selection, the texts of the reports' INI file, and the other
// threads running while a long report is made.
#include "program/reports/report_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/request_globals.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

// Numbered rows; as row `cancel_at` is read the progress window gets a close, as the close box
// gives it, so the cancel comes at a known point of the run.
struct CountedRows : BrowseView {
  long total = 0;
  long cancel_at = 0;
  long row = 0;
  std::string name;
  std::atomic<long> read{0};
  void Reset(int) override { row = 0; }
  bool Next() override {
    if (row >= total) return false;
    name = "Row " + std::to_string(++row);
    read = row;
    if (row == cancel_at) POST(EVENT_CloseWindow, 0, THREAD());
    return true;
  }
  long Position() const override { return row; }
  bool Fetch(long) override { return false; }
};

report::ReportLayout RowsLayout(CountedRows& rows) {
  report::ReportLayout layout;
  layout.title = "Rows";
  layout.page_header.Text("Rows", 0, 0);
  layout.detail.String(rows.name, "@s20", 0, 0, 2000);
  layout.page_footer.Text("Page", 0, 0).PageNumber("<<<#", 420, 0, 500);
  return layout;
}

// Every text of the pages printed.
std::vector<std::string> PrintedTexts(const TestDriver& ui) {
  std::vector<std::string> texts;
  for (const SeenRequest& print : ui.Prints()) {
    for (const report::PageImage& page : print.pages->pages) {
      for (const std::string& text : page.Texts()) texts.push_back(text);
    }
  }
  return texts;
}

bool Holds(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class ReportRunTest : public test::WindowTest {};

TEST_F(ReportRunTest, CancelAndItsQuestionsDecideWhatIsPreviewedAndPrinted) {
  struct Case {
    const char* name;
    long cancel_at;
    std::vector<unsigned> answers;  // the preview question first
    const char* preview_button;     // "" no preview comes
    long response;
    const char* last_printed;  // "" nothing printed
  };
  const Case cases[] = {
      {"cancel on the preview question", 0, {BUTTON_CANCEL}, "", RequestCancelled, ""},
      {"a previewed run printed", 0, {BUTTON_YES}, "&Print", RequestCompleted, "Row 90"},
      {"a previewed run closed", 0, {BUTTON_YES}, "&Close", RequestCancelled, ""},
      {"printed straight", 0, {BUTTON_NO}, "", RequestCompleted, "Row 90"},
      {"Cancel, then not sure", 30, {BUTTON_YES, BUTTON_NO}, "&Print", RequestCompleted, "Row 90"},
      {"Cancel, then Ignore",
       30,
       {BUTTON_YES, BUTTON_YES, BUTTON_IGNORE},
       "&Print",
       RequestCompleted,
       "Row 90"},
      {"Cancel, then the partial preview",
       30,
       {BUTTON_YES, BUTTON_YES, BUTTON_YES},
       "&Print",
       RequestCompleted,
       "Row 30"},
      {"Cancel, then no partial preview",
       30,
       {BUTTON_YES, BUTTON_YES, BUTTON_NO},
       "",
       RequestCancelled,
       ""},
      {"Cancel while printing straight", 30, {BUTTON_NO, BUTTON_YES}, "", RequestCancelled, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CountedRows rows;
    rows.total = 90;
    rows.cancel_at = c.cancel_at;
    report::ReportLayout layout = RowsLayout(rows);
    TestDriver ui;
    for (unsigned answer : c.answers) ui.AnswerMessage(answer);
    long response = 0;
    ui.Start([&] {
      ReportRun run("Test:Rows", layout);
      response = run.Run(rows, 1, static_cast<std::size_t>(rows.total));
    });
    if (*c.preview_button) ui.WaitWindow("Print Preview").Control(c.preview_button).Press();
    ui.Finish();
    EXPECT_EQ(response, c.response);
    const std::vector<SeenRequest> boxes = ui.Messages();
    ASSERT_EQ(boxes.size(), c.answers.size()) << "every question asked, no more";
    EXPECT_EQ(boxes[0].text, "Do you wish to PREVIEW this Report?");
    EXPECT_EQ(boxes[0].caption, "Preview");
    if (boxes.size() > 1) {
      EXPECT_EQ(boxes[1].text, "Are you sure you want to CANCEL this Report?");
    }
    if (boxes.size() > 2) {
      EXPECT_EQ(boxes[2].text,
                "Report Cancellation Requested!\n\nPreview Report generated so far?");
    }
    if (c.answers[0] == BUTTON_CANCEL) {
      EXPECT_EQ(rows.read, 0) << "nothing is read";
    }
    const std::vector<std::string> printed = PrintedTexts(ui);
    if (*c.last_printed) {
      ASSERT_EQ(ui.Prints().size(), 1u);
      EXPECT_TRUE(Holds(printed, "Row 1"));
      EXPECT_TRUE(Holds(printed, c.last_printed));
      const long last = std::stol(std::string(c.last_printed).substr(4));
      EXPECT_FALSE(Holds(printed, "Row " + std::to_string(last + 30)))
          << "the partial preview stops within a batch of the cancel";
    } else {
      EXPECT_TRUE(ui.Prints().empty());
    }
  }
}

// An empty selection still makes the report's one page, its header and footer on it.
TEST_F(ReportRunTest, AnEmptySelectionPreviewsOnePageWithHeaderAndFooter) {
  CountedRows rows;
  report::ReportLayout layout = RowsLayout(rows);
  ui_.AnswerMessage(BUTTON_YES);
  ui_.Start([&] {
    ReportRun run("Test:Rows", layout);
    run.Run(rows, 1, 0);
  });
  DriverWindow preview = ui_.WaitWindow("Print Preview");
  EXPECT_NO_THROW(preview.Control("Page 1 of 1"));
  preview.Control("&Print").Press();
  ui_.Finish();
  ASSERT_EQ(ui_.Prints().size(), 1u);
  const report::PageImageQueue& pages = *ui_.Prints()[0].pages;
  ASSERT_EQ(pages.size(), 1u);
  const std::vector<std::string> texts = pages.pages[0].Texts();
  EXPECT_TRUE(Holds(texts, "Rows"));
  EXPECT_TRUE(Holds(texts, "Page"));
  EXPECT_TRUE(Holds(texts, "1"));
}

// The texts come from the reports' INI file, key by key, each missing one (or a missing file)
// with its built-in text; an empty file name reads the default INI file.
TEST_F(ReportRunTest, TheTextsComeFromTheIniFileWithTheirDefaults) {
  const auto write = [](std::string_view name, const std::string& text) {
    std::ofstream(ResolveIniPath(name)) << text;
  };
  struct Case {
    const char* name;
    const char* file;      // the INI file asked for
    const char* contents;  // written to it; nullptr: no file
    const char* win_ini;   // written to the default INI file; nullptr: none
    const char* title;     // the progress window's title when previewing
    const char* question;  // the preview question
  };
  const Case cases[] = {
      {"no file", "CPCSRPTS.INI", nullptr, nullptr, "Generating Report",
       "Do you wish to PREVIEW this Report?"},
      {"some keys", "CPCSRPTS.INI", "[Display Strings 2.0]\nProgWinTitlePrvw=Making the report\n",
       nullptr, "Making the report", "Do you wish to PREVIEW this Report?"},
      {"another section only", "CPCSRPTS.INI", "[Other]\nProgWinTitlePrvw=No\n", nullptr,
       "Generating Report", "Do you wish to PREVIEW this Report?"},
      {"no name: the default INI file", "", nullptr,
       "[DISPLAY STRINGS 2.0]\nAskPrvwDialogText=Look first?\n", "Generating Report",
       "Look first?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(ResolveIniPath("CPCSRPTS.INI"));
    std::filesystem::remove(ResolveIniPath("WIN.INI"));
    if (c.contents) write(c.file, c.contents);
    if (c.win_ini) write("WIN.INI", c.win_ini);
    const ReportDisplayStrings s =
        LoadReportDisplayStrings("Do you wish to PREVIEW this Report?", "Preview", "", c.file);
    EXPECT_EQ(s.ProgWinTitlePrvw, c.title);
    EXPECT_EQ(s.AskPrvwDialogText, c.question);
    EXPECT_EQ(s.AskPrvwDialogTitle, "Preview");
    EXPECT_EQ(s.ProgWinTitlePrnt, "Printing Report");
    EXPECT_EQ(s.NothingToPrntText, "Nothing to Print.");
    EXPECT_EQ(s.CancelPrvwPartialText,
              "Report Cancellation Requested!||Preview Report generated so far?");
  }

  // A run reads the file as it starts: its window and questions show the file's texts.
  std::filesystem::remove(ResolveIniPath("WIN.INI"));
  write("CPCSRPTS.INI",
        "[DISPLAY STRINGS 2.0]\nProgWinTitlePrvw=Making the report\n"
        "CancelAreYouSureText=Really stop?|Sure?\n");
  CountedRows rows;
  rows.total = LONG_MAX;
  report::ReportLayout layout = RowsLayout(rows);
  ui_.AnswerMessage(BUTTON_YES);
  ui_.Start([&] {
    ReportRun run("Test:Rows", layout);
    run.Run(rows, 1, 1000);
  });
  ui_.WaitWindow("Making the report").Control("Cancel").Press();
  EXPECT_EQ(ui_.WaitMessage(BUTTON_YES).text, "Really stop?\nSure?");
  ui_.AnswerMessage(BUTTON_NO);  // no partial preview, if a page was made already
  ui_.Finish();
  EXPECT_TRUE(ui_.Prints().empty());
}

// A report of rows without end neither stops another thread's timer nor holds off its Cancel
// button or Esc.
TEST_F(ReportRunTest, OtherThreadsTickWhileALongReportRunsUntilItIsCancelled) {
  for (const char* how : {"Cancel", "Esc"}) {
    SCOPED_TRACE(how);
    CountedRows rows;
    rows.total = LONG_MAX;
    report::ReportLayout layout = RowsLayout(rows);
    std::atomic<int> ticks{0};
    TestDriver ui;
    ui.AnswerMessage(BUTTON_NO);  // printed straight
    long response = 0;
    ui.Start([&] {
      START([&] {
        Window ticker("Ticker");
        ticker.Timer(1);
        ticker.Open();
        while (ticker.Accept()) {
          if (EVENT() == EVENT_Timer) ++ticks;
        }
      });
      ReportRun run("Test:Rows", layout);
      response = run.Run(rows, 1, 1000);
    });
    DriverWindow progress = ui.WaitWindow("Printing Report");
    const long read_before = rows.read;
    const int ticks_before = ticks;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((ticks < ticks_before + 20 || rows.read < read_before + 1000) &&
           std::chrono::steady_clock::now() < limit) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_GE(ticks, ticks_before + 20) << "the other thread's timer stopped";
    EXPECT_GE(rows.read, read_before + 1000) << "the report stopped";
    ui.AnswerMessage(BUTTON_YES);
    if (std::string(how) == "Esc") {
      progress.PressKey(EscKey);
    } else {
      progress.Control("Cancel").Press();
    }
    ui.Finish();
    EXPECT_EQ(response, RequestCancelled);
    EXPECT_TRUE(ui.Prints().empty());
  }
}

}  // namespace
}  // namespace vx
