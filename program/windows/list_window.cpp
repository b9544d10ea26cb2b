#include "program/windows/list_window.h"

#include "datadll/dictionary/vx_files.h"
#include "framework/request_globals.h"
#include "framework/window_position.h"
#include "program/windows/open_windows.h"
#include "program/windows/program_errors.h"

namespace vx {

Level ListWindow::Init() {
  ProgramErrors().SetProcedureName(procedure_);
  WindowManager::Init();
  if (Request != SelectRecord) {
    if (!EnterSingleInstance(procedure_)) return Level_Notify;
    entered_ = true;
  }
  SetCurrentRequest(0);
  SetCurrentResponse(0);
  if (relation_.Open() != 0) return Level_Notify;
  files_opened_ = true;
  return Level_Benign;
}

void ListWindow::OpenList(int list) {
  list_ = list;
  Open();
  if (IniFile* positions = IniInUse()) FetchWindowPlace(*positions, procedure_, window());
}

void ListWindow::KeepPlace() {
  if (IniFile* positions = IniInUse()) SaveWindowPlace(*positions, procedure_, window());
}

Level ListWindow::Kill() {
  if (Opened) KeepPlace();
  WindowManager::Kill();
  if (files_opened_) relation_.Close();
  if (entered_) LeaveSingleInstance(procedure_);
  ProgramErrors().SetProcedureName({});
  return Level_Benign;
}

Level ListWindow::TakeWindowEvent() {
  switch (EVENT()) {
    case EVENT_GainFocus: BringWindowForward(window(), list_); break;
    case EVENT_Moved:
    case EVENT_Sized: KeepPlace(); break;
    default: break;
  }
  return WindowManager::TakeWindowEvent();
}

}  // namespace vx
