// Defaults of new records and the to-do priority check.
#include <gtest/gtest.h>

#include <vector>

#include "datadll/dictionary/field_checks.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/prime_fields.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/user_tables.h"
#include "framework/error_class.h"
#include "runtime/dates.h"
#include "test_support.h"
#include "tests/support/fixed_clock.h"

namespace vx {
namespace {

class PrimeFieldsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetClockSource(&clock_); }
  void TearDown() override {
    SetClockSource(nullptr);
    GLO_USER.clear();
  }
  test::FixedClock clock_{80000, 4320001};
};

TEST_F(PrimeFieldsTest, ANewTaskStartsDisabledOwnedByTheUserAndStampedNow) {
  GLO_USER = "carol";
  SCH = SCHEDULE_RECORD{};
  PrimeSCHEDULE();
  EXPECT_EQ(SCH.User.str(), "carol");
  EXPECT_EQ(SCH.Disabled, 1);
  EXPECT_EQ(SCH.LastChangeDate, 80000);
  EXPECT_EQ(SCH.LastChangeTime, 4320001);
}

TEST_F(PrimeFieldsTest, StepsAndLinksTakeTheirOwnerFromTheParentBuffer) {
  SCH.ID = 17;
  SCH.Category = "Backups";
  VXT.WIZ_ID = 5;
  PrimeSCRIPTING();
  PrimeSYNCSCRIPTING();
  PrimeSCRIPTTEMPLATEDETAILS();
  PrimeMSGLINK();
  EXPECT_EQ(SCR.ID, 17);
  EXPECT_EQ(SSCR.ID, 17);
  EXPECT_EQ(VXD.WIZ_ID, 5);
  EXPECT_EQ(ML.Category.str(), "Backups");
}

TEST_F(PrimeFieldsTest, OtherDefaults) {
  PrimeVXUSD();
  PrimeHOLIDAYS();
  PrimeMESSAGES();
  EXPECT_EQ(US.DISABLED, 1);
  EXPECT_EQ(HOL.HolidayDate, 80000);
  EXPECT_EQ(HOL.HolidayType.str(), "Annual");
  EXPECT_EQ(M_.MailType.str(), "Email");
}

TEST_F(PrimeFieldsTest, ANewHotKeyTypesTextAndBelongsToNoTask) {
  SCH.ID = 42;  // whatever task this thread read last must not be taken over
  PrimeSYSHOTKEYS();
  EXPECT_EQ(HOT.ID, 0);
  EXPECT_EQ(HOT.HotKey.str(), "CtrlShift");
  EXPECT_EQ(HOT.Active, 1);
  EXPECT_EQ(HOT.Action.str(), "Text");
  EXPECT_EQ(HOT.TextType.str(), "Type");
}

TEST(FieldChecks, ToDoPriorityMustLieBetweenOneAndTen) {
  ErrorClass errors;
  errors.Init();
  test::CapturingReporter reporter;
  errors.SetReporter(&reporter);
  struct Case {
    std::uint8_t priority;
    bool ok;
  };
  for (const Case c : {Case{0, false}, Case{1, true}, Case{5, true}, Case{10, true},
                       Case{11, false}, Case{255, false}}) {
    EXPECT_EQ(CheckToDoPriority(c.priority, "Priority", errors), c.ok) << int(c.priority);
  }
  ASSERT_EQ(reporter.shown.size(), 3u);
  EXPECT_EQ(reporter.shown[0].caption, "Range Error");
  EXPECT_EQ(reporter.shown[0].text, "The value of Priority must be between 1 and 10.");
  CheckToDoPriority(0, "STdo:Priority", errors);
  EXPECT_EQ(reporter.shown.back().text, "The value of STdo:Priority must be between 1 and 10.");
}

}  // namespace
}  // namespace vx
