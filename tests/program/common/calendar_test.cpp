// The date picker driven through the test driver: the month grid, the days that fit a task,
// paging across years, the past-date question and what Cancel and Today answer.
#include "program/common/calendar.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "datadll/dictionary/schedule_table.h"
#include "runtime/dates.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

using test::Shown;

constexpr int kHeading = 4;  // in the stepping row, after two buttons (the row is control 1)
constexpr int kFirstDayButton = 15;  // the grid (7) and its seven weekday names come first

class CalendarTest : public test::WindowTest {
 protected:
  // Runs the calendar on the driver's program thread; `task` is put in the SCHEDULE buffer.
  DriverWindow Open(std::int32_t date, std::string mode, std::string title,
                    SCHEDULE_RECORD task = {}) {
    ui_.Start([=, this] {
      SCH = task;
      result_ = Calendar(date, mode, title);
    });
    return ui_.WaitWindow(title.empty() ? (mode != "None" && !task.ScheduleType.blank()
                                               ? task.ScheduleType.str()
                                               : std::string("Select Date"))
                                        : title);
  }
  static DriverControl Day(const DriverWindow& w, int button) {
    return w.ControlNumber(kFirstDayButton + button - 1);
  }
  // The numbers on the 42 buttons, "" for a hidden one.
  static std::string Grid(const DriverWindow& w) {
    std::string out;
    for (int b = 1; b <= 42; ++b)
      out += (Day(w, b).Hidden() ? std::string(".") : Day(w, b).Text()) + " ";
    return out;
  }

  std::atomic<std::int32_t> result_{-1};
};

TEST_F(CalendarTest, MonthsStartInTheColumnOfTheirFirstWeekday) {
  // February 2026 begins on a Sunday: the first button; August 2026 begins on a Saturday and
  // needs the sixth row for its 30th and 31st.
  ASSERT_EQ(WeekDay(DATE(2, 1, 2026)), 0);
  ASSERT_EQ(WeekDay(DATE(8, 1, 2026)), 6);
  DriverWindow w = Open(DATE(2, 10, 2026), "None", "Pick");
  EXPECT_EQ(w.ControlNumber(kHeading).Text(), "February 2026");
  EXPECT_EQ(Day(w, 1).Text(), "1");
  EXPECT_EQ(Day(w, 28).Text(), "28");
  EXPECT_TRUE(Day(w, 29).Hidden());
  EXPECT_EQ(w.Get(Prop::Focus), std::to_string(kFirstDayButton + 9));  // the 10th

  for (int i = 0; i < 6; ++i) w.Control("Next month").Press();
  EXPECT_EQ(w.ControlNumber(kHeading).Text(), "August 2026");
  EXPECT_TRUE(Day(w, 6).Hidden());
  EXPECT_EQ(Day(w, 7).Text(), "1");
  EXPECT_EQ(Day(w, 37).Text(), "31");
  EXPECT_TRUE(Day(w, 38).Hidden());
  w.Control("Cancel").Press();
  ui_.Finish();
  EXPECT_EQ(result_, DATE(2, 10, 2026));
}

TEST_F(CalendarTest, TheDaysLieSevenWideUnderTheirWeekdaysWithTheSteppingAbove) {
  DriverWindow w = Open(DATE(8, 10, 2026), "None", "Pick");
  const DriverControl sunday = w.Control("Sun");
  const int grid = sunday.Container();
  EXPECT_EQ(sunday.ContainerLayout(), "grid 7");
  const char* names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  for (int d = 0; d < 7; ++d) {
    const DriverControl name = w.Control(names[d]);
    EXPECT_EQ(name.Container(), grid);
    EXPECT_EQ(name.Row(), 1) << names[d];
    EXPECT_EQ(name.Column(), d + 1) << names[d];
  }
  // Six weeks of days below them, each in its weekday's column.
  for (int b = 1; b <= 42; ++b) {
    EXPECT_EQ(Day(w, b).Container(), grid);
    EXPECT_EQ(Day(w, b).Row(), 2 + (b - 1) / 7) << b;
    EXPECT_EQ(Day(w, b).Column(), 1 + (b - 1) % 7) << b;
  }
  EXPECT_EQ(Day(w, 37).Text(), "31");  // August 2026 reaches the sixth week
  EXPECT_EQ(Day(w, 37).Column(), 1 + WeekDay(DATE(8, 31, 2026)));

  // The window stacks the stepping row, the grid and the window's buttons, in that order.
  const DriverControl stepping = w.ControlNumber(w.Control("Previous Year").Container());
  EXPECT_EQ(w.Control("Previous Year").ContainerLayout(), "row");
  EXPECT_EQ(stepping.ContainerLayout(), "stacked");
  EXPECT_EQ(stepping.Row(), 1);
  EXPECT_EQ(w.ControlNumber(grid).Row(), 2);
  EXPECT_EQ(w.ControlNumber(w.Control("Cancel").Container()).Row(), 3);
  // The month's name sits between the month buttons.
  EXPECT_EQ(w.Control("Previous month").Column() + 1, w.ControlNumber(kHeading).Column());
  EXPECT_EQ(w.ControlNumber(kHeading).Column() + 1, w.Control("Next month").Column());
  w.Control("Cancel").Press();
  ui_.Finish();
}

