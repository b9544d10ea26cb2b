// What every window procedure does around its window: it names itself in the error object while
// it runs (the name before it comes back afterwards, so a form run from a list leaves the list's
// name), its window opens where the user last left it, and the place is kept when the window
// closes. The place lies in the INI object in use (".\POSITION.INI") under the procedure's name.
//
//   WindowManager manager(window);
//   const WindowProcedureScope scope("RescheduleAllTasks:GetDate", manager);
//   manager.Run();
#pragma once

#include <string>
#include <string_view>

#include "framework/window_component.h"

namespace vx {

class WindowManager;

class WindowProcedureScope final : public WindowComponent {
 public:
  // Names the procedure and restores the saved place of the manager's window, before it opens.
  WindowProcedureScope(std::string_view procedure, WindowManager& manager);
  ~WindowProcedureScope() override;
  WindowProcedureScope(const WindowProcedureScope&) = delete;
  WindowProcedureScope& operator=(const WindowProcedureScope&) = delete;

  // Keeps the place each time the user moves or sizes the window, too (list windows and Main,
  // so that the place survives a program that never closes them).
  void KeepPlaceWhenMoved() const;

  // WindowComponent: the window has opened; it is closing (the place is kept).
  void SetAlerts() override { opened_ = true; }
  void Kill() override;

 private:
  void SavePlace() const;

  std::string procedure_;
  std::string outer_procedure_;
  WindowManager& manager_;
  bool opened_ = false;
};

}  // namespace vx
