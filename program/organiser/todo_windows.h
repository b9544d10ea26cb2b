// The to-do list "To Do Items" and the form of one item (the to-do reports are among the
// reports, program/reports/todo_reports.h).
#pragma once

namespace vx {

// The window "To Do Items": every item, in the order of the tab chosen (done, priority, text, or
// the items of one category), with New, Edit and Delete through UpdateTodo, Toggle Done Status
// and, from the popup, Transfer to Schedule. One such window per program: a second start brings
// the open one forward. With MULTIUSER on and a user id, the title names the user.
void BrowseToDoList();
// The form of the item in the TODO buffer, by the thread's request (GLOBALREQUEST).
void UpdateTodo();

}  // namespace vx
