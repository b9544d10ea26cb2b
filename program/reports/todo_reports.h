// The two to-do reports and the "Set Report Title" dialog they show. Both run as every report
// with its own progress loop does (report_run.h): the preview question comes first, then the
// title, then the items, 25 a tick; GLOBALRESPONSE is RequestCompleted only when pages went out.
#pragma once

namespace vx {

// "Set Report Title": edits REPORTTITLE; GLOBALRESPONSE is RequestCancelled after Cancel.
void SetReportTitle();
// "To Do List - By Priority": every item by priority, done flag and text.
void PrintToDoByPriority();
// "To Do List - By Category": the items of a category picked first ("SelectCategories"); the
// resolution follows an item's notes on a line of its own.
void PrintToDoByCategory();

}  // namespace vx
