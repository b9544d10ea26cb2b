// The manager of a list window that Main starts: one such window per program unless it is
// started to select, its table open (through its relation manager) while it runs, its place
// restored and kept under the procedure's name, and brought forward by a second start.
//
// A list started to select (request SelectRecord) is a picker: its browse's Select button (or
// Enter, or a double click) closes it with the chosen record left in the table's buffer. A caller
// picks with ListWindow::Pick(SelectCategories); a list that only ever picks calls AlwaysSelect().
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "framework/relation_manager.h"
#include "framework/window_manager.h"
#include "program/windows/window_procedure_scope.h"

namespace vx {

class ListWindow : public WindowManager {
 public:
  ListWindow(Window& window, std::string_view procedure, RelationManager& relation)
      : WindowManager(window), procedure_(procedure), relation_(relation), scope_(procedure, *this) {
    scope_.KeepPlaceWhenMoved();
  }

  // Runs the list procedure `list` on this thread started to select; answers true when a
  // record was chosen (it stands in its table's buffer), false when the list was cancelled.
  static bool Pick(const std::function<void()>& list);

  // Makes the window a picker whatever the thread's request. Called before Run.
  void AlwaysSelect() { always_select_ = true; }

  // Takes the request, enters the window in OPENWINDOWQUEUE (unless selecting) and opens the
  // table; a procedure goes on with its own set-up only when this answers Level_Benign. A
  // browse set up after it selects when the window does.
  Level Init() override;
  Level Kill() override;
  Level TakeWindowEvent() override;

 protected:
  // Opens the window; `list` is selected when a second start brings the window forward.
  void OpenList(int list);

 private:
  std::string procedure_;
  RelationManager& relation_;
  WindowProcedureScope scope_;
  int list_ = 0;
  bool always_select_ = false;
  bool entered_ = false;
  bool files_opened_ = false;
};

}  // namespace vx
