#include "program/windows/window_procedure_scope.h"

#include "datadll/dictionary/vx_files.h"
#include "framework/window_manager.h"
#include "framework/window_position.h"
#include "program/windows/program_errors.h"

namespace vx {

WindowProcedureScope::WindowProcedureScope(std::string_view procedure) : procedure_(procedure) {
  ProgramErrors().SetProcedureName(procedure_);
}

WindowProcedureScope::~WindowProcedureScope() { ProgramErrors().SetProcedureName({}); }

void WindowProcedureScope::FetchPlace(Window& window) const {
  if (IniFile* positions = IniInUse()) FetchWindowPlace(*positions, procedure_, window);
}

void WindowProcedureScope::SavePlace(const Window& window) const {
  if (IniFile* positions = IniInUse()) SaveWindowPlace(*positions, procedure_, window);
}

void WindowProcedureScope::KeepPlaceWhenMoved(WindowManager& manager) const {
  Window& window = manager.window();
  manager.On(EVENT_Moved, [this, &window] { SavePlace(window); });
  manager.On(EVENT_Sized, [this, &window] { SavePlace(window); });
}

}  // namespace vx
