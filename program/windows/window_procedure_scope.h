// What a window procedure does around its window: it names itself in
// the error object while it runs, and opens where the user last left it (the place is kept in
// the INI object in use under the procedure's name).
#pragma once

#include <string>
#include <string_view>

namespace vx {

class Window;
class WindowManager;

class WindowProcedureScope {
 public:
  explicit WindowProcedureScope(std::string_view procedure);
  ~WindowProcedureScope();
  WindowProcedureScope(const WindowProcedureScope&) = delete;
  WindowProcedureScope& operator=(const WindowProcedureScope&) = delete;

  void FetchPlace(Window& window) const;
  void SavePlace(const Window& window) const;
  // Saves the place each time the user moves or sizes the window, too.
  void KeepPlaceWhenMoved(WindowManager& manager) const;

 private:
  std::string procedure_;
};

}  // namespace vx
