#include "program/schedule/exceptions_window.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/utility/colour_tab_class.h"
#include "framework/window_manager.h"
#include "program/common/main_procedures.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/fixed_string.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr const char* kSkip = "Skip (to next valid day)";
constexpr std::array<const char*, 7> kDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                              "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 7> kOverrideNotes = {"Select the days of the week for which",
                                                       "you wish to have additional exceptions",
                                                       "NOTE:  These exceptions are in addition to",
                                                       "the exceptions on the Standard tab",
                                                       "You do not need to use these unless you",
                                                       "have exceptions that do not fit into the",
                                                       "categories on the Standard tab"};

using DayChecks = std::array<std::uint8_t, 7>;

// SCH.ExceptOther holds one character per weekday, Sunday first: "Y" excepted, blank not.
DayChecks ReadExceptOther() {
  DayChecks days{};
  const std::string_view other = SCH.ExceptOther.view();
  for (std::size_t i = 0; i < days.size(); ++i) days[i] = other[i] == 'Y' ? 1 : 0;
  return days;
}

void WriteExceptOther(const DayChecks& days) {
  std::string other;
  for (const std::uint8_t day : days) other += day != 0 ? 'Y' : ' ';
  SCH.ExceptOther = other;
}

}  // namespace

void UpdateSchedule_ExceptionsWindow() {
  // The first choice's text is wider than SCH.ShiftType; its value is the part the field holds,
  // so that a stored task shows its choice (only the first letter matters to the scheduler).
  const std::string skip(ClipView(CutUtf8(kSkip, SCH.ShiftType.size())));
  if (SCH.ShiftType.blank()) SCH.ShiftType = skip;
  DayChecks days = ReadExceptOther();

  Window window("Exceptions");
  Control& sheet = window.Sheet();
  Control& standard = sheet.Tab("Standard");
  Control& action = standard.Option("E&xception Action", SCH.ShiftType);
  action.Radio(kSkip, skip);
  action.Radio("Previous day");
  action.Radio("Next day");
  Control& weekends = standard.Check("Except &weekends", SCH.ExceptWeekends);
  Control& weekdays = standard.Check("Except week&days", SCH.ExceptWeekdays);
  // The holiday list's button beside its check, the time range beside its own.
  Control& holiday_row = standard.Row();
  holiday_row.Check("Except &holidays", SCH.ExceptHolidays);
  Control& holidays = holiday_row.Button("Ho&lidays");
  Control& time_row = standard.Row();
  Control& time_range = time_row.Check("Except &time range:", SCH.ExceptTime);
  time_row.Prompt("&Begin:");
  Control& begin = time_row.Entry(SCH.ExceptTimeBegin, "@t7");
  time_row.Prompt("&End:");
  Control& end = time_row.Entry(SCH.ExceptTimeEnd, "@t7");

  Control& overrides = sheet.Tab("Overrides By Day");
  for (std::size_t i = 0; i < kDays.size(); ++i) overrides.Check(kDays[i], days[i]);
  for (const char* note : kOverrideNotes) overrides.String(note);

  const int close = window.Button("Cl&ose").Default();

  // The holiday list is its own window procedure; without it the button stays greyed.
  const auto browse_holidays = MainProcedure("BrowseHolidays");
  if (!browse_holidays) holidays.Disable();

  // Weekends and weekdays exclude each other: a set one greys the other. A task stored with
  // both set keeps both enabled, so that the user can clear one of them.
  const auto set_enables = [&] {
    weekdays.Enable(SCH.ExceptWeekends == 0 || SCH.ExceptWeekdays != 0);
    weekends.Enable(SCH.ExceptWeekdays == 0 || SCH.ExceptWeekends != 0);
    begin.Enable(SCH.ExceptTime != 0);
    end.Enable(SCH.ExceptTime != 0);
  };

  set_enables();

  // The tab being shown stands out in its own colours, as on every tabbed form.
  COLOURTABCLASS tabs;
  tabs.INIT(window, -1, -1, 0, 0, 1, -1, kOtherTabColour);
  tabs.COLOURTABS();

  WindowManager manager(window);
  const WindowProcedureScope scope("UpdateSchedule:ExceptionsWindow", manager);
  manager.On(EVENT_NewSelection, sheet, [&] { tabs.COLOURTABS(); });
  manager.OkControl = close;
  manager.OnAccepted(weekends, set_enables);
  manager.OnAccepted(weekdays, set_enables);
  manager.OnAccepted(time_range, set_enables);
  manager.OnAccepted(holidays, [&] {
    if (browse_holidays) browse_holidays();
    manager.Reset(true);
  });
  manager.OnAccepted(close, [&] {
    window.Update();
    WriteExceptOther(days);
  });
  manager.Run();
}

}  // namespace vx
