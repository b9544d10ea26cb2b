#include "program/reports/schedule_reports.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "framework/file_manager.h"
#include "framework/report/report_manager.h"
#include "framework/request_globals.h"
#include "framework/table_view.h"
#include "program/common/numbered_warnings.h"
#include "program/due_tasks/user_task_state.h"
#include "program/reports/create_workfile.h"
#include "program/reports/report_criteria.h"
#include "program/reports/report_parameters.h"
#include "program/reports/report_run.h"
#include "program/reports/schedule_report_layouts.h"
#include "program/reports/schedule_work_file.h"
#include "program/schedule/category_windows.h"
#include "program/schedule/user_task_sequence.h"
#include "runtime/expression/evaluate.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr long kTasksPerTick = 25;
constexpr long kWorkFileRowsPerTick = 50;

// The tasks of SCHEDULE for a report in multi-user mode, each by the current user's own state
// of it (their next and last run, skip and switches), as the task lists show them; a task the
// user has no row for prints the team's. In date order they come in the order of the user's
// next runs, in category and date order so within each category; in any other order, in the
// key's.
class UserTaskReportView final : public BrowseView {
 public:
  explicit UserTaskReportView(const storage::KeyDef& key) : key_(key) {}
  void Reset(int) override {
    tasks_.Begin();
    if (ACCESS_SCHEDULE->file().Set(key_) == 0) tasks_.AddWalk();
    if (&key_ == &SCH_KEYDATE) tasks_.SortByRun();
    if (&key_ == &SCH_KEYCATEGORYDATE) tasks_.SortByRunWithinCategory();
  }
  bool Next() override { return tasks_.Next(); }
  long Position() const override { return static_cast<long>(ACCESS_SCHEDULE->file().Position()); }
  bool Fetch(long position) override {
    if (position == 0 || ACCESS_SCHEDULE->file().GetPosition(position) != 0) return false;
    if (const VXUSD_RECORD* row = tasks_.RowOf(SCH.ID)) OverlayUserState(*row, SCH);
    return true;
  }

 private:
  const storage::KeyDef& key_;
  UserTaskSequence tasks_;
};

// The view of a report over `table` in `key`: SCHEDULE by each user's own state in multi-user
// mode.
std::unique_ptr<BrowseView> ReportView(FileManager& table, const storage::KeyDef& key) {
  if (&table == ACCESS_SCHEDULE && PerUserTaskState()) {
    return std::make_unique<UserTaskReportView>(key);
  }
  return std::make_unique<TableView>(table.file(), std::vector<const storage::KeyDef*>{&key});
}

// A framework report over SCHEDULE in `key`; `take` picks the tasks (all without it).
void RunTaskListing(std::string_view procedure, report::ReportLayout& layout,
                    const storage::KeyDef& key, const std::function<bool()>& take = {}) {
  if (ACCESS_SCHEDULE->Open() != 0) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  const std::unique_ptr<BrowseView> view = ReportView(*ACCESS_SCHEDULE, key);
  ReportManager report(procedure, layout);
  report.Run(*view, 1, static_cast<std::size_t>(ACCESS_SCHEDULE->file().Records()), take);
  ACCESS_SCHEDULE->Close();
}

// A report run over `table` in `key`, through `filter` (an expression over the table's fields
// and the criteria globals GLO:Category, GLO:DateFrom and GLO:DateTo).
void RunOverTable(std::string_view procedure, report::ReportLayout& layout, FileManager& table,
                  const storage::KeyDef& key, const std::string& filter, long per_tick,
                  const std::function<void()>& prepare) {
  ReportRun run(procedure, layout);
  run.RecordsPerTick = per_tick;
  if (table.Open() != 0) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  ExpressionBindings names;
  table.BindFields(names);
  names.BindText("GLO:Category", &GLO_CATEGORY);
  names.BindInteger("GLO:DateFrom", &GLO_DATEFROM);
  names.BindInteger("GLO:DateTo", &GLO_DATETO);
  std::function<bool()> take;
  if (!filter.empty()) {
    auto parsed = std::make_shared<Expression>(filter, names);
    if (parsed->ok()) {
      take = [parsed] { return parsed->Evaluate().IsTrue(); };
    } else {
      ShowPlainWarning(36);  // the run goes on over every record
    }
  }
  const std::unique_ptr<BrowseView> view = ReportView(table, key);
  run.Run(*view, 1, static_cast<std::size_t>(table.file().Records()), take, prepare);
  table.Close();
}

