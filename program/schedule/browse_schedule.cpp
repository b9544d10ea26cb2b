#include <string>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "program/common/calendar.h"
#include "program/schedule/category_windows.h"
#include "program/schedule/task_list_window.h"
#include "program/schedule/task_windows.h"
#include "program/windows/format_date.h"
#include "runtime/dates.h"

namespace vx {
namespace {

// Status and kind icons, the date (grey when disabled, blue when to be skipped next time), time,
// category, description, schedule, last run.
constexpr std::string_view kListFormat =
    "12L(2)*I@s1@12L(2)*I@s1@47L(2)*M|~Date~@d3@32R(1)*M|~Time~L@t3@57L(2)M|~Category~@s20@"
    "135L(2)M|~Description~@s40@101L(2)M|~Schedule Type~L(1)@s80@47L(1)M|~Last Run~@d17b@"
    "32R(1)M|~Last Time~@t7b@";

// The tabs, in the order shown, and the sort order each reads.
enum Tab { kDayTab = 1, kAllTab = 2, kCategoryTab = 3, kSelectedTab = 4 };
enum Order { kAllByDate = 1, kByCategory = 2, kSelectedByDate = 3, kDay = 4 };

class ScheduleWindow final : public TaskListWindow {
 public:
  explicit ScheduleWindow(Window& window) : TaskListWindow(window, "BrowseSchedule") {}

  void Build();
  Level Init() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;

  int OrderNow() const override;
  void ApplyFilters() override;

 protected:
  std::int32_t DayForNewTasks() const override { return selected_day_; }
  void DayChanged(std::int32_t previous) override;

 private:
  int TabNow() const;
  void ShowDay();
  void PositionAtToday();

