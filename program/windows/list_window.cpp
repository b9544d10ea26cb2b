#include "program/windows/list_window.h"

#include "framework/request_globals.h"
#include "program/windows/open_windows.h"

namespace vx {

bool ListWindow::Pick(const std::function<void()>& list) {
  return WindowManager::RunUpdate(list, SelectRecord) == RequestCompleted;
}

Level ListWindow::Init() {
  WindowManager::Init();
  if (always_select_) Request = SelectRecord;
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
}

Level ListWindow::Kill() {
  WindowManager::Kill();
  if (files_opened_) relation_.Close();
  if (entered_) LeaveSingleInstance(procedure_);
  return Level_Benign;
}

Level ListWindow::TakeWindowEvent() {
  if (EVENT() == EVENT_GainFocus) BringWindowForward(window(), list_);
  return WindowManager::TakeWindowEvent();
}

}  // namespace vx
