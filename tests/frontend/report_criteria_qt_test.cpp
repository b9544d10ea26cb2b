// The "Report Criteria" window as the Qt renderer shows it: its three radio groups, the range's
// fields greyed until "Selected", and a picture of it kept beside the test's run.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QLineEdit>
#include <QRadioButton>

#include <filesystem>
#include <string>

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

}  // namespace
}  // namespace vx
