// The administration windows: Options, Housekeeping and About (called on Main's thread), the
// users list and form, and the form of one user's copy of a task.
#pragma once

namespace vx {

// The window "Options": eight tabs over the setting globals, edited in place. OK writes every
// setting to the settings store, Cancel (Esc, the close box) reloads them all from it. Opens
// only when the system password prompt lets the user in. Runs on the caller's thread.
void Setup();

// The window "Housekeeping": removes disabled or completed tasks with their script steps and
// per-user rows, empties the to-do list, re-dates every task, removes the saved window places,
// empties the active script queue and gives the current user rows for all tasks. Opens only
// when the system password prompt lets the user in; the open task lists refresh after it.
void Housekeeping();

// The window "About": the product's name, version, build number and build date.
void About();

// The window "Users": every USERS row by name, with New, Edit and Delete through UpdateUsers.
// One such window per program unless started to select. Deleting a user deletes the user's
// per-task rows (VXUSD) with it.
void BrowseUsers();

// The form of the user in the USERS buffer, by the thread's request (GLOBALREQUEST); answers
// in GLOBALRESPONSE. The two password fields are kept as typed.
void UpdateUsers();

// The form of one user's copy of a task (the VXUSD buffer: US.USER, US.ID and the run state),
// by the thread's request (GLOBALREQUEST: 1 insert, 2 change, 3 delete, 4 view); answers in
// GLOBALRESPONSE. The task form reaches it by name ("UpdateVXUSD").
void UpdateVXUSD();

}  // namespace vx
