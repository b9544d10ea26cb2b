// The "Report Criteria" window and the criteria it leaves for the task reports.
#include "program/reports/report_parameters.h"

#include <gtest/gtest.h>

#include <string>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/globals.h"
#include "framework/request_globals.h"
#include "program/common/config_store.h"
#include "program/reports/report_criteria.h"
#include "runtime/dates.h"
#include "support/test_driver.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

using test::Shown;

const std::int32_t kToday = DATE(6, 12, 2026);

class ReportParametersTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // The criteria outlive a report: each test starts as the program does.
    TMP_DATESELECT = TMP_CATEGORYSELECT = "";
    TMP_CATEGORYSELECTED = TMP_ORDERSELECT = "";
    TMP_DATEFROM = TMP_DATETO = GLO_DATEFROM = GLO_DATETO = 0;
    GLO_CATEGORY = "";
    GLOBALFILTER = "";
    GLOBALORDER = "";
    REPORTINCLUDEFUTUREOCCURANCES = 0;
    ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
    for (const char* name : {"Work", "Home"}) {
      CAT.Category = name;
      ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
    }
    ACCESS_CATEGORIES->Close();
  }

  DriverWindow Open() {
    ui_.Start([this] {
      ReportParameters();
      response_ = GLOBALRESPONSE;
    });
    return ui_.WaitWindow("Report Criteria");
  }

  long response_ = 0;
};

// The range and category globals start as the dictionary gives them, "'All'" with its quotes,
// which names neither radio: the window opens on "All" all the same, and keeps it.
TEST_F(ReportParametersTest, TheGlobalsStartValuesOpenOnAll) {
  TMP_DATESELECT = TMP_CATEGORYSELECT = "'All'";
  DriverWindow w = Open();
  EXPECT_EQ(w.Control("Date Range").Choice(), 1) << "All";
  EXPECT_EQ(w.Control("Category").Choice(), 1) << "All";
  w.Control("Cancel").Press();
  ui_.Finish();
  EXPECT_EQ(TMP_DATESELECT.str(), "All");
  EXPECT_EQ(TMP_CATEGORYSELECT.str(), "All");
}

// The first opening: every task, today to a month on, in date order; the range's fields, the
// later-runs box and the category list wait until their radio is "Selected".
TEST_F(ReportParametersTest, FirstOpeningShowsTheNextMonthAndFollowsTheRadios) {
  DriverWindow w = Open();
  EXPECT_EQ(w.Control("From:").Value(), Shown(kToday));
  EXPECT_EQ(w.Control("To:").Value(), Shown(kToday + 30));
  EXPECT_EQ(w.Control("Date Range").Choice(), 1) << "All";
  EXPECT_EQ(w.Control("Category").Choice(), 1) << "All";
  EXPECT_EQ(w.Control("Order").Choice(), 1) << "Date";
  DriverControl future = w.Control("Include future occurances of tasks");
  DriverControl category = w.ControlOf(TMP_CATEGORYSELECTED);
  EXPECT_TRUE(w.Control("From:").Disabled());
  EXPECT_TRUE(future.Disabled());
  EXPECT_TRUE(category.Disabled());

  w.Control("Date Range").Choose("Selected");
  EXPECT_FALSE(w.Control("From:").Disabled());
  EXPECT_FALSE(w.Control("To:").Disabled());
  EXPECT_FALSE(future.Disabled());
  EXPECT_TRUE(category.Disabled());
  w.Control("Category").Choose("Selected");
  EXPECT_FALSE(category.Disabled());
  w.Control("Date Range").Choose("All");
  EXPECT_TRUE(w.Control("To:").Disabled());
  EXPECT_FALSE(category.Disabled());
  w.Control("Cancel").Press();
  ui_.Finish();
}

