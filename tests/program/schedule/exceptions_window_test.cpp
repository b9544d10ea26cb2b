// The "Exceptions" window driven as a user would: the day checks and SCH.ExceptOther, the
// exclusive weekend/weekday checks, the time range, the shift choice and the holiday button.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/utility/colour_tab_class.h"
#include "framework/request_globals.h"
#include "program/common/main_procedures.h"
#include "program/schedule/exceptions_window.h"
#include "runtime/dates.h"
#include "runtime/locale_formats.h"
#include "runtime/threads.h"
#include "support/test_driver.h"

namespace vx {
namespace {

class ExceptionsWindowTest : public ::testing::Test {
 protected:
  ~ExceptionsWindowTest() override { RegisterMainProcedure("BrowseHolidays", {}); }

  // Opens the window on a task set up by `prepare` (the buffer belongs to the window's thread).
  DriverWindow Open(std::function<void(SCHEDULE_RECORD&)> prepare = {}) {
    ui_.Start([this, prepare = std::move(prepare)] {
      SCH = SCHEDULE_RECORD{};
      if (prepare) prepare(SCH);
      UpdateSchedule_ExceptionsWindow();
      task_ = SCH;
      response_ = CurrentResponse();
    });
    return ui_.WaitWindow("Exceptions");
  }
  void Finish(const DriverWindow& window) {
    ui_.WaitClosed(window);
    ui_.Finish();
  }
  std::string ExceptOther() const { return std::string(task_.ExceptOther.view().substr(0, 7)); }

