// Every task report run as the user runs it (its criteria, the preview, Print), its pages then
// written as a PDF file by the Qt front end on the offscreen platform and read back with
// poppler's pdftotext and pdfinfo.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "framework/file_manager.h"
#include "frontend/qt/page_output.h"
#include "frontend/qt/page_painter.h"
#include "program/reports/schedule_reports.h"
#include "runtime/dates.h"
#include "runtime/pictures.h"
#include "runtime/report/text_measure.h"
#include "support/command_run.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

// Monday 15 June 2026 and the two days after it.
const std::int32_t kMonday = DATE(6, 15, 2026);

class ScheduleReportPdfTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (!QCoreApplication::instance()) {
      const char* was = std::getenv("QT_QPA_PLATFORM");
      const std::string previous = was ? was : "";
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      app_ = std::make_unique<QApplication>(argc_, argv_);
      was ? setenv("QT_QPA_PLATFORM", previous.c_str(), 1) : unsetenv("QT_QPA_PLATFORM");
    }
    measure_ = std::make_unique<qt::QtTextMeasure>();
    report::SetTextMeasure(measure_.get());
    GLO_DATEFORMAT = "d6";  // the user's dates as 15/06/2026
    TMP_DATESELECT = TMP_CATEGORYSELECT = "";
    TMP_CATEGORYSELECTED = TMP_ORDERSELECT = "";
    TMP_DATEFROM = TMP_DATETO = 0;
    REPORTINCLUDEFUTUREOCCURANCES = 0;

    ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
    for (const char* name : {"Home", "Work"}) {
      CAT.Category = name;
      ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
    }
    ACCESS_CATEGORIES->Close();
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    Store("Back up the accounts", "Work", kMonday, "Custom", "Every night, before the office.");
    Store("Water the plants", "Home", kMonday + 2, "Once", "");
    SCH.Disabled = SCH.Completed = 1;
    Store("Renew the licence", "Work", kMonday + 1, "Once", "", true);
    ACCESS_SCHEDULE->Close();
  }
  void TearDown() override {
    report::SetTextMeasure(nullptr);
    WindowTest::TearDown();
    app_.reset();
  }

  static void Store(const char* description, const char* category, std::int32_t date,
                    const char* type, const char* message, bool done = false) {
    SCH = SCHEDULE_RECORD{};
    SCH.TaskType = "Run Program";
    SCH.Description = description;
    SCH.Category = category;
    SCH.Command = "/usr/bin/true";
    SCH.ScheduleType = type;
    if (std::string(type) == "Custom") {
      SCH.Every = 1;
      SCH.EveryType = "Days";
    }
    SCH.Date = date;
    SCH.Time = MakeTime(9, 30);
    SCH.Message = message;
    SCH.Disabled = SCH.Completed = done ? 1 : 0;
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  }

  // Runs the report, lets `drive` answer its windows up to the preview, presses Print there
  // and writes the printed pages as a PDF file; answers its text (pdftotext -layout) and sets
  // `pages` from pdfinfo.
  std::string ReportText(TestDriver& ui, void (*procedure)(), const std::function<void()>& drive,
                         std::string& pages) {
    ui.Start(procedure);
    drive();
    try {
      ui.WaitWindow("Print Preview").Control("&Print").Press();
    } catch (const std::exception& e) {
      for (const SeenRequest& m : ui.Messages()) ADD_FAILURE() << "box: " << m.text;
      for (const std::string& t : ui.OpenTitles()) ADD_FAILURE() << "open: " << t;
      for (const std::string& h : halts_) ADD_FAILURE() << "halt: " << h;
      for (const auto& b : reporter_.shown) ADD_FAILURE() << "error: " << b.text;
      throw;
    }
    ui.Finish();
    if (ui.Prints().size() != 1) return "(nothing printed)";
    const std::string file = (std::filesystem::current_path() / "report.pdf").string();
    const qt::PrintOutcome written =
        qt::WritePdf(*ui.Prints()[0].pages, QString::fromStdString(file));
    if (written.first != report::PrintAnswer::Printed) return written.second;
    const test::CommandRun info = test::RunCommandLine("pdfinfo '" + file + "'");
    const std::size_t at = info.output.find("Pages:");
    pages = at == std::string::npos ? "?" : std::to_string(std::atoi(info.output.c_str() + at + 6));
    return test::RunCommandLine("pdftotext -layout '" + file + "' -").output;
  }

  // The criteria: a range, or every task, and the order when one is given; then Yes to the
  // preview question.
  static void Criteria(TestDriver& ui, bool range, bool later_runs, const char* order = nullptr) {
    DriverWindow w = ui.WaitWindow("Report Criteria");
    if (order) w.Control("Order").Choose(order);
    w.Control("Date Range").Choose(range ? "Selected" : "All");  // not the last report's
    if (range) {
      w.Control("From:").Type(FORMAT(kMonday, "@D6"));
      w.Control("To:").Type(FORMAT(kMonday + 2, "@D6"));
      w.Control("Include future occurances of tasks").Tick(later_runs);
    }
    w.Control("&OK").Press();
    EXPECT_EQ(ui.WaitMessage(BUTTON_YES).text, "Do you wish to PREVIEW this Report?");
  }

 private:
  int argc_ = 1;
  char name_[14] = "test_frontend";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
  std::unique_ptr<qt::QtTextMeasure> measure_;
};

