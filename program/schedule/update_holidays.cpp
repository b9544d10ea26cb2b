#include <string>

#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/colour_tab_class.h"
#include "program/common/calendar.h"
#include "program/recurrence/easter.h"
#include "program/schedule/holiday_windows.h"
#include "program/windows/format_date.h"
#include "program/windows/record_form.h"
#include "runtime/dates.h"
#include "runtime/text_functions.h"

namespace vx {

std::int32_t EasterHolidayDate(std::int32_t date, std::string_view description,
                               std::int32_t today) {
  std::int32_t easter = EasterSunday(YEAR(today));
  if (easter < today) easter = EasterSunday(YEAR(today) + 1);
  const std::string name = UPPER(CLIP(description));
  if (date < easter - 30 || name == "EASTER") date = easter;
  if (name == "GOOD FRIDAY") date = easter - 2;
  if (name == "EASTER MONDAY") date = easter + 1;
  return date;
}

namespace {

class HolidayForm final : public RecordForm {
 public:
  explicit HolidayForm(Window& window)
      : RecordForm(window, "UpdateHolidays", *RELATE_HOLIDAYS, "Holiday") {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;

 private:
  void TypeChanged();

  String<20> opened_type_;
  int sheet_ = 0, date_ = 0, calendar_ = 0, type_ = 0;
};

void HolidayForm::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  Control& tab = sheet.Tab("General");
  tab.Prompt("&Date:");
  Control& date_row = tab.Row();  // the calendar button beside the date it fills
  date_ = date_row.Entry(HOL.HolidayDate, DatePicture()).Required();
  calendar_ = date_row.Button("...").Icon("~calendar.ico").Tip("Select Date");
  tab.Prompt("De&scription:");
  tab.Entry(HOL.Holiday, "@s30");
  Control& type = tab.Option("Holiday T&ype", HOL.HolidayType);
  for (const char* kind : {"Annual", "Day of Month", "Easter", "Once"}) type.Radio(kind);
  type_ = type;
  OkControl = w.Button("&OK").Default();
  CancelControl = w.Button("Cancel");
  w.SetCancelButton(CancelControl);
}

Level HolidayForm::Init() {
  opened_type_ = HOL.HolidayType.view();
  RecordForm::Init();
  Required.ADDFIELD(date_, "HOL:HolidayDate", "", "", "Holiday Date", true);
  ColourTabs();
  return Level_Benign;
}

Level HolidayForm::Kill() { return RecordForm::Kill(); }

void HolidayForm::TypeChanged() {
  if (HOL.HolidayType != "Easter" || HOL.HolidayType == opened_type_) return;
  HOL.HolidayDate = EasterHolidayDate(HOL.HolidayDate, HOL.Holiday.view(), TODAY());
  window()[date_].Display();
}

Level HolidayForm::TakeAccepted() {
  const int control = ACCEPTED();
  if (control == calendar_) {
    HOL.HolidayDate = Calendar(HOL.HolidayDate, "None", "Select Date");
    window()[date_].Display();
    return Level_Notify;
  }
  if (control == type_) TypeChanged();
  return RecordForm::TakeAccepted();
}

Level HolidayForm::TakeNewSelection() {
  RecolourTabs(sheet_);
  return RecordForm::TakeNewSelection();
}

}  // namespace

void UpdateHolidays() {
  Window window("Update the Holidays File");
  HolidayForm form(window);
  form.Build();
  form.Run();
}

}  // namespace vx