  ScopedLocaleFormats layouts_{LocaleFormats{}};  // times as %H:%M
  TestDriver ui_;
  SCHEDULE_RECORD task_;
  long response_ = 0;
};

TEST_F(ExceptionsWindowTest, BlankTaskOpensWithSkipAndNoDaysAndCloseStoresTheTickedDays) {
  DriverWindow w = Open();
  EXPECT_EQ(w.Control("E&xception Action").Choice(), 1);
  for (const char* day :
       {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}) {
    EXPECT_EQ(w.Control(day).Value(), "0") << day;
  }
  // The tab being shown keeps its own colour; the other is greyed.
  EXPECT_EQ(w.Control("Overrides By Day").Get(Prop::Color), std::to_string(kOtherTabColour));
  EXPECT_EQ(w.Control("Standard").Get(Prop::Color), "-1");
  w.Control("Overrides By Day").Press();
  EXPECT_EQ(w.Control("Standard").Get(Prop::Color), std::to_string(kOtherTabColour));
  EXPECT_EQ(w.Control("Overrides By Day").Get(Prop::Color), "-1");
  w.Control("Tuesday").Tick();
  w.Control("Cl&ose").Press();
  Finish(w);
  EXPECT_EQ(ExceptOther(), "  Y    ");                // Sunday first, as the scheduler reads it
  EXPECT_EQ(task_.ShiftType, "Skip (to next valid");  // the part of the choice the field holds
  EXPECT_EQ(response_, RequestCompleted);
}

TEST_F(ExceptionsWindowTest, StoredFieldsShowAndOnlyCloseRewritesTheDays) {
  DriverWindow w = Open([](SCHEDULE_RECORD& t) {
    t.ExceptOther = "Y     Y";
    t.ShiftType = "Next day";
    t.ExceptTime = 1;
    t.ExceptTimeBegin = MakeTime(22, 0);
  });
  EXPECT_EQ(w.Control("E&xception Action").Choice(), 3);
  EXPECT_FALSE(w.Control("&Begin:").Disabled());
  EXPECT_EQ(w.Control("&Begin:").Value(), "22:00");
  EXPECT_EQ(w.Control("Sunday").Value(), "1");
  EXPECT_EQ(w.Control("Monday").Value(), "0");
  EXPECT_EQ(w.Control("Saturday").Value(), "1");
  w.Control("Overrides By Day").Press();
  w.Control("Sunday").Tick(false);
  w.Control("Standard").Press();
  w.Control("E&xception Action").Choose("Previous day");
  w.Control("Except &holidays").Tick();
  w.Close();  // the close box: the day checks are dropped, the other fields stay as changed
  Finish(w);
  EXPECT_EQ(ExceptOther(), "Y     Y");
  EXPECT_EQ(task_.ShiftType, "Previous day");
  EXPECT_EQ(task_.ExceptHolidays, 1);
  EXPECT_EQ(response_, RequestCancelled);
}

TEST_F(ExceptionsWindowTest, WeekendsAndWeekdaysExcludeEachOtherAndTheTimeRangeEnablesItsTimes) {
  DriverWindow w = Open();
  DriverControl weekends = w.Control("Except &weekends");
  DriverControl weekdays = w.Control("Except week&days");
  weekends.Tick();
  EXPECT_TRUE(weekdays.Disabled());
  EXPECT_THROW(weekdays.Tick(), std::logic_error);
  weekends.Tick(false);
  EXPECT_FALSE(weekdays.Disabled());
  weekdays.Tick();
  EXPECT_TRUE(weekends.Disabled());

  EXPECT_TRUE(w.Control("&Begin:").Disabled());
  EXPECT_TRUE(w.Control("&End:").Disabled());
  w.Control("Except &time range:").Tick();
  EXPECT_FALSE(w.Control("&Begin:").Disabled());
  w.Control("&Begin:").Type("22:00");
  w.Control("&End:").Type("06:30");
  w.Control("Except &time range:").Tick(false);
  EXPECT_TRUE(w.Control("&End:").Disabled());
  w.Control("Except &time range:").Tick();
  w.Control("Cl&ose").Press();
  Finish(w);
  EXPECT_EQ(task_.ExceptWeekdays, 1);
  EXPECT_EQ(task_.ExceptWeekends, 0);
  EXPECT_EQ(task_.ExceptTime, 1);
  EXPECT_EQ(task_.ExceptTimeBegin, MakeTime(22, 0));
  EXPECT_EQ(task_.ExceptTimeEnd, MakeTime(6, 30));
}

TEST_F(ExceptionsWindowTest, ATaskStoredWithWeekendsAndWeekdaysCanBeMended) {
  DriverWindow w = Open([](SCHEDULE_RECORD& t) {
    t.ExceptWeekends = 1;
    t.ExceptWeekdays = 1;
  });
  EXPECT_FALSE(w.Control("Except &weekends").Disabled());
  EXPECT_FALSE(w.Control("Except week&days").Disabled());
  w.Control("Except week&days").Tick(false);
  EXPECT_TRUE(w.Control("Except week&days").Disabled());
  w.Control("Cl&ose").Press();
  Finish(w);
  EXPECT_EQ(task_.ExceptWeekends, 1);
  EXPECT_EQ(task_.ExceptWeekdays, 0);
}

TEST_F(ExceptionsWindowTest, HolidaysIsGreyWithoutTheHolidayList) {
  DriverWindow w = Open();
  EXPECT_TRUE(w.Control("Ho&lidays").Disabled());
  w.Close();
  Finish(w);
}

TEST_F(ExceptionsWindowTest, HolidaysRunsTheHolidayListOnTheWindowsThreadAndRefreshes) {
  std::atomic<long> list_thread{0};
  RegisterMainProcedure("BrowseHolidays", [&] {
    SCH.ExceptHolidays = 1;  // stands for a change the list makes to the task
    list_thread = THREAD();
  });
  DriverWindow w = Open();
  w.Control("Ho&lidays").Press();
  ui_.WaitUntil([&] { return w.Control("Except &holidays").Value() == "1"; },
                "the window to show the change");
  EXPECT_EQ(list_thread, w.Thread());
  w.Control("Cl&ose").Press();
  Finish(w);
  EXPECT_EQ(task_.ExceptHolidays, 1);
}

}  // namespace
}  // namespace vx