TEST_F(ScheduleReportPdfTest, EachReportPrintsItsTitleHeadingsAndTasks) {
  struct Case {
    const char* name;
    void (*procedure)();
    std::function<void(TestDriver&)> drive;
    std::vector<std::string> shown;
    std::vector<std::string> not_shown;
    const char* pages;
  };
  const std::string monday = FORMAT(kMonday, "@D6");
  const std::string wednesday = FORMAT(kMonday + 2, "@D6");
  const Case cases[] = {
      {"all in date order",
       Print_SCH_AllDateOrder,
       [](TestDriver&) {},
       {"Schedule", "Task Type", "Category", "Description", "Command", "Message", "Schedule Type",
        "Date", "Time", "Advance Warning", "Back up the accounts",
        "Every night, before the office.", "Water the plants", monday, wednesday, "9:30AM",
        "Page 1"},
       {},
       "1"},
      {"all in category order",
       Print_SCH_AllCategoryOrder,
       [](TestDriver&) {},
       {"Schedule", "Task Type", "Advance Warning", "Renew the licence", "Water the plants", monday,
        "Page 1"},
       {},
       "1"},
      {"one category",
       Print_SCH_OneCategory,
       [](TestDriver& ui) {
         DriverWindow picker = ui.WaitWindow("Select a Category");
         picker.ControlNumber(1).ChooseRow(2);
         picker.Control("Select").Press();
       },
       {"Work", "Date", "Time", "Description", "Back up the accounts", "Renew the licence", monday,
        "Page 1"},
       {"Water the plants"},
       "1"},
      {"schedule in brief",
       PrintScheduleBrief,
       [](TestDriver& ui) { Criteria(ui, false, false); },
       {"Schedule in Brief", "Date", "Time", "Category", "Description", "Done",
        "Back up the accounts", "Renew the licence", monday, "Page 1"},
       {"Complete"},
       "1"},
      {"checklist",
       PrintSchedule,
       [](TestDriver& ui) { Criteria(ui, false, false); },
       {"Schedule", "Monday June 15, 2026", "Wednesday June 17, 2026", "Time", "Category",
        "Description", "Done", "Actual Start", "Actual End", "Initials", "Page 1", "Page 3"},
       {},
       "3"},
      {"complete schedule in brief",
       PrintScheduleBrief,
       [](TestDriver& ui) { Criteria(ui, true, true); },
       {"Complete Schedule in Brief", "Date", "Description", "Back up the accounts", monday,
        FORMAT(kMonday + 1, "@D6"), wednesday, "Page 1"},
       {},
       "1"},
      {"complete schedule",
       PrintSchedule,
       [](TestDriver& ui) { Criteria(ui, true, true); },
       {"Complete Schedule", "Tuesday June 16, 2026", "Actual Start", "Back up the accounts",
        "Page 3"},
       {},
       "3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestDriver ui;
    std::string pages;
    const std::string text = ReportText(
        ui, c.procedure, [&] { c.drive(ui); }, pages);
    for (const std::string& shown : c.shown) {
      EXPECT_NE(text.find(shown), std::string::npos) << shown << " in\n" << text;
    }
    for (const std::string& hidden : c.not_shown) {
      EXPECT_EQ(text.find(hidden), std::string::npos) << hidden << " in\n" << text;
    }
    EXPECT_EQ(pages, c.pages);
  }
}

// In multi-user mode the reports print each task by the current user's own state of it, in the
// order of the user's next runs (within each category in category and date order), the date
// range chooses by it and the later runs start from it: ann moved "Water the plants" from
// Wednesday to the Sunday before and "Back up the accounts" from Monday to Tuesday, after
// "Renew the licence"; bob's row of another task is not hers.
TEST_F(ScheduleReportPdfTest, InMultiUserModeEachTaskPrintsByTheUsersOwnState) {
  std::int32_t plants = 0, accounts = 0;
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  ACCESS_SCHEDULE->Set(SCH_KEYDATE);
  while (ACCESS_SCHEDULE->TryNext() == 0) {
    if (SCH.Description == "Water the plants") plants = SCH.ID;
    if (SCH.Description == "Back up the accounts") accounts = SCH.ID;
  }
  ACCESS_SCHEDULE->Close();
  ASSERT_NE(plants, accounts);
  ASSERT_EQ(ACCESS_VXUSD->Open(), 0);
  US = VXUSD_RECORD{};
  US.USER = "ann";
  US.ID = plants;
  US.DATE = kMonday - 1;
  US.TIME = MakeTime(18, 45);
  ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);
  US.ID = accounts;
  US.DATE = kMonday + 1;
  US.TIME = MakeTime(10, 15);
  ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);
  US.USER = "bob";
  US.ID = accounts;
  US.DATE = kMonday + 10;
  ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);
  ACCESS_VXUSD->Close();
  MULTIUSER = 1;
  GLO_USER = "ann";
  struct Restore {
    ~Restore() {
      MULTIUSER = 0;
      GLO_USER.clear();
    }
  } restore;

  const std::string sunday = FORMAT(kMonday - 1, "@D6");
  std::string pages;
  TestDriver listing;
  const std::string all = ReportText(
      listing, Print_SCH_AllDateOrder, [] {}, pages);
  EXPECT_NE(all.find(sunday), std::string::npos) << all;
  EXPECT_LT(all.find("Water the plants"), all.find("Back up the accounts")) << all;
  EXPECT_NE(all.find("6:45PM"), std::string::npos) << all;
  EXPECT_EQ(all.find(FORMAT(kMonday + 2, "@D6")), std::string::npos) << all;   // the team's date
  EXPECT_EQ(all.find(FORMAT(kMonday + 10, "@D6")), std::string::npos) << all;  // bob's

  TestDriver brief;
  const std::string ranged = ReportText(
      brief, PrintScheduleBrief, [&] { Criteria(brief, true, false); }, pages);
  EXPECT_NE(ranged.find("Back up the accounts"), std::string::npos) << ranged;
  EXPECT_EQ(ranged.find("Water the plants"), std::string::npos) << ranged;  // Sunday for ann

  TestDriver by_category;
  const std::string grouped = ReportText(
      by_category, PrintScheduleBrief,
      [&] { Criteria(by_category, false, false, "Category/Date"); }, pages);
  EXPECT_LT(grouped.find("Water the plants"), grouped.find("Renew the licence")) << grouped;
  EXPECT_LT(grouped.find("Renew the licence"), grouped.find("Back up the accounts")) << grouped;

  // Ann's runs of the daily task in the range are Tuesday's and Wednesday's, at her time; the
  // plants' one run is on her Sunday, before the range.
  TestDriver complete;
  const std::string later = ReportText(
      complete, PrintScheduleBrief, [&] { Criteria(complete, true, true); }, pages);
  std::size_t accounts_runs = 0;
  for (std::size_t at = later.find("Back up the accounts"); at != std::string::npos;
       at = later.find("Back up the accounts", at + 1)) {
    ++accounts_runs;
  }
  EXPECT_EQ(accounts_runs, 2u) << later;
  EXPECT_NE(later.find("10:15AM"), std::string::npos) << later;
  EXPECT_EQ(later.find("Water the plants"), std::string::npos) << later;
}

}  // namespace
}  // namespace vx
