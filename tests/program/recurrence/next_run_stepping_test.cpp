// The next-run computation jumps over runs of occurrences; here it is checked against the rules
// walked one occurrence at a time, on many random tasks.
#include <algorithm>
#include <cctype>
#include <random>
#include <string>

#include "program/recurrence/moments.h"
#include "program/recurrence/recurrence.h"
#include "program/recurrence/schedule_texts.h"
#include "tests/program/schedule_fixture.h"

namespace vx {
namespace {

using namespace vx::test;

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool Flag(const SCHEDULE_RECORD& t, std::int64_t date) {
  const std::uint8_t flags[] = {t.Sunday,   t.Monday, t.Tuesday, t.Wednesday,
                                t.Thursday, t.Friday, t.Saturday};
  return flags[((date % 7) + 7) % 7] != 0;
}

// The rules as written, one occurrence at a time from the stored moment. A step that cannot be
// built in the calendar (the date function gives 0) or a result past its end means "no further
// occurrence".
void SteppedNextRun(SCHEDULE_RECORD& t, std::int32_t refDate, std::int32_t refTime) {
  const std::string type = t.ScheduleType.str();
  if (type == "Once") {
    t.Completed = 1;
    return;
  }
  const std::int64_t target_time = std::int64_t{refTime} + TIME_MINUTE;
  auto before_or_at = [](std::int64_t d, std::int64_t tm, std::int64_t td, std::int64_t ttm) {
    return d < td || (d == td && tm <= ttm);
  };
  std::int32_t date = t.Date;
  std::int32_t time = t.Time;
  bool off = false;
  const std::string repeat = Upper(t.MonthRepeat.view());
  const bool any_flag =
      t.Sunday || t.Monday || t.Tuesday || t.Wednesday || t.Thursday || t.Friday || t.Saturday;

  if (type == "Monthly" && repeat.substr(0, 5) == "TWICE") {
    const bool last = repeat.find("LAST") != std::string::npos;
    while (before_or_at(date, time, refDate, target_time)) {
      const std::int32_t s = date - t.Offset;
      const int y = YEAR(s), m = MONTH(s), d = DAY(s);
      std::int32_t n = 0;
      if (d == 0) {
        n = 0;
      } else if (d == 15) {
        n = last ? DATE(m, DaysInMonth(m, y), y) : DATE(m + 1, 1, y);
      } else if (d > 15) {
        n = DATE(m + 1, 15, y);
      } else {
        n = DATE(m, 15, y);
      }
      if (n == 0) {
        off = true;
        break;
      }
      date = n + t.Offset;
    }
  } else if (type == "Monthly" || type == "Yearly") {
    while (before_or_at(date, time, refDate, target_time)) {
      date = type == "Monthly" ? DATE(MONTH(date) + 1, DAY(date), YEAR(date))
                               : DATE(MONTH(date), DAY(date), YEAR(date) + 1);
      if (date == 0) {
        off = true;
        break;
      }
    }
  } else if (type == "Day of Week") {
    while (before_or_at(date, time, refDate, target_time)) {
      ++date;
      if (any_flag) {
        while (!Flag(t, date)) ++date;
      }
    }
  } else if (type == "Day of Month") {
    if (t.LastDayOfMonth) {
      if (date < refDate) date = refDate;
      do {
        ++date;
      } while (MONTH(date + 1) == MONTH(date) && date < 4000000);
    } else {
      const bool any_week = t.Every1st || t.Every2nd || t.Every3rd || t.Every4th || t.EveryLast;
      auto step = [&] {
        ++date;
        if (any_flag) {
          while (!Flag(t, date)) ++date;
        }
      };
      for (;;) {
        step();
        while (date <= refDate) step();
        if (!any_week || date > DATE(12, 31, MAX_YEAR)) break;  // past the end: none
        const int m = DAY(date);
        if ((m >= 1 && m <= 7 && t.Every1st) || (m >= 8 && m <= 14 && t.Every2nd) ||
            (m >= 15 && m <= 21 && t.Every3rd) || (m >= 22 && m <= 28 && t.Every4th) ||
            (t.EveryLast && MONTH(date + 7) != MONTH(date))) {
          break;
        }
      }
    }
  } else {
    if (t.Every < 1) t.Every = 1;
    const std::int32_t n = t.Every;
    const std::string unit = [&] {
      std::string u(t.EveryType.view().substr(0, 3));
      for (char& c : u) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return u;
    }();
    if (unit == "min" || unit == "hou") {
      const bool minutes = unit == "min";
      const std::int32_t per_day = minutes ? 1440 : 24;
      const std::int32_t span = minutes ? TIME_MINUTE : TIME_HOUR;
      do {
        if (n <= per_day - 1) {
          time += n * span;
        } else {
          date += n / per_day;
          time += (n % per_day) * span;
        }
        NormalizeDateTime(date, time);
      } while (before_or_at(date, time, refDate, refTime));
    } else if (unit == "day" || unit == "wee") {
      while (before_or_at(date, time, refDate, target_time)) date += unit == "day" ? n : 7 * n;
    } else if (unit == "mon" || unit == "yea") {
      while (before_or_at(date, time, refDate, target_time)) {
        date = unit == "mon" ? DATE(MONTH(date) + n, DAY(date), YEAR(date))
                             : DATE(MONTH(date), DAY(date), YEAR(date) + n);
        if (date == 0) {
          off = true;
          break;
        }
      }
    } else if (date <= refDate) {
      date = refDate + 1;
    }
  }

  const bool moved = date != t.Date || time != t.Time;
  if (off || (moved && (date < 1 || date > DATE(12, 31, MAX_YEAR)))) {
    t.Completed = 1;
    return;
  }
  t.Date = date;
  t.Time = time;
  if (!t.Completed && t.ExpiryDate != 0 && t.ExpiryTime != 0 &&
      (t.Date > t.ExpiryDate || (t.Date == t.ExpiryDate && t.Time > t.ExpiryTime))) {
    t.Completed = 1;
  }
}

class NextRunSteppingTest : public ScheduleTest {
 protected:
  std::mt19937 rng{20251216};

  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  bool Chance(int percent) { return Pick(1, 100) <= percent; }

