// The task reports of Main's "Reports" > "Schedule" menu, each run on the thread Main starts
// for it, leaving RequestCompleted in GLOBALRESPONSE when its pages were printed.
//
//   Print_SCH_AllDateOrder       "Schedule", every task in full, by next run
//   Print_SCH_AllCategoryOrder   the same by category
//   Print_SCH_OneCategory        the tasks of the category picked in "Select a Category"
//   PrintScheduleBrief           "Schedule in Brief": a line a task, by the report criteria
//   PrintSchedule                "Schedule": the daily checklist, a page per date
//
// The first three are the framework's report (ReportManager: "Report Progress...", then the
// preview). The last two ask their criteria ("Report Criteria") and run as report_run.h says
// over the tasks the criteria's filter lets through, in the order chosen; when the later runs
// of the tasks in the date range are asked for, they fill a work file of their own instead
// (CreateWorkfile) and print from it as "Complete Schedule in Brief" / "Complete Schedule"
// (PrintCompleteScheduleBrief / PrintCompleteSchedule). The work file is removed whatever
// becomes of the report.
//
// In multi-user mode the tasks of SCHEDULE print by the current user's own state of each
// (user_task_sequence.h), and the criteria choose by it; in date order they come in the order
// of the user's next runs (in category and date order, within each category), in other orders
// in the key's. The work file's later runs start from the user's next run of each task.
#pragma once

namespace vx {

void Print_SCH_AllDateOrder();
void Print_SCH_AllCategoryOrder();
void Print_SCH_OneCategory();
void PrintScheduleBrief();
void PrintSchedule();
// The two reports of the work file, called by the two above with the work file filled.
void PrintCompleteScheduleBrief();
void PrintCompleteSchedule();

}  // namespace vx
