// The event log viewer on a real log file in the data folder: the line it logs when logging is
// off, the search (next match after the selected line, with and without letter case), the print
// through the previewer, the place it keeps, a log not written yet and one that cannot be read.
#include "program/admin/view_event_log.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/vx_files.h"
#include "program/common/main_procedures.h"
#include "program/shell/register_program_windows.h"
#include "program/shell_fixture.h"
#include "runtime/ini_file.h"
#include "runtime/locale_formats.h"
#include "runtime/report/page_image.h"
#include "runtime/report/print_pages.h"
#include "support/test_driver.h"

namespace vx {
namespace {

using Strings = std::vector<std::string>;

class ViewEventLogTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    GLO_USELOG = 1;
  }
  void TearDown() override {
    GLO_USELOG = 0;
    ShellTest::TearDown();
  }

  // The log's lines as they lie on disk.
  static Strings FileLines(const std::string& name) {
    Strings lines;
    std::ifstream in(name);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // Every text of the pages a print request handed over.
  static Strings PrintedTexts(const SeenRequest& print) {
    Strings texts;
    for (const report::PageImage& page : print.pages->pages) {
      for (const std::string& text : page.Texts()) texts.push_back(text);
    }
    return texts;
  }

  ScopedLocaleFormats locale_{LocaleFormats{}};
};

TEST_F(ViewEventLogTest, WithLoggingOffTheViewerLogsExactlyOneLineAndShowsIt) {
  GLO_USELOG = 0;
  TestDriver ui;
  ui.Start([] { ViewAscii_Log(); });
  DriverWindow window = ui.WaitWindow("Event Log");
  DriverControl list = window.ControlNumber(1);
  ASSERT_EQ(list.Rows(), 1u);
  EXPECT_NE(list.Cell(1, 1).find("View Log - Logging disabled"), std::string::npos);
  EXPECT_NE(list.Cell(1, 1).find("Logging is not enabled in configuration."), std::string::npos);
  window.Control("&Close").Press();
  ui.WaitClosed(window);
  ui.Finish();
  EXPECT_EQ(GLO_USELOG, 0);
  EXPECT_EQ(FileLines("VX98Evnt.LOG").size(), 1u);
}

TEST_F(ViewEventLogTest, SearchFindsTheNextMatchingLineAfterTheSelection) {
  {
    std::ofstream log("vx98evnt.log");  // any letter case on disk
    log << "06/12/2026  09:00  Started       Varnodex\r\n"
        << "06/12/2026  09:05  Message       Nightly Backup\r\n"
        << "06/12/2026  09:10  Script        Send Keys\r\n"
        << "06/12/2026  09:15  Message       backup again\r\n";
  }
  TestDriver ui;
  ui.Start([] { ViewAscii_Log(); });
  DriverWindow window = ui.WaitWindow("Event Log");
  DriverControl list = window.ControlNumber(1);
  ASSERT_EQ(list.Rows(), 4u);
  EXPECT_EQ(list.Cell(4, 1), "06/12/2026  09:15  Message       backup again");

  auto search = [&](std::string_view text, bool match_case) {
    window.Control("&Search...").Press();
    DriverWindow dialog = ui.WaitWindow("Search");
    dialog.Control("&Find:").Type(text);
    dialog.Control("Match &case").Tick(match_case);
    dialog.Control("&OK").Press();
    ui.WaitClosed(dialog);
  };
  search("BACKUP", false);
  EXPECT_EQ(list.Choice(), 2);
  search("BACKUP", false);
  EXPECT_EQ(list.Choice(), 4);
  search("BACKUP", false);  // nothing after the last match: the selection stays
  const SeenRequest none = ui.WaitMessage(BUTTON_OK);
  EXPECT_EQ(none.text, "\"BACKUP\" was not found.");
  EXPECT_EQ(list.Choice(), 4);

  list.ChooseRow(1);
  search("backup", true);
  EXPECT_EQ(list.Choice(), 4);

  // Print shows the log's pages first; the previewer's Print sends them.
  window.Control("&Print...").Press();
  DriverWindow preview = ui.WaitWindow("Print Preview");
  preview.Control("&Print").Press();
  ui.WaitClosed(preview);
  window.Move(10, 20, 600, 400);
  window.Control("&Close").Press();
  ui.WaitClosed(window);
  ui.Finish();

  ASSERT_EQ(ui.Prints().size(), 1u);
  EXPECT_EQ(ui.Prints()[0].pages->title, "Event Log");
  EXPECT_EQ(PrintedTexts(ui.Prints()[0]),
            (Strings{"Event Log", "06/12/2026  09:00  Started       Varnodex",
                     "06/12/2026  09:05  Message       Nightly Backup",
                     "06/12/2026  09:10  Script        Send Keys",
                     "06/12/2026  09:15  Message       backup again", "Page", "1"}));
  EXPECT_EQ(IniInUse()->Get("ViewAscii:Log", "XPos"), "10");
  EXPECT_EQ(IniInUse()->Get("ViewAscii:Log", "Width"), "600");
}

TEST_F(ViewEventLogTest, APrintThatFailsSaysWhy) {
  std::ofstream("vx98evnt.log") << "06/12/2026  09:00  Started       Varnodex\r\n";
  using report::PrintAnswer;
  const struct {
    PrintAnswer answer;
    std::string failure;
    const char* why;  // empty: printed, nothing shown
  } cases[] = {
      {PrintAnswer::Printed, "", ""},
      {PrintAnswer::Failed, "The printer is not ready.",
       "The report could not be printed.\n\nThe printer is not ready."},
      {PrintAnswer::NoPrinter, "", "Warning:  No DEFAULT Printer Driver Found!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    TestDriver ui;
    ui.AnswerPrint(static_cast<long>(c.answer), c.failure);
    ui.AnswerMessage(BUTTON_NO);  // a PDF file in place of the printer is declined
    ui.Start([] { ViewAscii_Log(); });
    DriverWindow window = ui.WaitWindow("Event Log");
    window.Control("&Print...").Press();
    DriverWindow preview = ui.WaitWindow("Print Preview");
    preview.Control("&Print").Press();
    ui.WaitClosed(preview);
    window.Control("&Close").Press();
    ui.Finish();
    const std::vector<SeenRequest> boxes = ui.Messages();
    if (std::string(c.why).empty()) {
      EXPECT_TRUE(boxes.empty()) << boxes.front().text;
    } else {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_TRUE(boxes[0].text.starts_with(c.why)) << boxes[0].text;
    }
  }
}

// Logging on and nothing logged yet: there is no file, and the viewer shows an empty log.
TEST_F(ViewEventLogTest, ALogNotWrittenYetShowsAnEmptyLogWithoutABox) {
  TestDriver ui;
  ui.Start([] { ViewAscii_Log(); });
  DriverWindow window = ui.WaitWindow("Event Log");
  EXPECT_EQ(window.ControlNumber(1).Rows(), 0u);
  EXPECT_TRUE(window.Control("&Print...").Disabled());
  EXPECT_TRUE(window.Control("&Search...").Disabled());
  window.Control("&Close").Press();
  ui.WaitClosed(window);
  ui.Finish();
  EXPECT_TRUE(Captions().empty());
  EXPECT_FALSE(std::filesystem::exists("VX98Evnt.LOG")) << "viewing writes nothing";
}

TEST_F(ViewEventLogTest, ALogThatCannotBeReadIsReportedAndTheWindowCloses) {
  std::filesystem::create_directory("VX98EVNT.LOG");  // a folder where the log should be
  TestDriver ui;
  ui.Start([] { ViewAscii_Log(); });
  ui.Finish();
  EXPECT_EQ(Captions(), (Strings{"File Access Error"}));
  ASSERT_EQ(reporter_.shown.size(), 1u);
  EXPECT_NE(reporter_.shown[0].text.find("Access Denied"), std::string::npos)
      << reporter_.shown[0].text;
  EXPECT_TRUE(ui.OpenTitles().empty());
}

TEST_F(ViewEventLogTest, MainStartsTheViewerByName) {
  RegisterProgramWindows();
  EXPECT_TRUE(static_cast<bool>(MainProcedure("ViewAscii:Log")));
  RegisterMainProcedure("ViewAscii:Log", {});
}

}  // namespace
}  // namespace vx