  std::int32_t RandomTime() {
    switch (Pick(0, 5)) {
      case 0:
        return 0;
      case 1:
        return 1;
      case 2:
        return TIME_DAY;
      case 3:
        return TIME_DAY - Pick(0, 2) * 3000;
      case 4:
        return MakeTime(Pick(0, 23), Pick(0, 59));
      default:
        return Pick(1, TIME_DAY);
    }
  }

  // A random task and how far behind (in days) its reference may lie, so that walking it one
  // occurrence at a time stays affordable.
  SCHEDULE_RECORD RandomTask(int& max_gap) {
    SCHEDULE_RECORD t = MakeTask("", DATE(1, 1, 2000) + Pick(0, 9000), RandomTime());
    for (std::uint8_t* f :
         {&t.Sunday, &t.Monday, &t.Tuesday, &t.Wednesday, &t.Thursday, &t.Friday, &t.Saturday}) {
      *f = Chance(30);
    }
    max_gap = 4000;
    switch (Pick(0, 7)) {
      case 0:
        t.ScheduleType = "Monthly";
        t.MonthRepeat = Chance(50) ? "Twice - 1st, 15th"
                                   : (Chance(50) ? "Twice - 15th, Last" : "twice - 15th, last");
        t.Offset = Pick(-4, 4);
        break;
      case 1:
        t.ScheduleType = "Monthly";
        t.MonthRepeat = "Once";
        break;
      case 2:
        t.ScheduleType = "Yearly";
        break;
      case 3:
        t.ScheduleType = "Day of Week";
        break;
      case 4:
        t.ScheduleType = "Day of Month";
        t.Every1st = Chance(30);
        t.Every2nd = Chance(30);
        t.Every3rd = Chance(30);
        t.Every4th = Chance(30);
        t.EveryLast = Chance(30);
        t.LastDayOfMonth = Chance(20);
        break;
      default: {
        static const char* kUnits[] = {"minute(s)", "hour(s)", "day(s)", "week(s)", "month(s)",
                                       "year(s)",   "Minutes", "DAYS",   "bogus"};
        const int u = Pick(0, 8);
        t.ScheduleType = Chance(90) ? "Custom" : "Every";
        t.EveryType = kUnits[u];
        t.Every = Chance(5) ? Pick(-2, 0) : Pick(1, 40);
        if (u == 0 || u == 6) {
          t.Every = Pick(1, 3000);
          max_gap = 4;
        } else if (u == 1) {
          t.Every = Pick(1, 60);
          max_gap = 200;
        }
      }
    }
    if (Chance(20)) {
      t.ExpiryDate = t.Date + Pick(0, max_gap);
      t.ExpiryTime = Chance(20) ? 0 : RandomTime();
    }
    return t;
  }
};

// The same tasks stored in the calendar's last year, whose next run may lie past its end.
TEST_F(NextRunSteppingTest, NearTheCalendarsEndJumpingEqualsWalking) {
  for (int i = 0; i < 5000; ++i) {
    int max_gap = 0;
    SCHEDULE_RECORD task = RandomTask(max_gap);
    task.Date = DATE(1, 1, MAX_YEAR) + Pick(0, 364);
    const std::int32_t ref_date = task.Date + Pick(-40, std::min(max_gap, 400));
    const std::int32_t ref_time = RandomTime();

    SCHEDULE_RECORD want = task;
    SteppedNextRun(want, ref_date, ref_time);
    SCH = task;
    ComputeNextRun(ref_date, ref_time);
    const std::string where = "task " + std::to_string(i) + " " + task.ScheduleType.str() +
                              " from " + std::to_string(task.Date) + " ref " +
                              std::to_string(ref_date) + "," + std::to_string(ref_time);
    ASSERT_EQ(SCH.Date, want.Date) << where;
    ASSERT_EQ(SCH.Time, want.Time) << where;
    ASSERT_EQ(SCH.Completed, want.Completed) << where;
  }
}

TEST_F(NextRunSteppingTest, JumpingEqualsWalkingOneOccurrenceAtATime) {
  for (int i = 0; i < 20000; ++i) {
    int max_gap = 0;
    const SCHEDULE_RECORD task = RandomTask(max_gap);
    const std::int32_t ref_date = task.Date + Pick(-40, max_gap);
    const std::int32_t ref_time = RandomTime();

    SCHEDULE_RECORD want = task;
    SteppedNextRun(want, ref_date, ref_time);
    SCH = task;
    ComputeNextRun(ref_date, ref_time);

    const auto where = [&] {
      return "task " + std::to_string(i) + " " + task.ScheduleType.str() + "/" +
             task.EveryType.str() + " every " + std::to_string(task.Every) + " from " +
             std::to_string(task.Date) + "," + std::to_string(task.Time) + " ref " +
             std::to_string(ref_date) + "," + std::to_string(ref_time);
    };
    ASSERT_EQ(SCH.Date, want.Date) << where();
    ASSERT_EQ(SCH.Time, want.Time) << where();
    ASSERT_EQ(SCH.Completed, want.Completed) << where();
    ASSERT_EQ(SCH.Every, want.Every) << where();

    // Where the rule has a fitting day, the next run lies on one.
    const bool moved = SCH.Date != task.Date;
    const bool checkable =
        (task.ScheduleType == "Day of Week" && AnyWeekdayFlag(task)) ||
        (task.ScheduleType == "Day of Month" &&
         (task.LastDayOfMonth || (AnyWeekdayFlag(task) && AnyWeekOfMonthFlag(task)))) ||
        (task.ScheduleType == "Monthly" && task.MonthRepeat.view()[0] != 'O');
    if (moved && checkable) {
      ASSERT_EQ(DateFitsSchedule(0), 1) << where();
    }
  }
}

}  // namespace
}  // namespace vx
