#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/table_view.h"
#include "program/schedule/holiday_windows.h"
#include "program/windows/format_date.h"
#include "program/windows/list_window.h"
#include "runtime/window/list_format.h"

namespace vx {
namespace {

constexpr std::string_view kListFormat = "47L(2)M|~Date~L(0)@d3@80L(2)M~Description~@s30@";

class HolidayBrowse final : public ZQBROWSECLASS {
 public:
  void SetQueueRecord() override { Q = {std::to_string(HOL.HolidayDate), HOL.Holiday.str()}; }
  void PrimeRecord(bool keep_buffer) override { ACCESS_HOLIDAYS->PrimeRecord(keep_buffer); }
};

class HolidaysWindow final : public ListWindow {
 public:
  explicit HolidaysWindow(Window& window)
      : ListWindow(window, "BrowseHolidays", *RELATE_HOLIDAYS),
        view_(ACCESS_HOLIDAYS->file(), {&HOL_KEYHOLIDAYDATE}) {}

  void Build();
  Level Init() override;
  Level TakeNewSelection() override;

 private:
  HolidayBrowse browse_;
  ListXplore xplore_;
  TableView view_;
  int sheet_ = 0, list_ = 0;
  ListButtons buttons_;
};

void HolidaysWindow::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  list_ = sheet.Tab("").List(kListFormat);
  buttons_.insert = w.Button("&New");
  buttons_.change = w.Button("&Edit");
  buttons_.remove = w.Button("&Delete");
  CancelControl = w.Button("Cl&ose").Icon("EXIT.ICO");
  w.SetCancelButton(CancelControl);
  w.Status(1, "Browsing Records");
}

Level HolidaysWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  browse_.Init(window()[list_], view_, *this);
  browse_.AddSortOrder();
  browse_.SetLocator([] { return FormatDate(HOL.HolidayDate); });
  WireButtons(browse_, buttons_, UpdateHolidays);
  window()[list_].Format(ReplaceDatePictures(kListFormat, DatePicture().substr(1)));
  AttachListExtension(xplore_, browse_, list_, "?Browse:1", {"HOL:HolidayDate", "HOL:Holiday"},
                      "Underline");
  OpenColouredList(list_);
  return Level_Benign;
}

Level HolidaysWindow::TakeNewSelection() {
  if (RecolourTabs(sheet_) && window()[list_].Visible()) window().Select(list_);
  return ListWindow::TakeNewSelection();
}

}  // namespace

void BrowseHolidays() {
  Window window("Holidays");
  HolidaysWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