// The checklist starts a page at every change of date: an order that is not by date ("Sch:KeyDate"
// and "Sch:KeyCategoryDate" are) may give a page a task.
void WarnOfAnOrderNotByDate() {
  if (UPPER(GLOBALORDER.clipped()).find("DATE") != std::string::npos) return;
  MESSAGE(
      "You have selected an order that does not contain a key by date.  Since a page break is "
      "issued when the date of a scheduled tasks changes, the report may be long.",
      "Warning", MessageIcon::Exclamation);
}

// The brief and checklist reports of SCHEDULE: their criteria, then the tasks or the work file.
void RunScheduleReport(bool checklist) {
  ReportParameters();
  if (ReportCriteriaCancelled()) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  if (checklist) WarnOfAnOrderNotByDate();
  if (REPORTINCLUDEFUTUREOCCURANCES) {
    ScheduleWorkFile work;
    if (!work.Ready()) {
      SetCurrentResponse(RequestCancelled);
      return;
    }
    CreateWorkfile();
    if (GLOBALRESPONSE != RequestCancelled) {
      checklist ? PrintCompleteSchedule() : PrintCompleteScheduleBrief();
    }
    return;
  }
  std::string status, date_line;
  report::ReportLayout layout = checklist ? ChecklistLayout("Schedule", SCH, status, date_line)
                                          : BriefLayout("Schedule in Brief", SCH, status);
  RunOverTable(checklist ? "PrintSchedule" : "PrintScheduleBrief", layout, *ACCESS_SCHEDULE,
               ReportOrderKeyOf(SCHEDULE_TABLE()), std::string(GLOBALFILTER.clipped()),
               kTasksPerTick, [&] {
                 status = TaskStatusText(SCH);
                 if (checklist) date_line = ChecklistDateLine(SCH.Date);
               });
}

void RunWorkFileReport(bool checklist) {
  std::string status, date_line;
  report::ReportLayout layout = checklist
                                    ? ChecklistLayout("Complete Schedule", SCW, status, date_line)
                                    : BriefLayout("Complete Schedule in Brief", SCW, status);
  RunOverTable(checklist ? "PrintCompleteSchedule" : "PrintCompleteScheduleBrief", layout,
               *ACCESS_SCHEDULEWORKFILE, ReportOrderKeyOf(SCHEDULEWORKFILE_TABLE()),
               WorkFileReportFilter(), kWorkFileRowsPerTick, [&] {
                 status = TaskStatusText(SCW);
                 if (checklist) date_line = ChecklistDateLine(SCW.Date);
               });
}

}  // namespace

void Print_SCH_AllDateOrder() {
  report::ReportLayout layout = TaskListingLayout(SCH);
  RunTaskListing("Print:SCH:AllDateOrder", layout, SCH_KEYDATE);
}

void Print_SCH_AllCategoryOrder() {
  report::ReportLayout layout = TaskListingLayout(SCH);
  RunTaskListing("Print:SCH:AllCategoryOrder", layout, SCH_KEYCATEGORY);
}

void Print_SCH_OneCategory() {
  if (ACCESS_CATEGORIES->Open() != 0) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  SetCurrentRequest(SelectRecord);
  SelectCategories();
  const bool picked = GLOBALRESPONSE == RequestCompleted;
  String<20> category = CAT.Category;
  ACCESS_CATEGORIES->Close();
  if (!picked) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  report::ReportLayout layout = CategoryListingLayout(SCH, category);
  RunTaskListing("Print:SCH:OneCategory", layout, SCH_KEYCATEGORYDATE,
                 [&] { return SCH.Category == category; });
}

void PrintScheduleBrief() { RunScheduleReport(false); }
void PrintSchedule() { RunScheduleReport(true); }
void PrintCompleteScheduleBrief() { RunWorkFileReport(false); }
void PrintCompleteSchedule() { RunWorkFileReport(true); }

}  // namespace vx
