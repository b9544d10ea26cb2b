#include <string>

#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "datadll/utility/colour_tab_class.h"
#include "datadll/utility/req_fld_class.h"
#include "framework/table_form_saver.h"
#include "framework/window_manager.h"
#include "framework/window_position.h"
#include "program/schedule/calendar.h"
#include "program/schedule/easter.h"
#include "program/schedule/form_request.h"
#include "program/schedule/holiday_windows.h"
#include "program/shell/format_date.h"
#include "program/shell/program_errors.h"
#include "runtime/dates.h"
#include "runtime/text_functions.h"

namespace vx {

std::int32_t EasterHolidayDate(std::int32_t date, std::string_view description, std::int32_t today) {
  std::int32_t easter = EasterSunday(YEAR(today));
  if (easter < today) easter = EasterSunday(YEAR(today) + 1);
  const std::string name = UPPER(CLIP(description));
  if (date < easter - 30 || name == "EASTER") date = easter;
  if (name == "GOOD FRIDAY") date = easter - 2;
  if (name == "EASTER MONDAY") date = easter + 1;
  return date;
}

namespace {

constexpr std::string_view kProcedure = "UpdateHolidays";

class HolidayForm final : public WindowManager {
 public:
  explicit HolidayForm(Window& window) : WindowManager(window), saver_(*RELATE_HOLIDAYS) {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;
  Level TakeCompleted() override;
  Level TakeNewSelection() override;

 private:
  void TypeChanged();

  TableFormSaver saver_;
  REQFLDCLASS required_;
  COLOURTABCLASS tabs_;
  String<20> opened_type_;
  int sheet_ = 0, date_ = 0, calendar_ = 0, type_ = 0, ok_ = 0, cancel_ = 0;
};

void HolidayForm::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  Control& tab = sheet.Tab("General");
  tab.Prompt("&Date:");
  date_ = tab.Entry(HOL.HolidayDate, DatePicture()).Required();
  calendar_ = tab.Button("...").Icon("~calendar.ico").Tip("Select Date");
  tab.Prompt("De&scription:");
  tab.Entry(HOL.Holiday, "@s30");
  Control& type = tab.Option("Holiday T&ype", HOL.HolidayType);
  for (const char* kind : {"Annual", "Day of Month", "Easter", "Once"}) type.Radio(kind);
  type_ = type;
  ok_ = w.Button("&OK").Default();
  cancel_ = w.Button("Cancel");
  w.SetCancelButton(cancel_);
  OkControl = ok_;
  CancelControl = cancel_;
  Primary = &saver_;
}

Level HolidayForm::Init() {
  ProgramErrors().SetProcedureName(kProcedure);
  WindowManager::Init();
  RELATE_HOLIDAYS->Open();
  opened_type_ = HOL.HolidayType.view();
  Open();
  ApplyFormRequest(window(), Request, "Holiday", ok_, cancel_);
  if (IniFile* positions = IniInUse()) FetchWindowPlace(*positions, kProcedure, window());
  required_.INIT(window(), "Missing Information", "@PROMPT must be entered.");
  required_.ADDFIELD(date_, "HOL:HolidayDate", "", "", "Holiday Date", true);
  tabs_.INIT(window(), -1, -1, 0, 0, 1, -1, 10987431);
  tabs_.COLOURTABS();
  return Level_Benign;
}

Level HolidayForm::Kill() {
  required_.KILL();
  tabs_.KILL();
  if (IniFile* positions = IniInUse()) SaveWindowPlace(*positions, kProcedure, window());
  WindowManager::Kill();
  RELATE_HOLIDAYS->Close();
  ProgramErrors().SetProcedureName({});
  return Level_Benign;
}

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
  return WindowManager::TakeAccepted();
}

Level HolidayForm::TakeCompleted() {
  Update();
  if ((Request == InsertRecord || Request == ChangeRecord) && required_.INCOMPLETE() != 0) return Level_Notify;
  return WindowManager::TakeCompleted();
}

Level HolidayForm::TakeNewSelection() {
  if (FIELD() == sheet_) tabs_.COLOURTABS();
  return WindowManager::TakeNewSelection();
}

}  // namespace

void UpdateHolidays() {
  Window window("Update the Holidays File");
  HolidayForm form(window);
  form.Build();
  form.Run();
}

}  // namespace vx
