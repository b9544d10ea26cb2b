// The page layouts of the task reports, over a task record buffer (SCH, or SCW for the reports
// of the work file): where each title, heading and field goes. The buffer must be the calling
// thread's and the texts given must outlive the run; the layouts read them as each band prints.
// Dates take the user's date picture.
//
//   TaskListingLayout      "Schedule": every field of a task, its message wrapped below
//   CategoryListingLayout  the category's name as title; date, time and description
//   BriefLayout            `title`; date, time, category, description and the status text
//   ChecklistLayout        `title`; a page per date, headed by the date line; time, category,
//                          description, status, and lines to write the actual start and end
//                          and the initials on
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "datadll/dictionary/schedule_table.h"
#include "runtime/report/report_layout.h"

namespace vx {

report::ReportLayout TaskListingLayout(SCHEDULE_RECORD& task);
report::ReportLayout CategoryListingLayout(SCHEDULE_RECORD& task, String<20>& category);
report::ReportLayout BriefLayout(std::string_view title, SCHEDULE_RECORD& task,
                                 std::string& status);
report::ReportLayout ChecklistLayout(std::string_view title, SCHEDULE_RECORD& task,
                                     std::string& status, std::string& date_line);

// "Off" for a switched-off task, "Done" for a completed one (whether switched off or not), else
// nothing.
std::string TaskStatusText(const SCHEDULE_RECORD& task);
// The checklist's date line: the weekday and the date as "Monday June 15, 2026" (@d4).
std::string ChecklistDateLine(std::int32_t date);

}  // namespace vx
