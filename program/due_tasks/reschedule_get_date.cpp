// The window "Re-Date Tasks", which asks for the moment every task is re-dated after.
#include "datadll/dictionary/globals.h"
#include "program/common/calendar.h"
#include "program/due_tasks/reschedule_all_tasks.h"
#include "program/recurrence/moments.h"
#include "program/windows/small_dialog.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/dates.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

// The soonest moment accepted: a minute from now, carried into tomorrow late in the evening.
void SoonestMoment(std::int32_t& date, std::int32_t& time) {
  date = TODAY();
  time = CLOCK() + TIME_MINUTE;
  NormalizeDateTime(date, time);
}

bool AtLeastAMinuteAhead(std::int32_t date, std::int32_t time) {
  std::int32_t soonest_date, soonest_time;
  SoonestMoment(soonest_date, soonest_time);
  return date > soonest_date || (date == soonest_date && time >= soonest_time);
}

}  // namespace

void RescheduleAllTasks_GetDate() {
  if (!AtLeastAMinuteAhead(GLO_DATE, GLO_TIME)) SoonestMoment(GLO_DATE, GLO_TIME);

  Window window("Re-Date Tasks");
  window.String("This will re-schedule all tasks for their next regular");
  window.String("occurrence after a specific date and time.");
  window.Prompt("Date:");
  Control& date_row = window.Row();  // the calendar button beside the date it fills
  const int date = date_row.Entry(GLO_DATE, "@d17");
  const int calendar = date_row.Button("...").Icon("~calendar.ico").Tip("Select date");
  window.Prompt("Time:");
  window.Entry(GLO_TIME, "@T7");
  const int ok = window.Button("&OK").Default();
  const int cancel = window.Button("Cancel");
  window.SetCancelButton(cancel);

  SmallDialog manager(window, ok, cancel);
  const WindowProcedureScope scope("RescheduleAllTasks:GetDate", manager);
  manager.OnAccepted(calendar, [&] {
    window.Update();
    // A cancelled calendar answers 0: the date shown stays.
    if (const std::int32_t chosen = Calendar(GLO_DATE, "None", "Select date"); chosen != 0)
      GLO_DATE = chosen;
    window.Display();
    return Level_Notify;
  });
  manager.OnOk([&] {
    if (!AtLeastAMinuteAhead(GLO_DATE, GLO_TIME)) {
      MESSAGE("The date and time entered must be in the future.", "Error",
              MessageIcon::Exclamation);
      window.Select(date);
      return false;
    }
    RescheduleAllTasks();
    return true;
  });
  manager.Run();
}

}  // namespace vx
