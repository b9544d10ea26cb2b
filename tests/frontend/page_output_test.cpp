// A report's pages written as a PDF file by the Qt front end, read back with poppler's
// pdftotext and pdfinfo; and the printer road when the desktop has no printer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPrinterInfo>
#include <cstdlib>
#include <memory>
#include <string>

#include "frontend/qt/page_output.h"
#include "frontend/qt/page_painter.h"
#include "runtime/dates.h"
#include "runtime/fixed_string.h"
#include "runtime/report/report_writer.h"
#include "support/command_run.h"
#include "support/temp_folder.h"
#include "tests/datadll/xplore/people_browse.h"
#include "tests/frontend/qt_test_support.h"

namespace vx {
namespace {

// Writing a PDF needs a GUI application (the offscreen platform will do).
class PageOutputTest : public ::testing::Test {
 private:
  test::OffscreenApplication app_;
};

// Sixty tasks under a title and headings, a long memo on the last, "Page N" at each foot.
report::PageImageQueue SchedulePages(const report::TextMeasure& measure) {
  static std::int32_t date = 0;
  static String<40> description;
  static std::string message;
  static report::ReportLayout layout;
  layout = {};
  layout.title = "Schedule";
  layout.page_header.Font({.size = 14, .bold = true})
      .Text("Schedule", 0, 0, 7500, report::Align::Center);
  layout.page_header.Font({}).Text("Date", 0, 350).Text("Description", 1500, 350);
  layout.detail.String(date, "@d3", 0, 0, 1400)
      .String(description, "@s40", 1500, 0, 3000)
      .Memo(message, 4600, 0, 2900);
  layout.page_footer.Text("Page", 0, 0).PageNumber("<<<#", 420, 0, 500);
  layout.SetDatePictures("@d6");
  report::ReportWriter writer(layout, measure);
  for (int i = 1; i <= 60; ++i) {
    date = DATE(3, 10 + i % 10, 2024);
    description = "Task number " + std::to_string(i);
    message = i == 60 ? "The last task of the schedule carries a message long enough to wrap." : "";
    writer.PrintDetail();
  }
  return writer.End();
}

// The value of a "Name: value" line of pdfinfo.
std::string InfoField(std::string info, const std::string& name) {
  info.insert(0, "\n");
  const std::size_t at = info.find("\n" + name + ":");
  if (at == std::string::npos) return "(no " + name + ")";
  const std::size_t start = info.find_first_not_of(' ', at + name.size() + 2);
  return info.substr(start, info.find('\n', start) - start);
}

TEST_F(PageOutputTest, APdfFileHoldsEveryPageAsText) {
  const qt::QtTextMeasure measure;
  const report::PageImageQueue pages = SchedulePages(measure);
  ASSERT_EQ(pages.size(), 2u);
  test::TempFolder folder;
  const std::string file = (folder / "schedule.pdf").string();
  const qt::PrintOutcome outcome = qt::WritePdf(pages, QString::fromStdString(file));
  ASSERT_EQ(outcome.first, report::PrintAnswer::Printed) << outcome.second;

  const test::CommandRun info = test::RunCommandLine("pdfinfo '" + file + "'");
  ASSERT_EQ(info.status, 0) << "pdfinfo (poppler-utils) is needed: scripts/install-deps.sh";
  EXPECT_EQ(InfoField(info.output, "Pages"), "2");
  EXPECT_EQ(InfoField(info.output, "Page size"), "612 x 792 pts (letter)");
  EXPECT_EQ(InfoField(info.output, "Title"), "Schedule");

  const test::CommandRun text = test::RunCommandLine("pdftotext -layout '" + file + "' -");
  ASSERT_EQ(text.status, 0);
  for (const char* shown : {"Schedule", "Date", "Description", "15/03/2024", "Task number 1\n",
                            "Task number 60", "Page 1", "Page 2", "The last task of the"}) {
    EXPECT_NE(text.output.find(shown), std::string::npos) << shown << " in\n" << text.output;
  }
  const std::size_t page_break = text.output.find('\f');
  ASSERT_NE(page_break, std::string::npos);
  EXPECT_LT(text.output.find("Page 1"), page_break);
  EXPECT_GT(text.output.find("Page 2"), page_break);
}

TEST_F(PageOutputTest, APrintedListsPdfHoldsItsHeadingsRowsAndTotal) {
  // The list's Print All, measured as the program measures it, straight to the print request.
  const qt::QtTextMeasure measure;
  report::SetTextMeasure(&measure);
  test::TempFolder folder;
  test::g_setup = {};
  test::g_setup.ini = (folder / "POSITION.INI").string();
  test::g_setup.format = "80L(2)M|~Name~@s20@60R(2)|~Amount~@n-13.2@#3#";
  test::g_setup.configure = [](XPLORECLASS& xplore) {
    for (XPGQ& column : xplore.FQ) column.TOTALOK = column.QNOS == 3;
    xplore.ALLPREVIEW = 0;
  };
  test::g_people = {{1, "walter", 0, "1234"}, {2, "Anna", 0, "2000.5"}, {3, "Bert", 0, "5"}};
  TestDriver ui;
  ui.Start(test::BrowsePeople);
  DriverWindow w = ui.WaitWindow("People");
  ui.AnswerPopup(1);  // Print All
  w.ControlNumber(1).RightClickCell(1, 1);
  w.Close();
  ui.Finish();
  report::SetTextMeasure(nullptr);
  ASSERT_EQ(ui.Prints().size(), 1u);

  const std::string file = (folder / "people.pdf").string();
  const qt::PrintOutcome outcome =
      qt::WritePdf(*ui.Prints()[0].pages, QString::fromStdString(file));
  ASSERT_EQ(outcome.first, report::PrintAnswer::Printed) << outcome.second;
  const test::CommandRun text = test::RunCommandLine("pdftotext -layout '" + file + "' -");
  ASSERT_EQ(text.status, 0) << "pdftotext (poppler-utils) is needed: scripts/install-deps.sh";
  for (const char* shown : {"People", "Report Date", "Name", "Amount", "walter", "1,234.00", "Anna",
                            "2,000.50", "Bert", "Total", "3,239.50", "Page 1"}) {
    EXPECT_NE(text.output.find(shown), std::string::npos) << shown << " in\n" << text.output;
  }
}

TEST_F(PageOutputTest, AFileThatCannotBeWrittenIsAFailureWithItsName) {
  const report::PageImageQueue pages = SchedulePages(report::FixedTextMeasure());
  const qt::PrintOutcome outcome = qt::WritePdf(pages, "/nonexistent-folder/schedule.pdf");
  EXPECT_EQ(outcome.first, report::PrintAnswer::Failed);
  EXPECT_NE(outcome.second.find("/nonexistent-folder/schedule.pdf"), std::string::npos);
}

TEST_F(PageOutputTest, WithoutAPrinterThePrintAnswersNoPrinter) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this desktop has a printer";
  const report::PageImageQueue pages = SchedulePages(report::FixedTextMeasure());
  EXPECT_EQ(qt::PrintOnPaper(pages, nullptr).first, report::PrintAnswer::NoPrinter);
}

}  // namespace
}  // namespace vx
