#include <string>

#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "datadll/utility/colour_tab_class.h"
#include "framework/request_globals.h"
#include "program/admin/admin_windows.h"
#include "program/common/calendar.h"
#include "program/windows/format_date.h"
#include "program/windows/record_form.h"

namespace vx {
namespace {

class UserTaskForm final : public RecordForm {
 public:
  explicit UserTaskForm(Window& window)
      : RecordForm(window, "UpdateVXUSD", *RELATE_VXUSD, "User Schedule Details") {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;

 private:
  int sheet_ = 0, date_ = 0, time_ = 0, date_calendar_ = 0, warn_date_ = 0, warn_calendar_ = 0;
};

void UserTaskForm::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  Control& when = sheet.Tab("When");
  when.Prompt("&Start:");
  Control& start_row = when.Row();
  date_ = start_row.Entry(US.DATE, DatePicture() + "b").Required().Tip("Next Date to Perform Task");
  date_calendar_ = start_row.Button("...").Icon("~calendar.ico").Tip("Select Starting Date");
  when.Prompt("&Time:");
  time_ = when.Entry(US.TIME, "@t7b").Required().Tip("Next Time to Perform Task");
  when.Prompt("Last performed:");
  Control& last_row = when.Row();
  last_row.Entry(US.LASTRUNDATE, DatePicture() + "b").ReadOnly();
  last_row.Entry(US.LASTRUNTIME, "@t7b").ReadOnly();
  when.Prompt("&Advance warning:");
  Control& warn_row = when.Row();
  warn_date_ = warn_row.Entry(US.ADVANCEWARNDATE, DatePicture() + "b");
  warn_calendar_ = warn_row.Button("...").Icon("~calendar.ico").Tip("Select Advanced Warning Date");
  warn_row.Prompt("Time:");
  warn_row.Entry(US.ADVANCEWARNTIME, "@t7b");
  Control& own = when.Group("Changes made here only affect this user:");
  own.Check("&Disabled", US.DISABLED).Tip("Do not perform this task");
  own.Check("Skip &Next Time", US.SKIPNEXTTIME).Tip("Skip next occurrence of this task");
  OkControl = w.Button("&OK").Default();
  CancelControl = w.Button("Cancel");
  w.SetCancelButton(CancelControl);
}

Level UserTaskForm::Init() {
  RecordForm::Init();
  switch (Request) {
    case InsertRecord:
      window().Title("NewSchedule Details");
      break;
    case ChangeRecord:
      window().Title("Edit User Schedule Details");
      break;
    default:
      break;  // "View User Schedule Details", "Delete User Schedule Details"
  }
  Required.ADDFIELD(date_, "US:DATE", "", "", "Next Date to Perform Task", true);
  Required.ADDFIELD(time_, "US:TIME", "", "", "Next Time to Perform Task", true);
  ColourTabs();
  return Level_Benign;
}

Level UserTaskForm::Kill() { return RecordForm::Kill(); }

Level UserTaskForm::TakeAccepted() {
  const int control = ACCEPTED();
  if (control == date_calendar_) {
    US.DATE = Calendar(US.DATE, "None", "Select Starting Date");
    window()[date_].Display();
    return Level_Notify;
  }
  if (control == warn_calendar_) {
    US.ADVANCEWARNDATE = Calendar(US.ADVANCEWARNDATE, "None", "Select Advanced Warning Date");
    window()[warn_date_].Display();
    return Level_Notify;
  }
  return RecordForm::TakeAccepted();
}

Level UserTaskForm::TakeNewSelection() {
  RecolourTabs(sheet_);
  return RecordForm::TakeNewSelection();
}

}  // namespace

void UpdateVXUSD() {
  Window window("Update VXUSD");
  UserTaskForm form(window);
  form.Build();
  form.Run();
}

}  // namespace vx
