#include <string>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "program/schedule/select_date_range.h"
#include "program/schedule/task_list_window.h"
#include "program/schedule/task_windows.h"
#include "program/windows/format_date.h"
#include "runtime/dates.h"

namespace vx {
namespace {

// The same row fields as the task browse, without the last run; the colour fields stay in the
// format but hold the default colours, since the explorer colours no dates.
constexpr std::string_view kListFormat =
    "12L(2)*I@s1@12L(2)*I@s1@45L(2)*M|~Date~@d3@32R(1)*M|~Time~L@t3@55L(2)M|~Category~@s20@"
    "110L(2)M|~Description~@s40@100L(2)M|~Schedule Type~L(1)@s40@";

constexpr std::string_view kTitle = "Explore Schedule";

class ExploreWindow final : public TaskListWindow {
 public:
  explicit ExploreWindow(Window& window) : TaskListWindow(window, "ExploreSchedule") {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;

  int OrderNow() const override { return 1; }
  void ApplyFilters() override;

 protected:
  std::int32_t DayForNewTasks() const override { return chosen_day_; }
  void DayChanged(std::int32_t previous) override;
  bool ActiveOnly() const override { return status_.clipped() == "Active"; }
  void SetActiveOnly(bool only) override {
    status_ = only ? "Active" : "All";
    window()[status_list_].Display();
  }

 private:
  void SetFilter(std::string_view name, const std::string& expression);
  void ShowRange(const std::string& text);

  std::int32_t chosen_day_ = 0;
  std::int32_t range_start_ = 0, range_end_ = 0;
  String<20> status_ = "All";
  String<20> day_choice_ = "Today";
  String<20> category_choice_ = "All";
  std::uint8_t limit_to_user_ = 0;
  String<40> day_display_;
  bool categories_opened_ = false;
  int day_text_ = 0, status_list_ = 0, day_list_ = 0, category_list_ = 0, user_check_ = 0,
      more_ = 0;
};

void ExploreWindow::Build() {
  Window& w = window();
  w.Icon("timedate.ico");
  w.Timer(1000);  // every ten seconds: the day may have changed
  Control& filters = w.Group("F&ilters");
  filters.Arrange(Arrangement::Row);
  day_text_ = filters.String(day_display_, "@s40").Hide();
  filters.Prompt("&Status:");
  status_list_ =
      filters.DropList(status_, "All|Active|Completed|Disabled").Tip("Select records by status");
  filters.Prompt("&Day:");
  day_list_ =
      filters.DropList(day_choice_, "All|Today|Tomorrow|This Week|This Month|Yesterday|Custom");
  filters.Prompt("&Category:");
  category_list_ = filters.DropList(category_choice_).Tip("Select records by category");
  user_check_ = filters.Check("&Limit to current user", limit_to_user_)
                    .Tip("Include tasks for all users")
                    .Set(Prop::Msg, "Include tasks for all users");
  list_ = w.List(kListFormat);
  // The commands in one row under the list, as in the task browse, so the list keeps the width.
  Control& buttons = w.Row();
  buttons_.insert = buttons.Button("&New").Icon("INSERT.ICO").Tip("Add a new task (tabbed)");
  copy_ = buttons.Button("Cop&y")
              .Tip("Copy the highlighted task to a new task")
              .Set(Prop::Msg, "Copy record");
  buttons_.change = buttons.Button("&Edit").Icon("OPEN.ICO").Tip("Edit the highlighted task");
  buttons_.remove = buttons.Button("Delete").Icon("CUT.ICO").Tip("Delete the highlighted task");
  quick_ = buttons.Button("&Quick")
               .Icon("quickst.ico")
               .Tip("Quick Start - Make a copy (of the current task) that will start shortly.");
  execute_ = buttons.Button("E&xecute").Icon("NOW.ICO").Tip("Execute (run) the highlighted task");
  more_ = buttons.Button("&More...")
              .Icon("more.ico")
              .Tip("Select one of several options from a popup menu")
              .Set(Prop::Msg, "Select one of several options from a popup menu");
  CancelControl = w.Button("Cl&ose").Icon("EXIT.ICO").Tip("Close this window");
  w.SetCancelButton(CancelControl);
  w.Status(1, "Browsing Schedule");
}

Level ExploreWindow::Init() {
  const Level level = TaskListWindow::Init();
  if (level != Level_Benign) return level;
  browse_.active_only = false;  // the status choice does it here
  chosen_day_ = TODAY();
  GLO_DATETOUSE = std::to_string(chosen_day_);
  status_ = GLO_ACTIVEONLY != 0 ? "Active" : "All";
  day_choice_ = FULLSCHEDULE != 0 ? "All" : "Today";

  std::string categories = "All";
  if (ACCESS_CATEGORIES->Open() == 0) {
    categories_opened_ = true;
    ACCESS_CATEGORIES->Set(CAT_KEYCATEGORY);
    // A category holding "|" or starting with "#" would read as the list's own marks.
    while (ACCESS_CATEGORIES->TryNext() == 0) {
      std::string name = CAT.Category.str();
      for (char& c : name) {
        if (c == '|') c = '/';
      }
      if (!name.empty() && name.front() == '#') name.insert(0, " ");
      categories += "|" + name + "|#" + CAT.Category.str();
    }
  }
  window()[category_list_].From(categories);

  view_.ranges = {TaskView::Range::AllByDate};
  SetUpBrowse(list_, kListFormat);
  ExpressionBindings& names = browse_.Bindings;
  names.BindText("Filter:Category", &category_choice_);
  names.BindInteger("Filter:User", &limit_to_user_);
  names.BindText("GLO:User", &GLO_USER);
  browse_.AddSortOrder();
  browse_.SetLocator([] { return FormatDate(SCH.Date); });
  AttachListExtension();
  OpenList(list_);
  AddPopupEntries(false);
  if (FULLSCHEDULE != 0) {
    for (std::size_t row = 0; row < browse_.Records(); ++row) {
      if (std::stol(browse_.Fields(row)[12]) >= TODAY()) {
        browse_.Select(static_cast<long>(row) + 1);
        break;
      }
    }
  }
  return Level_Benign;
}

Level ExploreWindow::Kill() {
  if (categories_opened_) ACCESS_CATEGORIES->Close();
  categories_opened_ = false;
  return TaskListWindow::Kill();
}

void ExploreWindow::SetFilter(std::string_view name, const std::string& expression) {
  if (expression.empty()) {
    browse_.ClearFilter(std::string(name), 1);
  } else {
    browse_.SetFilterExpression(expression, std::string(name), 1);
  }
}

void ExploreWindow::ShowRange(const std::string& text) {
  day_display_ = text;
  window()[day_text_].Display();
  window()[day_list_].Tip(text.empty() ? std::string("Select records by date") : text);
}

void ExploreWindow::ApplyFilters() {
  SetFilter("6 Query", query_);
  // Hot-key tasks belong to the hot-key list, never to this one.
  SetFilter("3TaskType", "NOT(SCH:TaskType='Hot Key')");

  const std::string_view status = status_.clipped();
  if (status == "All") SetFilter("3Status", "");
  if (status == "Active") SetFilter("3Status", "~(SCH:Disabled OR SCH:Completed)");
  if (status == "Completed") SetFilter("3Status", "SCH:Completed");
  if (status == "Disabled") SetFilter("3Status", "SCH:Disabled");

  const std::int32_t today = TODAY();
  const std::string_view day = day_choice_.clipped();
  auto range_text = [&] { return FormatDate(range_start_) + "-" + FormatDate(range_end_); };
  if (day == "All") {
    SetFilter("2Date", "");
    chosen_day_ = today;
    ShowRange("");
  } else if (day == "Today" || day == "Yesterday" || day == "Tomorrow") {
    const int offset = day == "Today" ? 0 : day == "Yesterday" ? -1 : 1;
    SetFilter("2Date", offset == 0  ? "SCH:Date=TODAY()"
                       : offset < 0 ? "SCH:Date=TODAY()-1"
                                    : "SCH:Date=TODAY()+1");
    chosen_day_ = today + offset;
    ShowRange(FormatDate(chosen_day_));
  } else if (day == "This Week") {
    SetFilter("2Date", "SCH:Date>=TODAY() AND SCH:Date<TODAY()+7");
    chosen_day_ = today;
    range_start_ = today;
    range_end_ = today + 6;
    ShowRange(range_text());
  } else if (day == "This Month") {
    // The month alone, in any year, as the list has always shown it.
    SetFilter("2Date", "MONTH(SCH:Date)=MONTH(TODAY())");
    chosen_day_ = today;
    range_start_ = DATE(MONTH(today), 1, YEAR(today));
    range_end_ = DATE(MONTH(today) + 1, 1, YEAR(today)) - 1;
    ShowRange(range_text());
  } else if (day == "Custom") {
    if (range_end_ == 0) range_end_ = DATE(1, 1, 2099);
    if (range_start_ == 0) range_start_ = DATE(1, 1, 1995);
    SetFilter("2Date", "SCH:Date>=" + std::to_string(range_start_) +
                           " AND SCH:Date<=" + std::to_string(range_end_));
    chosen_day_ = range_start_;
    ShowRange(range_text());
  }

  SetFilter("5Cat", category_choice_.clipped() == "All" ? "" : "SCH:Category=Filter:Category");
  if (limit_to_user_ != 0) {
    SetFilter("1User", "SCH:User=GLO:User");
    window().Title(std::string(kTitle) + " - " + GLO_USER.str());
  } else {
    SetFilter("1User", "");
    window().Title(std::string(kTitle) + " - All users");
  }
  GLO_DATETOUSE = std::to_string(chosen_day_);
}

void ExploreWindow::DayChanged(std::int32_t previous) {
  if (chosen_day_ != previous) return;
  chosen_day_ = TODAY();
  GLO_DATETOUSE = std::to_string(chosen_day_);
  Reset(true);
}

Level ExploreWindow::TakeAccepted() {
  const int control = ACCEPTED();
  if (control == status_list_ || control == category_list_ || control == user_check_) {
    Update();
    Reset(true);
    return Level_Notify;
  }
  if (control == day_list_) {
    Update();
    if (day_choice_.clipped() == "Custom") {
      if (range_end_ == 0) range_end_ = DATE(1, 1, 2099);
      if (range_start_ == 0) range_start_ = DATE(1, 1, 1995);
      Function_SelectDateRange(range_start_, range_end_);
    }
    Reset(true);
    return Level_Notify;
  }
  if (control == more_) {
    Update();
    PopupBeside(more_);
    return Level_Notify;
  }
  return TaskListWindow::TakeAccepted();
}

}  // namespace

void ExploreSchedule() {
  Window window{std::string(kTitle)};
  ExploreWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