// OK's criteria for each combination of the radios, and the later-runs switch, which a report
// without a date range never gets while the settings keep the box as the user left it.
TEST_F(ReportParametersTest, OkTurnsTheChoicesIntoOrderFilterAndRange) {
  struct Case {
    const char* dates;
    const char* category;
    const char* order;
    const char* filter;
    const char* key;
    bool range_set;
  };
  const Case cases[] = {
      {"All", "All", "Category", "", "Sch:KeyCategory", false},
      {"All", "Selected", "Adv. Warn", "Sch:Category=Glo:Category", "Sch:KeyAdvanced", false},
      {"Selected", "All", "Task Type", "Sch:Date>=GLO:DateFrom AND Sch:Date<=GLO:DateTo",
       "Sch:KeyTaskType", true},
      {"Selected", "Selected", "Category/Date",
       "Sch:Category=Glo:Category AND Sch:Date>=GLO:DateFrom AND Sch:Date<=GLO:DateTo",
       "Sch:KeyCategoryDate", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.dates) + "/" + c.category + "/" + c.order);
    GLO_DATEFROM = GLO_DATETO = 7;  // a range from an earlier report
    GLO_CATEGORY = "";
    DriverWindow w = Open();
    w.Control("Date Range").Choose("Selected");
    w.Control("From:").Type(Shown(DATE(6, 15, 2026)));
    w.Control("To:").Type(Shown(DATE(6, 21, 2026)));
    w.Control("Include future occurances of tasks").Tick();
    w.Control("Date Range").Choose(c.dates);
    w.Control("Category").Choose("Selected");
    w.ControlOf(TMP_CATEGORYSELECTED).Type("Home");
    w.Control("Category").Choose(c.category);
    w.Control("Order").Choose(c.order);
    w.Control("&OK").Press();
    ui_.Finish();
    EXPECT_EQ(response_, RequestCompleted);
    EXPECT_EQ(GLOBALFILTER.str(), c.filter);
    EXPECT_EQ(GLOBALORDER.str(), c.key);
    EXPECT_EQ(GLO_CATEGORY.str(), std::string(c.category) == "Selected" ? "Home" : "");
    EXPECT_EQ(GLO_DATEFROM, c.range_set ? DATE(6, 15, 2026) : 7);
    EXPECT_EQ(GLO_DATETO, c.range_set ? DATE(6, 21, 2026) : 7);
    EXPECT_EQ(REPORTINCLUDEFUTUREOCCURANCES, c.range_set ? 1 : 0);
    EXPECT_EQ(GetConfigValue("RIFO"), "1");
    EXPECT_FALSE(ReportCriteriaCancelled());
    // The next opening shows these choices again.
    REPORTINCLUDEFUTUREOCCURANCES = 0;
  }
}

// Cancel leaves neither order nor filter (the reports' sign not to print) and stores nothing; a
// range that ends before it starts is refused with the window kept open.
TEST_F(ReportParametersTest, CancelClearsTheCriteriaAndAnInvertedRangeIsRefused) {
  GLOBALORDER = "Sch:KeyDate";
  GLOBALFILTER = "Sch:Category=Glo:Category";
  DriverWindow w = Open();
  w.Control("Date Range").Choose("Selected");
  w.Control("From:").Type(Shown(DATE(6, 21, 2026)));
  w.Control("To:").Type(Shown(DATE(6, 15, 2026)));
  ui_.AnswerMessage(BUTTON_OK);
  w.Control("&OK").Press();
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].text, "The \"From\" date lies after the \"To\" date.");
  EXPECT_TRUE(w.Open());
  EXPECT_EQ(GLOBALORDER.str(), "Sch:KeyDate");
  w.Control("Cancel").Press();
  ui_.Finish();
  EXPECT_EQ(response_, RequestCancelled);
  EXPECT_TRUE(ReportCriteriaCancelled());
  EXPECT_EQ(GetConfigValue("RIFO"), "");
}

// The "..." buttons open the date picker on the date beside them.
TEST_F(ReportParametersTest, TheCalendarButtonsPickTheirDate) {
  DriverWindow w = Open();
  w.Control("Date Range").Choose("Selected");
  DriverControl to_pick = w.ControlNumber(w.Control("To:").Number() + 1);
  ASSERT_EQ(to_pick.Text(), "...");
  to_pick.Press();
  DriverWindow calendar = ui_.WaitWindow("Select \"To\" Date");
  calendar.Close();
  ui_.WaitClosed(calendar);
  EXPECT_EQ(w.Control("To:").Value(), Shown(kToday + 30));
  w.Control("Cancel").Press();
  ui_.Finish();
}

// What the reports read back from the criteria: the key of either table by its order name, and
// the filter over the work file's fields.
TEST(ReportCriteria, OrderKeysAndTheWorkFileFilter) {
  const std::pair<const char*, const char*> orders[] = {
      {"Sch:KeyCategoryDate", "KeyCategoryDate"},
      {"SCH:KEYTASKNAME", "KeyTaskName"},
      {"Sch:KeyAdvanced", "KeyAdvanced"},
      {"", "KeyDate"},
      {"Sch:NoSuchKey", "KeyDate"},
  };
  for (const auto& [order, key] : orders) {
    GLOBALORDER = order;
    EXPECT_EQ(ReportOrderKeyOf(SCHEDULE_TABLE()).name, key) << order;
    EXPECT_EQ(ReportOrderKeyOf(SCHEDULEWORKFILE_TABLE()).name, key) << order;
  }
  GLOBALFILTER = "Sch:Category=Glo:Category AND Sch:Date>=GLO:DateFrom AND Sch:Date<=GLO:DateTo";
  EXPECT_EQ(WorkFileReportFilter(),
            "SCW:CATEGORY=GLO:CATEGORY AND SCW:DATE>=GLO:DATEFROM AND SCW:DATE<=GLO:DATETO");
  GLOBALORDER = "";
  GLOBALFILTER = "";
}

}  // namespace
}  // namespace vx
