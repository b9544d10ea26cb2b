// What the two task lists ("Scheduled Tasks" and "Explore Schedule") share: the view that walks
// only the tasks a list shows, the rows with their status and kind icons, the browse, and the
// window manager with the task commands (New, Copy, Edit, Delete, Special, Quick, Execute,
// Scripting, Edit Script as Text, Show Active Only / Show All, Query and Reset), the refresh on
// EVENT_RefreshSchedule and the midnight roll-over of the window timer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/browse_class.h"
#include "program/schedule/user_task_sequence.h"
#include "program/windows/list_window.h"
#include "runtime/fixed_string.h"

namespace vx {

// The tasks of one sort order: all by date, those of one day by time, or those of one
// category by description. Each walks a key over only the tasks it shows, so a day of a large
// table costs the reads of that day alone. In multi-user mode each task is read with the
// current user's own state of it, the orders by date and the day following the user's dates
// (UserTaskSequence).
class TaskView final : public BrowseView {
 public:
  enum class Range { AllByDate, Day, Category };
  std::vector<Range> ranges;  // by view order, from 1
  std::int32_t day = 0;
  String<20> category;

  void Reset(int order) override;
  bool Next() override;
  long Position() const override;
  bool Fetch(long position) override;

 private:
  bool walking_ = false;
  bool per_user_ = false;
  UserTaskSequence user_tasks_;
};

// Icons of the task in the SCHEDULE buffer, as numbers in TaskListIcons(): its state (done,
// skip next time, disabled, completed and skipped, else not done) and its kind.
int TaskStatusIcon();
int TaskKindIcon();
std::vector<std::string> TaskListIcons();
// A list format with the date pictures in the user's date picture; a date picture ending in
// "b" (a blank for no date) keeps the "b".
std::string TaskListFormat(std::string_view format);

// The row fields of a task, numbered for the lists' formats: 1 status (2-5 colours, 6 icon),
// 7 kind (8-11 colours, 12 icon), 13 date (14-17 colours), 18 time (19-22 colours),
// 23 category, 24 description, 25 schedule description, 26 last run date, 27 last run time,
// 28 skipped, 29 id.
inline constexpr int kTaskRowFields = 29;

class TaskListWindow;

class TaskBrowse final : public ZQBROWSECLASS {
 public:
  TaskListWindow* owner = nullptr;
  bool copy = false;          // the next insert starts from the highlighted task
  bool active_only = false;   // disabled and completed tasks are left out
  bool colour_dates = false;  // the date column shows disabled and skip-next-time tasks apart

  void SetQueueRecord() override;
  bool ValidateRecord() override;
  void PrimeRecord(bool keep_buffer) override;
  void UpdateWindow() override;
  void ResetSort(bool force) override;
  Level TakeEvent() override;
};

class TaskListWindow : public ListWindow {
 public:
  TaskListWindow(Window& window, std::string_view procedure);

  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;
  Level TakeWindowEvent() override;

  // The window's state that the browse reads.
  virtual int OrderNow() const = 0;
  virtual void ApplyFilters() = 0;
  virtual void EnableControls();
  // A popup item was chosen (by its name).
  void TakeCommand(std::string_view command);

 protected:
  // Builds the list and sets up the browse over it; called from a window's Init.
  void SetUpBrowse(int list, std::string_view format);
  // Attaches the list extension (header sorting, the saved layout) under the procedure's name;
  // called after the sort orders, before the window opens.
  void AttachListExtension();
  // Adds the popup entries after the browse's own (after the window opened).
  void AddPopupEntries(bool special_button);
  // The day a new task starts on (GLO:DATETOUSE).
  virtual std::int32_t DayForNewTasks() const = 0;
  // The day changed at midnight from `previous` to today.
  virtual void DayChanged(std::int32_t previous) = 0;
  // Show Active Only / Show All: the browse leaves out disabled and completed tasks; the
  // explorer sets its status choice instead.
  virtual bool ActiveOnly() const { return browse_.active_only; }
  virtual void SetActiveOnly(bool only) { browse_.active_only = only; }
  // Opens the popup beside a button ("&More...").
  void PopupBeside(int button);
  void SelectList() { window().Select(list_); }

  TaskBrowse browse_;
  ListXplore xplore_;  // after the browse it attaches to
  TaskView view_;
  std::string query_;  // the query filter; empty: none
  int list_ = 0;
  ListButtons buttons_;  // New, Edit and Delete; Copy is the window's own (copy_)
  int copy_ = 0, special_ = 0, quick_ = 0, execute_ = 0;

 private:
  void Copy();
  void Special();
  void Quick();
  void Execute();
  void Scripting();
  void EditScriptAsText();
  void ShowActive(bool only);
  void Query();
  void ResetQuery();

  std::int32_t last_seen_day_ = 0;
  bool registered_ = false;
};

}  // namespace vx
