#include "program/schedule/task_list_window.h"

#include <algorithm>
#include <charconv>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/request_globals.h"
#include "program/admin/password_validation.h"
#include "program/common/main_procedures.h"
#include "program/due_tasks/task_actions.h"
#include "program/due_tasks/user_task_state.h"
#include "program/schedule/task_defaults.h"
#include "program/schedule/task_query.h"
#include "program/windows/format_date.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/list_format.h"

namespace vx {
namespace {

constexpr long kGrey = 8421504;    // a disabled task's date
constexpr long kBlue = 0xFF0000;   // a task to be skipped next time (blue in blue-green-red)
constexpr long kWhite = 0xFFFFFF;  // either when highlighted
constexpr long kDefaultColour = -1;

std::function<void()> TaskForm() { return MainProcedure("UpdateSchedule"); }

int FieldIndex(std::string_view name) { return SCHEDULE_TABLE().FieldIndex(name); }

}  // namespace

void TaskView::Reset(int order) {
  const Range range = order >= 1 && order <= static_cast<int>(ranges.size())
                          ? ranges[static_cast<std::size_t>(order - 1)]
                          : Range::AllByDate;
  storage::File& file = ACCESS_SCHEDULE->file();
  per_user_ = PerUserTaskState();
  if (per_user_) {
    user_tasks_.Begin();
    switch (range) {
      case Range::AllByDate:
        if (file.Set(SCH_KEYDATE) == 0) user_tasks_.AddWalk();
        user_tasks_.SortByRun();
        break;
      case Range::Day:
        user_tasks_.AddDay(day);
        user_tasks_.SortByRun();
        break;
      case Range::Category:
        SCH.Category = category.view();
        if (file.SetEqual(SCH_KEYCATEGORY, {FieldIndex("Category")}) == 0) user_tasks_.AddWalk();
        break;
    }
    return;
  }
  switch (range) {
    case Range::AllByDate:
      walking_ = file.Set(SCH_KEYDATE) == 0;
      break;
    case Range::Day:
      SCH.Date = day;
      walking_ = file.SetEqual(SCH_KEYDATE, {FieldIndex("Date")}) == 0;
      break;
    case Range::Category:
      SCH.Category = category.view();
      walking_ = file.SetEqual(SCH_KEYCATEGORY, {FieldIndex("Category")}) == 0;
      break;
  }
}

bool TaskView::Next() {
  if (per_user_) return user_tasks_.Next();
  if (!walking_) return false;
  walking_ = ACCESS_SCHEDULE->file().Next() == 0;
  return walking_;
}

long TaskView::Position() const { return static_cast<long>(ACCESS_SCHEDULE->file().Position()); }

bool TaskView::Fetch(long position) {
  return position != 0 && ACCESS_SCHEDULE->file().GetPosition(position) == 0;
}

int TaskStatusIcon() {
  const bool completed = SCH.Completed != 0, skipped = SCH.Skipped != 0;
  if (completed && !skipped) return 4;                // done
  if (SCH.SkipNextTime != 0 && !completed) return 8;  // skip next time
  if (SCH.Disabled != 0 && !completed) return 3;      // disabled
  if (completed && skipped) return 9;                 // completed and skipped
  return 6;                                           // not done
}

int TaskKindIcon() {
  const std::string_view type = SCH.TaskType.clipped();
  if (type == "Run Program") return 7;
  if (type == "Display Message") return 5;
  if (type == "Both") return 2;
  return 1;
}

std::vector<std::string> TaskListIcons() {
  return {"~blank.ico",   "~bothtask.ico", "~disabled.ico", "~done.ico",   "~msgtask.ico",
          "~notdone.ico", "~progtsk2.ico", "~skip.ico",     "~skipped.ico"};
}

std::string TaskListFormat(std::string_view format) {
  std::vector<ListColumn> columns = ParseListFormat(format);
  const std::string picture = DatePicture();  // "@D17"
  for (ListColumn& column : columns) {
    if (column.picture.size() < 2 || (column.picture[1] != 'd' && column.picture[1] != 'D'))
      continue;
    const bool blank = column.picture.back() == 'b' || column.picture.back() == 'B';
    column.picture = picture + (blank ? "b" : "");
  }
  return WriteListFormat(columns);
}

void TaskBrowse::SetQueueRecord() {
  long date_fg = kDefaultColour, date_selected_fg = kDefaultColour;
  if (colour_dates && SCH.Disabled != 0) {
    date_fg = kGrey;
    date_selected_fg = kWhite;
  } else if (colour_dates && SCH.SkipNextTime != 0) {
    date_fg = kBlue;
    date_selected_fg = kWhite;
  }
  // Each field is made once, in its place (the browse keeps the row as it is).
  static const std::string kNone = std::to_string(kDefaultColour);
  Q.clear();
  Q.reserve(kTaskRowFields);
  const auto none = [this](std::size_t count) { Q.insert(Q.end(), count, kNone); };
  const auto number = [this](long n) {
    char digits[24];
    Q.emplace_back(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
  };
  Q.emplace_back();  // 1 status
  none(4);
  number(TaskStatusIcon());  // 6
  Q.emplace_back();          // 7 kind
  none(4);
  number(TaskKindIcon());  // 12
  number(SCH.Date);        // 13, its colours 14-17
  number(date_fg);
  none(1);
  number(date_selected_fg);
  none(1);
  number(SCH.Time);  // 18, its colours 19-22
  none(4);
  Q.emplace_back(SCH.Category.clipped());     // 23
  Q.emplace_back(SCH.Description.clipped());  // 24
  Q.push_back(DescribeSchedule());            // 25
  number(SCH.LastRunDate);                    // 26
  number(SCH.LastRunTime);
  number(SCH.Skipped);
  number(SCH.ID);  // 29
}

bool TaskBrowse::ValidateRecord() {
  return !active_only || (SCH.Disabled == 0 && SCH.Completed == 0);
}

void TaskBrowse::PrimeRecord(bool keep_buffer) {
  const bool keep = keep_buffer || copy;
  copy = false;
  ACCESS_SCHEDULE->PrimeRecord(keep);
}

void TaskBrowse::UpdateWindow() {
  ZQBROWSECLASS::UpdateWindow();
  if (owner) owner->EnableControls();
}

void TaskBrowse::ResetSort(bool force) {
  if (!owner) {
    ZQBROWSECLASS::ResetSort(force);
    return;
  }
  owner->ApplyFilters();
  SetSort(owner->OrderNow(), force);
}

Level TaskBrowse::TakeEvent() {
  // The list's popup: entries that stand for a button press it; the others are commands.
  if (owner && ListControl() && FIELD() == ListControl()->Number() && EVENT() == EVENT_AlertKey &&
      KEYCODE() == MouseRight) {
    const std::string chosen = Popup.Ask();
    owner->TakeCommand(chosen);
    return Level_Benign;
  }
  return ZQBROWSECLASS::TakeEvent();
}

TaskListWindow::TaskListWindow(Window& window, std::string_view procedure)
    : ListWindow(window, procedure, *RELATE_SCHEDULE) {
  browse_.owner = this;
}

Level TaskListWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  // Whoever changes tasks posts EVENT_RefreshSchedule to every thread listed here.
  BROWSESCHEDULETHREADQUEUE.buffer.BROWSESCHEDULETHREAD = static_cast<std::int32_t>(THREAD());
  BROWSESCHEDULETHREADQUEUE.Add();
  registered_ = true;
  last_seen_day_ = TODAY();
  browse_.active_only = GLO_ACTIVEONLY != 0;
  return Level_Benign;
}

Level TaskListWindow::Kill() {
  if (registered_) {
    const std::int32_t thread = static_cast<std::int32_t>(THREAD());
    for (long i = 1; i <= BROWSESCHEDULETHREADQUEUE.Records(); ++i) {
      if (BROWSESCHEDULETHREADQUEUE.Get(i) == 0 &&
          BROWSESCHEDULETHREADQUEUE.buffer.BROWSESCHEDULETHREAD == thread) {
        BROWSESCHEDULETHREADQUEUE.Delete();
        break;
      }
    }
    registered_ = false;
  }
  return ListWindow::Kill();
}

void TaskListWindow::SetUpBrowse(int list, std::string_view format) {
  list_ = list;
  Control& control = window()[list];
  control.IconList(TaskListIcons());
  browse_.Init(control, view_, *this);
  ACCESS_SCHEDULE->BindFieldsLater(browse_.Bindings);
  WireButtons(browse_, buttons_, [] {
    if (auto form = TaskForm()) form();
  });
  control.Format(TaskListFormat(format));
}

void TaskListWindow::AttachListExtension() {
  // One label per list column (the icon columns cannot be ordered on), then the hidden fields.
  ListWindow::AttachListExtension(
      xplore_, browse_, list_, "?Browse:1",
      {"", "", "SCH:Date", "SCH:Time", "SCH:Category", "SCH:Description", "LOC:ScheduleType",
       "SCH:LastRunDate", "SCH:LastRunTime", "SCH:Skipped", "SCH:ID"},
      ">Header");
}

void TaskListWindow::AddPopupEntries(bool special_button) {
  PopupClass& popup = browse_.Popup;
  if (special_button) {
    popup.AddItemMimic("Special", special_);
  } else {
    popup.AddItem("S&pecial", "Special");
  }
  popup.AddItemMimic("Execute", execute_);
  popup.AddItemMimic("Quick", quick_);
  popup.AddItem("-", "Separator1");
  popup.AddItem("&Scripting", "Scripting");
  popup.AddItem("Edit Script as Text", "EditScriptAsText");
  popup.AddItem("-", "Separator2");
  popup.AddItem("Show Active Only", "ShowActiveOnly");
  popup.AddItem("Show All", "ShowAll");
  popup.AddItem("-", "Separator3");
  popup.AddItem("&Query", "Query");
  popup.AddItem("Reset", "Reset");
  popup.AddItem("-", "Separator4");
  popup.AddItemMimic("Copy", copy_, "Cop&y");
  EnableControls();
}

void TaskListWindow::EnableControls() {
  Window& w = window();
  const bool form = static_cast<bool>(TaskForm());
  const bool any = browse_.Records() > 0;
  if (copy_) w[copy_].Enable(form && any);
  if (special_) w[special_].Enable(form && any);
  for (int control : {quick_, execute_}) {
    if (control) w[control].Enable(any);
  }
  if (!form) {
    for (int control : {buttons_.insert, buttons_.change, buttons_.remove}) {
      if (control) w[control].Disable();
    }
  }
  PopupClass& popup = browse_.Popup;
  if (!popup.HasItem("Query")) return;
  popup.SetItemEnable("Special", form && any);
  popup.SetItemEnable("Scripting", any && static_cast<bool>(MainProcedure("BrowseScripting")));
  popup.SetItemEnable("EditScriptAsText",
                      any && static_cast<bool>(MainProcedure("Script:EditAsText")));
  popup.SetItemEnable("ShowActiveOnly", !ActiveOnly());
  popup.SetItemEnable("ShowAll", ActiveOnly());
  popup.SetItemEnable("Reset", !query_.empty());
}

void TaskListWindow::TakeCommand(std::string_view command) {
  if (command == "Special" && !special_) {
    Special();
  } else if (command == "Scripting") {
    Scripting();
  } else if (command == "EditScriptAsText") {
    EditScriptAsText();
  } else if (command == "ShowActiveOnly") {
    ShowActive(true);
  } else if (command == "ShowAll") {
    ShowActive(false);
  } else if (command == "Query") {
    Query();
  } else if (command == "Reset") {
    ResetQuery();
  }
}

Level TaskListWindow::TakeAccepted() {
  const int control = ACCEPTED();
  if (control == buttons_.insert) {
    Update();
    // A new task starts on the day the list shows; the form primes its date from here.
    GLO_DATETOUSE = std::to_string(DayForNewTasks());
    GLO_PRIMETASKTYPE.clear();
    const Level level = ListWindow::TakeAccepted();
    return level;
  }
  if (control == copy_) {
    Copy();
  } else if (control == special_) {
    Special();
  } else if (control == quick_) {
    Quick();
  } else if (control == execute_) {
    Execute();
  } else {
    return ListWindow::TakeAccepted();
  }
  return Level_Notify;
}

Level TaskListWindow::TakeWindowEvent() {
  switch (EVENT()) {
    case EVENT_RefreshSchedule:
      Reset(true);
      break;
    case EVENT_Timer: {
      const std::int32_t today = TODAY();
      if (today != last_seen_day_) {
        const std::int32_t previous = last_seen_day_;
        last_seen_day_ = today;
        DayChanged(previous);
      }
      break;
    }
    default:
      break;
  }
  return ListWindow::TakeWindowEvent();
}

void TaskListWindow::Copy() {
  Update();
  if (browse_.Records() == 0 || !TaskForm()) return;
  // The form copies the script of the task named here onto the new one.
  GLO_SCH_ID = SCH.ID;
  SCH.ID = 0;
  browse_.copy = true;
  window().Post(EVENT_Accepted, buttons_.insert);
}

void TaskListWindow::Special() {
  Update();
  auto form = TaskForm();
  if (browse_.Records() == 0 || !form) return;
  GLO_PRIMETASKTYPE = "Reschedule";
  WindowManager::RunUpdate(form, InsertRecord);
  // The special-event road ends here; a later New must not open as one.
  GLO_PRIMETASKTYPE.clear();
  SelectList();
  Reset(true);
}

void TaskListWindow::Quick() {
  Update();
  if (browse_.Records() == 0) return;
  if (fPasswordValidation() != 0 && QuickStartTask()) {
    // Highlight the copy when the list shows it; otherwise the task it was made from stays.
    const long copy = view_.Position();
    Reset(true);
    for (long row = 1; row <= static_cast<long>(browse_.Records()); ++row) {
      if (browse_.PositionOf(row) == copy) {
        browse_.Select(row);
        break;
      }
    }
  } else {
    Reset(true);
  }
  if (KEYCODE() == MouseRight) SETKEYCODE(0);
  SelectList();
}

void TaskListWindow::Execute() {
  Update();
  if (browse_.Records() == 0) return;
  TEMPSCRIPTINGACTIVE = 1;
  PerformTaskNow();
  SelectList();
}

void TaskListWindow::Scripting() {
  SelectList();
  Update();
  if (browse_.Records() == 0) return;
  if (fPasswordValidation() == 0) return;
  const char kind = SCH.TaskType.clipped().empty() ? ' ' : SCH.TaskType.clipped().front();
  if (kind != 'R' && kind != 'B') {
    MESSAGE("This schedule type does not support scripting.", "Error", MessageIcon::Exclamation);
  } else if (auto steps = MainProcedure("BrowseScripting")) {
    WindowManager::RunUpdate(steps, ChangeRecord);
  }
  SelectList();
}

void TaskListWindow::EditScriptAsText() {
  Update();
  if (browse_.Records() == 0) return;
  const auto edit_as_text = MainProcedure("Script:EditAsText");
  if (!edit_as_text) return;
  SetCurrentRequest(ChangeRecord);
  edit_as_text();
  SetCurrentRequest(0);
  Reset(true);
}

void TaskListWindow::ShowActive(bool only) {
  SetActiveOnly(only);
  if (!only && KEYCODE() == MouseRight) SETKEYCODE(0);
  Reset(true);
  SelectList();
}

void TaskListWindow::Query() {
  if (TaskQueryWizard(query_)) Reset(true);
  SelectList();
}

void TaskListWindow::ResetQuery() {
  query_.clear();
  Reset(true);
}

void TaskListWindow::PopupBeside(int button) {
  (void)button;  // the front end opens a popup where the pointer is
  const std::string chosen = browse_.Popup.Ask();
  TakeCommand(chosen);
}

}  // namespace vx
