// The to-do list "To Do Items", the form of one item, and the two to-do reports with the
// "Set Report Title" dialog they show.
#pragma once

namespace vx {

// The window "To Do Items": every item, in the order of the tab chosen (done, priority, text, or
// the items of one category), with New, Edit and Delete through UpdateTodo, Toggle Done Status
// and, from the popup, Transfer to Schedule. One such window per program: a second start brings
// the open one forward. With MULTIUSER on and a user id, the title names the user.
void BrowseToDoList();
// The form of the item in the TODO buffer, by the thread's request (GLOBALREQUEST).
void UpdateTodo();

// "Set Report Title": edits REPORTTITLE; GLOBALRESPONSE is RequestCancelled after Cancel.
void SetReportTitle();
// "To Do List - By Priority": every item by priority, done flag and text.
void PrintToDoByPriority();
// "To Do List - By Category": the items of a category picked first ("SelectCategories").
void PrintToDoByCategory();

}  // namespace vx
