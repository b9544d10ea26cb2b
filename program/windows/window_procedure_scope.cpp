#include "program/windows/window_procedure_scope.h"

#include "datadll/dictionary/vx_files.h"
#include "framework/window_manager.h"
#include "framework/window_position.h"
#include "program/windows/program_errors.h"
#include "runtime/events.h"

namespace vx {

WindowProcedureScope::WindowProcedureScope(std::string_view procedure, WindowManager& manager)
    : procedure_(procedure),
      outer_procedure_(ProgramErrors().GetProcedureName()),
      manager_(manager) {
  ProgramErrors().SetProcedureName(procedure_);
  if (IniFile* positions = IniInUse()) FetchWindowPlace(*positions, procedure_, manager_.window());
  manager_.AddItem(*this);
}

WindowProcedureScope::~WindowProcedureScope() {
  ProgramErrors().SetProcedureName(outer_procedure_);
}

void WindowProcedureScope::KeepPlaceWhenMoved() const {
  manager_.On(EVENT_Moved, [this] { SavePlace(); });
  manager_.On(EVENT_Sized, [this] { SavePlace(); });
}

void WindowProcedureScope::Kill() {
  // A window that never opened (a second start of a single-instance list) has no place of its own.
  if (opened_) SavePlace();
  opened_ = false;
}

void WindowProcedureScope::SavePlace() const {
  if (IniFile* positions = IniInUse()) SaveWindowPlace(*positions, procedure_, manager_.window());
}

}  // namespace vx
