#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "datadll/utility/colour_tab_class.h"
#include "framework/browse_class.h"
#include "framework/table_view.h"
#include "framework/window_manager.h"
#include "framework/window_position.h"
#include "program/schedule/holiday_windows.h"
#include "program/shell/format_date.h"
#include "program/shell/open_windows.h"
#include "program/shell/program_errors.h"
#include "runtime/pictures.h"
#include "runtime/window/list_format.h"

namespace vx {
namespace {

constexpr std::string_view kProcedure = "BrowseHolidays";
constexpr std::string_view kListFormat = "47L(2)M|~Date~L(0)@d3@80L(2)M~Description~@s30@";

class HolidayBrowse final : public BrowseClass {
 public:
  void SetQueueRecord() override { Q = {std::to_string(HOL.HolidayDate), HOL.Holiday.str()}; }
  void PrimeRecord(bool keep_buffer) override { ACCESS_HOLIDAYS->PrimeRecord(keep_buffer); }
};

class HolidaysWindow final : public WindowManager {
 public:
  explicit HolidaysWindow(Window& window)
      : WindowManager(window), view_(ACCESS_HOLIDAYS->file(), {&HOL_KEYHOLIDAYDATE}) {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeWindowEvent() override;
  Level TakeNewSelection() override;

 private:
  HolidayBrowse browse_;
  COLOURTABCLASS tabs_;
  TableView view_;
  int sheet_ = 0, list_ = 0, insert_ = 0, change_ = 0, delete_ = 0, close_ = 0;
  bool entered_ = false;
  bool files_opened_ = false;
};

void HolidaysWindow::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  Control& tab = sheet.Tab("");
  list_ = tab.List(kListFormat);
  insert_ = w.Button("&New");
  change_ = w.Button("&Edit");
  delete_ = w.Button("&Delete");
  close_ = w.Button("Cl&ose").Icon("EXIT.ICO");
  w.SetCancelButton(close_);
  CancelControl = close_;
  w.Status(1, "Browsing Records");
}

Level HolidaysWindow::Init() {
  ProgramErrors().SetProcedureName(kProcedure);
  WindowManager::Init();
  if (Request != SelectRecord) {
    if (!EnterSingleInstance(kProcedure)) return Level_Notify;
    entered_ = true;
  }
  SetCurrentRequest(0);
  SetCurrentResponse(0);
  if (RELATE_HOLIDAYS->Open() != 0) return Level_Notify;
  files_opened_ = true;

  browse_.Init(window()[list_], view_, *this);
  browse_.AddSortOrder();
  browse_.SetLocator([] { return FormatDate(HOL.HolidayDate); });
  browse_.InsertControl = insert_;
  browse_.ChangeControl = change_;
  browse_.DeleteControl = delete_;
  browse_.UpdateProcedure = UpdateHolidays;

  window()[list_].Format(ReplaceDatePictures(kListFormat, DatePicture().substr(1)));
  Open();
  tabs_.INIT(window(), -1, -1, 0, 0, 1, -1, 10987431);
  tabs_.COLOURTABS();
  if (IniFile* positions = IniInUse()) FetchWindowPlace(*positions, kProcedure, window());
  return Level_Benign;
}

Level HolidaysWindow::Kill() {
  tabs_.KILL();
  if (Opened) {
    if (IniFile* positions = IniInUse()) SaveWindowPlace(*positions, kProcedure, window());
  }
  WindowManager::Kill();
  if (files_opened_) RELATE_HOLIDAYS->Close();
  if (entered_) LeaveSingleInstance(kProcedure);
  ProgramErrors().SetProcedureName({});
  return Level_Benign;
}

Level HolidaysWindow::TakeWindowEvent() {
  switch (EVENT()) {
    case EVENT_GainFocus: BringWindowForward(window(), list_); break;
    case EVENT_Moved:
    case EVENT_Sized:
      if (IniFile* positions = IniInUse()) SaveWindowPlace(*positions, kProcedure, window());
      break;
    default: break;
  }
  return WindowManager::TakeWindowEvent();
}

Level HolidaysWindow::TakeNewSelection() {
  if (FIELD() == sheet_) {
    tabs_.COLOURTABS();
    if (window()[list_].Visible()) window().Select(list_);
  }
  return WindowManager::TakeNewSelection();
}

}  // namespace

void BrowseHolidays() {
  Window window("Holidays");
  HolidaysWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
