// The "Report Criteria" window as the Qt renderer shows it: its three radio groups with the
// chosen radio of each checked, the range's fields greyed until "Selected", and a picture of it
// kept beside the test's run.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include <filesystem>
#include <map>
#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/error_class.h"
#include "program/reports/report_parameters.h"
#include "support/temp_folder.h"
#include "tests/frontend/qt_test_support.h"

namespace vx {
namespace {

class ReportCriteriaQtTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    screenshot_ = (old_folder_ / "report_criteria_screenshot.png").string();
    VX_Files_Load();
    errors_.Init();
    VX_FILES_INIT(&errors_, nullptr);
  }
  void TearDown() override {
    VX_Files_Unload();
    TempFolderTest::TearDown();
  }

  const std::filesystem::path old_folder_ = std::filesystem::current_path();
  std::string screenshot_;
  ErrorClass errors_;
};

TEST_F(ReportCriteriaQtTest, ShowsTheRadiosAndGreysTheRangeUntilSelected) {
  REQUIRE_QT_DISPLAY();
  int radios = 0;
  bool range_greyed = false, saved = false;
  const int status =
      test::RunAsUser([] { ReportParameters(); },
                      [&] {
                        qt::QtWindow* window = test::WaitShown("Report Criteria");
                        ASSERT_NE(window, nullptr);
                        test::OnGui([&] {
                          radios = window->findChildren<QRadioButton*>().size();
                          bool all_greyed = true;
                          for (QLineEdit* e : window->findChildren<QLineEdit*>()) {
                            if (e->isEnabled()) all_greyed = false;
                          }
                          range_greyed = all_greyed;
                          saved = window->grab().save(QString::fromStdString(screenshot_));
                        });
                        test::OnGui([&] { window->close(); });
                      });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(radios, 10);  // All/Selected twice, six orders
  EXPECT_TRUE(range_greyed) << "the dates and the category wait for \"Selected\"";
  EXPECT_TRUE(saved) << screenshot_;
}

// The drawn window checks the radio of each group's choice: at the first opening (the range and
// category globals start as "'All'", the dictionary's value, which names no radio), blank, and
// choices kept from an earlier opening.
TEST_F(ReportCriteriaQtTest, EachGroupChecksTheRadioOfItsValue) {
  REQUIRE_QT_DISPLAY();
  struct Case {
    const char* name;
    const char *dates, *category, *order;        // the globals as the window opens
    std::map<std::string, std::string> checked;  // group title -> its checked radio
  };
  const Case cases[] = {
      {"the program's start values",
       "'All'",
       "'All'",
       "",
       {{"Date Range", "All"}, {"Category", "All"}, {"Order", "Date"}}},
      {"blank", "", "", "", {{"Date Range", "All"}, {"Category", "All"}, {"Order", "Date"}}},
      {"choices kept from before",
       "Selected",
       "Selected",
       "Task Type",
       {{"Date Range", "Selected"}, {"Category", "Selected"}, {"Order", "Task Type"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::map<std::string, std::string> checked;
    const int status = test::RunAsUser(
        [&c] {
          TMP_DATESELECT = c.dates;
          TMP_CATEGORYSELECT = c.category;
          TMP_ORDERSELECT = c.order;
          ReportParameters();
        },
        [&] {
          qt::QtWindow* window = test::WaitShown("Report Criteria");
          ASSERT_NE(window, nullptr);
          test::OnGui([&] {
            for (QGroupBox* group : window->findChildren<QGroupBox*>()) {
              std::string& radio = checked[group->title().toStdString()];
              for (QRadioButton* r : group->findChildren<QRadioButton*>()) {
                if (r->isChecked()) radio += (radio.empty() ? "" : ", ") + r->text().toStdString();
              }
            }
          });
          test::OnGui([&] { window->close(); });
        });
    EXPECT_EQ(status, 0);
    for (const auto& [group, radio] : c.checked) EXPECT_EQ(checked[group], radio) << group;
  }
}

}  // namespace
}  // namespace vx