TEST_F(CalendarTest, OnlyTheDaysThatFitTheTaskCanBePicked) {
  SCHEDULE_RECORD task;
  task.ScheduleType = "Day of Week";
  task.Monday = 1;
  DriverWindow w = Open(DATE(6, 15, 2026), "", "", task);
  EXPECT_EQ(w.Title(), "Day of Week");
  // June 2026 begins on a Monday (button 2); its Mondays are the 1st, 8th, 15th, 22nd, 29th.
  for (int day = 1; day <= 30; ++day) {
    EXPECT_EQ(Day(w, day + 1).Disabled(), WeekDay(DATE(6, day, 2026)) != 1) << day;
  }
  EXPECT_EQ(Day(w, 23).Get(Prop::Tip), Shown(DATE(6, 22, 2026)));
  Day(w, 23).Press();
  ui_.Finish();
  EXPECT_EQ(result_, DATE(6, 22, 2026));
}

TEST_F(CalendarTest, DateZeroShowsThisMonthAndCancelAnswersZero) {
  DriverWindow w = Open(0, "None", "");
  EXPECT_EQ(w.Title(), "Select Date");
  EXPECT_EQ(w.ControlNumber(kHeading).Text(), "June 2026");
  w.Control("Cancel").Press();
  ui_.Finish();
  EXPECT_EQ(result_, 0);
}

TEST_F(CalendarTest, TodayAnswersToday) {
  DriverWindow w = Open(DATE(1, 3, 2030), "None", "");
  w.Control("Today").Press();
  ui_.Finish();
  EXPECT_EQ(result_, DATE(6, 12, 2026));
}

TEST_F(CalendarTest, APastDayIsTakenOnlyAfterTheUserConfirmsIt) {
  DriverWindow w = Open(DATE(6, 20, 2026), "None", "");  // June 2026: the 1st on button 2
  Day(w, 11).Press();                                    // the 10th, before today
  const SeenRequest question = ui_.WaitMessage(BUTTON_NO);
  EXPECT_EQ(question.caption, "Confirm");
  EXPECT_EQ(question.text,
            "You have selected a date earlier than today.  Do you wish to use this date?");
  EXPECT_TRUE(w.Open());
  Day(w, 11).Press();
  ui_.WaitMessage(BUTTON_YES);
  ui_.Finish();
  EXPECT_EQ(result_, DATE(6, 10, 2026));
}

TEST_F(CalendarTest, PagingByYearWrapsAtTheEndsOfTheRange) {
  DriverWindow w = Open(DATE(3, 1, 1801), "None", "");
  w.Control("Previous Year").Press();
  EXPECT_EQ(w.ControlNumber(kHeading).Text(), "March 2099");
  w.Control("Next year").Press();
  EXPECT_EQ(w.ControlNumber(kHeading).Text(), "March 1801");
  w.Control("Previous month").Press();
  w.Control("Previous month").Press();
  w.Control("Previous month").Press();
  EXPECT_EQ(w.ControlNumber(kHeading).Text(), "December 2099");
  w.Control("Next month").Press();  // months cross years freely
  EXPECT_EQ(w.ControlNumber(kHeading).Text(), "January 2100");
  w.Control("Cancel").Press();
  ui_.Finish();
}

}  // namespace
}  // namespace vx
