// The two to-do reports run on a real TODO table, their pages written as PDF files by the Qt
// front end and read back with pdftotext: each holds its title and its rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>
#include <string>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/todo_tables.h"
#include "frontend/qt/page_output.h"
#include "program/common/main_procedures.h"
#include "program/reports/todo_reports.h"
#include "program/schedule/category_windows.h"
#include "support/command_run.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

class ToDoReportsPdfTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterMainProcedure("SelectCategories", SelectCategories);
    if (!QCoreApplication::instance()) {
      // Writing a PDF needs fonts, not a display.
      const char* was = std::getenv("QT_QPA_PLATFORM");
      const std::string previous = was ? was : "";
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      app_ = std::make_unique<QApplication>(argc_, argv_);
      if (was) {
        setenv("QT_QPA_PLATFORM", previous.c_str(), 1);
      } else {
        unsetenv("QT_QPA_PLATFORM");
      }
    }
    ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
    for (const char* name : {"General", "Home"}) {
      CAT.Category = name;
      ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
    }
    ACCESS_CATEGORIES->Close();
    ASSERT_EQ(ACCESS_TODO->Open(), 0);
    struct Item {
      const char* text;
      int priority, done;
      const char* category;
      const char* notes;
      const char* resolution;
    };
    for (const Item& item : {Item{"Paint the fence", 3, 0, "Home", "White, two coats", ""},
                             Item{"Fix the tap", 3, 1, "Home", "Kitchen", "New washer fitted"},
                             Item{"Send invoices", 1, 0, "General", "", ""}}) {
      TDO = TODO_RECORD{};
      TDO.ToDo = item.text;
      TDO.Priority = static_cast<std::uint8_t>(item.priority);
      TDO.Done = static_cast<std::uint8_t>(item.done);
      TDO.Category = item.category;
      TDO.Notes = item.notes;
      TDO.Resolution = item.resolution;
      if (item.done) TDO.CompletionDate = TODAY();
      ASSERT_EQ(ACCESS_TODO->Open(), 0);
      ASSERT_EQ(ACCESS_TODO->Insert(), 0);
      ACCESS_TODO->Close();
    }
    ACCESS_TODO->Close();
  }
  void TearDown() override {
    RegisterMainProcedure("SelectCategories", {});
    WindowTest::TearDown();
    app_.reset();
  }

  // The text of the pages the report printed (answered: print straight, title as typed).
  std::string PrintedText(std::function<void()> report, std::string_view title) {
    ui_.AnswerMessage(BUTTON_NO);  // no preview: straight to the printer
    ui_.Start(std::move(report));
    DriverWindow dialog = ui_.WaitWindow("Set Report Title");
    dialog.Control("Report Title").Type(title);
    dialog.Control("OK").Press();
    ui_.Finish();
    const std::vector<SeenRequest> prints = ui_.Prints();
    EXPECT_EQ(prints.size(), 1u);
    if (prints.empty() || !prints[0].pages) return {};
    const std::string file = (root() / "report.pdf").string();
    const qt::PrintOutcome outcome = qt::WritePdf(*prints[0].pages, QString::fromStdString(file));
    EXPECT_EQ(outcome.first, report::PrintAnswer::Printed) << outcome.second;
    const test::CommandRun text = test::RunCommandLine("pdftotext -layout '" + file + "' -");
    EXPECT_EQ(text.status, 0) << "pdftotext (poppler-utils) is needed: scripts/install-deps.sh";
    return text.output;
  }

 private:
  int argc_ = 1;
  char name_[14] = "test_frontend";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

// Where each text stands in the page text (npos when missing).
std::size_t At(const std::string& text, const char* what) { return text.find(what); }

TEST_F(ToDoReportsPdfTest, ByPriorityListsEveryItemByPriorityThenDoneThenText) {
  const std::string text = PrintedText(PrintToDoByPriority, "");  // blank: the report's own
  for (const char* shown : {"To Do List - By Priority", "Priority", "Category", "To Do", "Done",
                            "Send invoices", "White, two coats", "Page 1"}) {
    EXPECT_NE(At(text, shown), std::string::npos) << shown << " in\n" << text;
  }
  EXPECT_LT(At(text, "Send invoices"), At(text, "Paint the fence"));
  EXPECT_LT(At(text, "Paint the fence"), At(text, "Fix the tap")) << "open before done";
}

TEST_F(ToDoReportsPdfTest, ByCategoryListsThePickedCategoryUnderItsTitle) {
  std::string text;
  {
    ui_.AnswerMessage(BUTTON_NO);
    ui_.Start(PrintToDoByCategory);
    DriverWindow picker = ui_.WaitWindow("Select a Category");
    DriverControl list = picker.ControlNumber(1);
    for (int n = 1; list.Kind() != ControlType::List; ++n) list = picker.ControlNumber(n);
    list.ChooseRow(2);  // "Home"
    picker.Control("Select").Press();
    DriverWindow dialog = ui_.WaitWindow("Set Report Title");
    EXPECT_EQ(dialog.Control("Report Title").Value(), "To Do List - Home");
    dialog.Control("Report Title").Type("");  // blanked: the category's own title
    dialog.Control("OK").Press();
    ui_.Finish();
    const std::vector<SeenRequest> prints = ui_.Prints();
    ASSERT_EQ(prints.size(), 1u);
    const std::string file = (root() / "category.pdf").string();
    ASSERT_EQ(qt::WritePdf(*prints[0].pages, QString::fromStdString(file)).first,
              report::PrintAnswer::Printed);
    text = test::RunCommandLine("pdftotext -layout '" + file + "' -").output;
  }
  for (const char* shown : {"To Do List - Home", "Paint the fence", "Fix the tap",
                            "White, two coats", "Kitchen", "New washer fitted"}) {
    EXPECT_NE(At(text, shown), std::string::npos) << shown << " in\n" << text;
  }
  EXPECT_EQ(At(text, "Send invoices"), std::string::npos) << "another category's item";
}

TEST_F(ToDoReportsPdfTest, CancelInSetReportTitlePrintsNothing) {
  ui_.AnswerMessage(BUTTON_NO);
  ui_.Start(PrintToDoByPriority);
  DriverWindow dialog = ui_.WaitWindow("Set Report Title");
  dialog.Control("Cancel").Press();
  ui_.Finish();
  EXPECT_TRUE(ui_.Prints().empty());
}

}  // namespace
}  // namespace vx
