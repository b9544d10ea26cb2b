#include "program/common/calendar.h"

#include <algorithm>
#include <array>
#include <string>

#include "datadll/dictionary/schedule_table.h"
#include "framework/window_manager.h"
#include "program/recurrence/recurrence.h"
#include "program/windows/format_date.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/dates.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr int kDays = 42;  // six weeks of seven days, Sunday first
// The years the grid pages through; paging past either end wraps to the other.
constexpr int kFirstYear = 1801;
constexpr int kLastYear = 2099;

class CalendarWindow final : public WindowManager {
 public:
  CalendarWindow(Window& window, std::int32_t date, bool follow_task)
      : WindowManager(window),
        scope_("Calendar", *this),
        passed_(date),
        result_(date),
        follow_task_(follow_task) {
    const std::int32_t shown = date ? date : TODAY();
    month_ = MONTH(shown);
    year_ = YEAR(shown);
    focus_day_ = DAY(shown);
  }

  void Build();
  std::int32_t Result() const { return result_; }

  Level Init() override;
  Level TakeAccepted() override;

 private:
  void ShowMonth();
  void StepMonths(int months);
  void StepYear(int years);

  WindowProcedureScope scope_;
  std::int32_t passed_;
  std::int32_t result_;
  bool follow_task_;
  int month_ = 1;
  int year_ = kFirstYear;
  int focus_day_ = 1;
  std::array<std::int32_t, kDays> dates_{};  // the date on each day button; 0 for none
  int heading_ = 0;
  int first_day_ = 0;  // control number of day button 1
  int today_ = 0, cancel_ = 0, prev_year_ = 0, prev_month_ = 0, next_month_ = 0, next_year_ = 0;
};

void CalendarWindow::Build() {
  Window& w = window();
  w.Arrange(Arrangement::Stacked);
  // Year and month stepping on either side of the month's name, the days below, one weekday
  // to a column, and the window's own buttons at the bottom.
  Control& stepping = w.Row();
  prev_year_ = stepping.Button("Previous Year");
  prev_month_ = stepping.Button("Previous month");
  heading_ = stepping.String("");
  next_month_ = stepping.Button("Next month");
  next_year_ = stepping.Button("Next year");
  Control& days = w.Grid(7);
  for (const char* name : {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}) days.String(name);
  for (int i = 0; i < kDays; ++i) {
    const int button = days.Button("");
    if (i == 0) first_day_ = button;
  }
  Control& buttons = w.Row();
  today_ = buttons.Button("&Today");
  cancel_ = buttons.Button("Cancel");
  w.SetCancelButton(cancel_);
}

void CalendarWindow::ShowMonth() {
  Window& w = window();
  const std::int32_t first = DATE(month_, 1, year_);
  const std::string long_date = FORMAT(first, "@d4");
  const std::size_t blank = long_date.find(' ');
  w[heading_].SetText(long_date.substr(0, blank) + " " + std::to_string(year_));

  dates_.fill(0);
  const int start = first % 7;  // the column of the 1st: its weekday
  const int days = DaysInMonth(month_, year_);
  for (int day = 1; day <= days; ++day)
    dates_[static_cast<std::size_t>(start + day - 1)] = first + day - 1;
  for (int i = 0; i < kDays; ++i) {
    Control& button = w[first_day_ + i];
    const std::int32_t date = dates_[static_cast<std::size_t>(i)];
    if (date == 0) {
      button.SetText("").Tip("").Hide();
      continue;
    }
    button.SetText(std::to_string(DAY(date))).Tip(FormatDate(date)).Unhide();
    button.Enable(!follow_task_ || DateFitsSchedule(date) != 0);
  }
  const int focus_day = std::min(focus_day_, days);
  w.Select(first_day_ + start + focus_day - 1);
}

void CalendarWindow::StepMonths(int months) {
  int index = year_ * 12 + (month_ - 1) + months;
  if (index < kFirstYear * 12) index = kLastYear * 12 + 11;
  if (index > 9999 * 12 + 11) index = kFirstYear * 12;
  year_ = index / 12;
  month_ = index % 12 + 1;
  ShowMonth();
}

void CalendarWindow::StepYear(int years) {
  if (years < 0) {
    year_ = year_ <= kFirstYear ? kLastYear : year_ - 1;
  } else {
    year_ = year_ == kLastYear || year_ >= 9999 ? kFirstYear : year_ + 1;
  }
  ShowMonth();
}

Level CalendarWindow::Init() {
  WindowManager::Init();
  Open();
  ShowMonth();
  return Level_Benign;
}

Level CalendarWindow::TakeAccepted() {
  const int control = ACCEPTED();
  if (control >= first_day_ && control < first_day_ + kDays) {
    const std::int32_t date = dates_[static_cast<std::size_t>(control - first_day_)];
    if (date == 0) return Level_Notify;
    if (date < TODAY() &&
        MESSAGE("You have selected a date earlier than today.  Do you wish to use this date?",
                "Confirm", MessageIcon::Question, BUTTON_YES | BUTTON_NO) != BUTTON_YES) {
      return Level_Notify;
    }
    result_ = date;
    Response = RequestCompleted;
    PostClose();
    return Level_Notify;
  }
  if (control == today_) {
    result_ = TODAY();
    Response = RequestCompleted;
    PostClose();
  } else if (control == cancel_) {
    result_ = passed_;
    Response = RequestCancelled;
    PostClose();
  } else if (control == prev_month_) {
    StepMonths(-1);
  } else if (control == next_month_) {
    StepMonths(1);
  } else if (control == prev_year_) {
    StepYear(-1);
  } else if (control == next_year_) {
    StepYear(1);
  } else {
    return WindowManager::TakeAccepted();
  }
  return Level_Notify;
}

}  // namespace

std::int32_t Calendar(std::int32_t date, std::string_view mode, std::string_view title) {
  const bool follow_task = CLIP(mode) != "None";
  std::string caption = CLIP(title);
  if (caption.empty()) {
    caption = follow_task && !SCH.ScheduleType.blank() ? std::string(SCH.ScheduleType.clipped())
                                                       : "Select Date";
  }
  Window window(caption);
  CalendarWindow calendar(window, date, follow_task);
  calendar.Build();
  calendar.Run();
  return calendar.Result();
}

}  // namespace vx
