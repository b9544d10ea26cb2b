// The manager of a list window that Main starts: one such window per program unless it is
// started to select, its table open (through its relation manager) while it runs, its place
// restored and kept under the procedure's name, and brought forward by a second start.
#pragma once

#include <string>
#include <string_view>

#include "framework/relation_manager.h"
#include "framework/window_manager.h"

namespace vx {

class ListWindow : public WindowManager {
 public:
  ListWindow(Window& window, std::string_view procedure, RelationManager& relation)
      : WindowManager(window), procedure_(procedure), relation_(relation) {}

  // Names the procedure, takes the request, enters the window in OPENWINDOWQUEUE and opens the
  // table; a procedure goes on with its own set-up only when this answers Level_Benign.
  Level Init() override;
  Level Kill() override;
  Level TakeWindowEvent() override;

 protected:
  // Opens the window and restores its place; `list` is selected when a second start brings
  // the window forward.
  void OpenList(int list);

 private:
  void KeepPlace();

  std::string procedure_;
  RelationManager& relation_;
  int list_ = 0;
  bool entered_ = false;
  bool files_opened_ = false;
};

}  // namespace vx