  std::int32_t selected_day_ = 0;
  String<20> category_;
  bool all_tab_visited_ = false;
  int sheet_ = 0, day_tab_ = 0, select_day_ = 0, choose_category_ = 0;
};

void ScheduleWindow::Build() {
  Window& w = window();
  w.Icon("timedate.ico");
  w.Timer(1000);  // every ten seconds: the day may have changed
  // The tabs choose the view; the list below them shows it. A tab's own button stands first in
  // the button row while its tab is shown.
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  day_tab_ = sheet.Tab("Day Schedule");
  sheet.Tab("All by Date");
  sheet.Tab("All in Category");
  sheet.Tab("Selected");
  const int list = w.List(kListFormat);
  Control& buttons = w.Row();
  select_day_ =
      buttons.Button("&Select Day").Icon("PICK.ICO").Tip("Select a day for which to view tasks");
  choose_category_ = buttons.Button("Cate&gory")
                         .Icon("PICK.ICO")
                         .Tip("Select a category for which to view tasks")
                         .Hide();
  buttons_.insert = buttons.Button("&New").Icon("INSERT.ICO").Tip("Add a new task (tabbed)");
  copy_ = buttons.Button("Cop&y")
              .Tip("Copy the highlighted task to a new task")
              .Set(Prop::Msg, "Copy record");
  buttons_.change = buttons.Button("&Edit").Icon("OPEN.ICO").Tip("Edit the highlighted task");
  buttons_.remove = buttons.Button("&Delete").Icon("CUT.ICO").Tip("Delete the highlighted task");
  special_ = buttons.Button("S&pecial")
                 .Icon("resched.ico")
                 .Tip("Special Event Wizard - ideal for holidays, and temporary changes");
  quick_ = buttons.Button("&Quick")
               .Icon("quickst.ico")
               .Tip("Quick Start - Make a copy (of the current task) that will start shortly.");
  execute_ =
      buttons.Button("E&xecute/Test").Icon("NOW.ICO").Tip("Execute (run) the highlighted task");
  CancelControl = w.Button("Cl&ose").Icon("EXIT.ICO").Tip("Close this window");
  w.SetCancelButton(CancelControl);
  w.Status(1, "Browsing Schedule");
  list_ = list;
}

Level ScheduleWindow::Init() {
  const Level level = TaskListWindow::Init();
  if (level != Level_Benign) return level;
  selected_day_ = TODAY();
  GLO_DATETOUSE = std::to_string(selected_day_);
  category_ = CAT.Category.view();

  view_.ranges = {TaskView::Range::AllByDate, TaskView::Range::Category, TaskView::Range::AllByDate,
                  TaskView::Range::Day};
  SetUpBrowse(list_, kListFormat);
  browse_.colour_dates = true;
  auto by_date = [] { return FormatDate(SCH.Date); };
  browse_.AddSortOrder();
  browse_.SetLocator(by_date, kAllByDate);
  browse_.AddSortOrder();
  browse_.SetLocator([] { return SCH.Description.str(); }, kByCategory);
  browse_.AddSortOrder();
  browse_.SetLocator(by_date, kSelectedByDate);
  browse_.AddSortOrder();
  browse_.SetLocator(by_date, kDay);

  if (MULTIUSER != 0 && !USERID.blank()) window().Title("View Schedule - " + USERID.str());
  if (FULLSCHEDULE != 0) {
    window()[sheet_].Set(Prop::Selected, static_cast<long>(kAllTab));
    window()[select_day_].Hide();
  }
  ShowDay();
  AttachListExtension();
  OpenColouredList(list_);
  AddPopupEntries(true);
  if (FULLSCHEDULE != 0) {
    all_tab_visited_ = true;
    PositionAtToday();
  }
  return Level_Benign;
}

int ScheduleWindow::TabNow() const {
  const long choice = const_cast<ScheduleWindow*>(this)->window()[sheet_].Choice();
  return choice >= kDayTab && choice <= kSelectedTab ? static_cast<int>(choice) : kDayTab;
}

int ScheduleWindow::OrderNow() const {
  switch (TabNow()) {
    case kAllTab:
      return kAllByDate;
    case kCategoryTab:
      return kByCategory;
    case kSelectedTab:
      return kSelectedByDate;
    default:
      return kDay;
  }
}

void ScheduleWindow::ApplyFilters() {
  view_.day = selected_day_;
  view_.category = category_.view();
  // A query narrows every tab until it is reset.
  for (int order = kAllByDate; order <= kDay; ++order) {
    if (query_.empty()) {
      browse_.ClearFilter("6 Query", order);
    } else {
      browse_.SetFilterExpression(query_, "6 Query", order);
    }
  }
}

void ScheduleWindow::ShowDay() {
  window()[day_tab_].SetText(FormatDate(selected_day_));
  GLO_DATETOUSE = std::to_string(selected_day_);
}

void ScheduleWindow::PositionAtToday() {
  const std::int32_t today = TODAY();
  for (std::size_t row = 0; row < browse_.Records(); ++row) {
    if (std::stol(browse_.Fields(row)[12]) >= today) {
      browse_.Select(static_cast<long>(row) + 1);
      return;
    }
  }
  if (browse_.Records() > 0) browse_.Select(static_cast<long>(browse_.Records()));
}

void ScheduleWindow::DayChanged(std::int32_t previous) {
  // The list follows the calendar only when it showed the day that has ended; a day the user
  // chose stays.
  if (selected_day_ != previous) return;
  selected_day_ = TODAY();
  ShowDay();
  Reset(true);
}

Level ScheduleWindow::TakeAccepted() {
  const int control = ACCEPTED();
  if (control == select_day_) {
    Update();
    selected_day_ = Calendar(selected_day_, "None", "");
    ShowDay();
    Reset(true);
    SelectList();
    return Level_Notify;
  }
  if (control == choose_category_) {
    Update();
    if (ListWindow::Pick(SelectCategories)) category_ = CAT.Category.view();
    Reset(true);
    SelectList();
    return Level_Notify;
  }
  return TaskListWindow::TakeAccepted();
}

Level ScheduleWindow::TakeNewSelection() {
  if (RecolourTabs(sheet_)) {
    window()[select_day_].Hide(TabNow() != kDayTab);
    window()[choose_category_].Hide(TabNow() != kCategoryTab);
    xplore_.KeySequence();  // a header sort ends with the tab it was made on
    Reset(true);
    if (TabNow() == kAllTab && !all_tab_visited_) {
      all_tab_visited_ = true;
      PositionAtToday();
    }
    SelectList();
  }
  return TaskListWindow::TakeNewSelection();
}

}  // namespace

void BrowseSchedule() {
  Window window("Scheduled Tasks");
  ScheduleWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
