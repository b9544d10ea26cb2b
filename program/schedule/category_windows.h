// The task categories: their form, their picker and the window that lists them with their tasks.
#pragma once

namespace vx {

// The form of the category in the CATEGORIES buffer, by the thread's request (GLOBALREQUEST).
void UpdateCategories();
// "Select a Category": the categories in name order; "&Select" leaves the chosen one in the
// CATEGORIES buffer with the response RequestCompleted, "Cancel" answers RequestCancelled.
void SelectCategories();
// "Task Categories": the categories beside the enabled tasks of the highlighted one. One such
// window per program unless started to select.
void BrowseScheduleCategories();

}  // namespace vx
