// The request handed to a form or list and its answer, one set per runtime thread.
#pragma once

namespace vx {

// Requests in GLOBALREQUEST. 4 makes a list select a record and a form show one read-only.
inline constexpr long InsertRecord = 1;
inline constexpr long ChangeRecord = 2;
inline constexpr long DeleteRecord = 3;
inline constexpr long SelectRecord = 4;
inline constexpr long ViewRecord = 4;

// Answers in GLOBALRESPONSE.
inline constexpr long RequestCompleted = 1;
inline constexpr long RequestCancelled = 2;

// Per thread, cleared when a runtime thread starts: a form on one thread never sees the request
// of a window on another.
extern thread_local long GLOBALREQUEST;
extern thread_local long GLOBALRESPONSE;
extern thread_local long VCRREQUEST;

}  // namespace vx
