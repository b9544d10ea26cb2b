// Two lists printed as reports: the contact file ("Report the Contact File", every contact in
// category order, through the report run of report_run.h, 25 contacts a tick) and the task
// categories ("Category List", a framework report with its "Report Progress..." window and the
// previewer). Both leave RequestCompleted in GLOBALRESPONSE only when pages went out.
#pragma once

namespace vx {

// Asks first whether to preview (Yes previews, No prints straight, Cancel ends at once). The
// report has its headings even with no contact: a page with them alone.
void PrintContactList();
// The task categories in name order, previewed before printing.
void PrintCAT_KeyCategory();

}  // namespace vx
