// The task lists: "Scheduled Tasks", the tasks by day, by date, by category or by a query, and
// "Explore Schedule", the whole task table narrowed by drop-down filters. Each is one window per
// program, follows the calendar day, and is re-read whenever a thread in
// BROWSESCHEDULETHREADQUEUE is sent EVENT_RefreshSchedule.
#pragma once

namespace vx {

void BrowseSchedule();
void ExploreSchedule();

}  // namespace vx
