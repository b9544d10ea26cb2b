// "Report Criteria": the window the task reports ask their criteria with, on the report's
// thread. It shows the last choices (the first time: every task, dates today to today + 30,
// in date order), and leaves the criteria in their globals (report_criteria.h): OK applies
// them and keeps the "Include future occurances of tasks" box in the settings ("RIFO"), Cancel
// clears the order and the filter. GLOBALRESPONSE holds the window's answer.
#pragma once

namespace vx {

void ReportParameters();

}  // namespace vx
