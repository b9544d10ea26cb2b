// The report criteria the "Report Criteria" window leaves for the task reports: an order, a
// filter over the SCHEDULE record, a category and a date range, each in its global
// (GLOBALORDER, GLOBALFILTER, GLO_CATEGORY, GLO_DATEFROM/GLO_DATETO), turned from the window's
// own globals (TMP_DATESELECT, TMP_CATEGORYSELECT, TMP_ORDERSELECT ...). The globals live for
// the whole run, so the window shows the last choices again.
#pragma once

#include <string>
#include <string_view>

#include "runtime/storage/table_def.h"

namespace vx {

// The key name an "Order" choice stands for ("Date" is "Sch:KeyDate"; anything unknown too).
std::string_view ReportOrderKey(std::string_view order_choice);

// OK's criteria: the order of TMP_ORDERSELECT; the filter by category when TMP_CATEGORYSELECT
// is "Selected" (GLO_CATEGORY := TMP_CATEGORYSELECTED) and by next-run date when TMP_DATESELECT
// is (GLO_DATEFROM/GLO_DATETO := TMP_DATEFROM/TMP_DATETO); without a date range no later runs
// are listed (REPORTINCLUDEFUTUREOCCURANCES := 0 for this run).
void ApplyReportCriteria();

// Cancel's criteria: no order and no filter, which the reports take as "do not print".
void ClearReportCriteria();
bool ReportCriteriaCancelled();

// The key of `table` (SCHEDULE or the work file, whose keys share their names) that
// GLOBALORDER names, without regard to case and to the "Sch:" in front; the date key when it
// names none.
const storage::KeyDef& ReportOrderKeyOf(const storage::TableDef& table);

// GLOBALFILTER over the work file's fields: upper case, every "SCH:" as "SCW:".
std::string WorkFileReportFilter();

}  // namespace vx
