#include "program/windows/list_window.h"

#include <utility>

#include "framework/report/print_preview.h"
#include "framework/request_globals.h"
#include "program/windows/open_windows.h"

namespace vx {

bool ListXplore::MYPREVIEWER(report::PageImageQueue& pages) { return PRINTPREVIEW(pages) == 1; }

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

void ListWindow::OpenColouredList(int list) {
  OpenList(list);
  tabs_.INIT(window(), -1, -1, 0, 0, 1, -1, kOtherTabColour);
  tabs_.COLOURTABS();
}

bool ListWindow::RecolourTabs(int sheet) {
  if (FIELD() != sheet) return false;
  tabs_.COLOURTABS();
  return true;
}

bool ListWindow::TakeOrderTab(int sheet, XPLORECLASS& xplore, BrowseClass& browse, int list) {
  if (!RecolourTabs(sheet)) return false;
  xplore.KeySequence();
  browse.ResetSort(false);
  window().Select(list);
  return true;
}

void ListWindow::WireButtons(BrowseClass& browse, const ListButtons& buttons,
                             std::function<void()> update) {
  browse.InsertControl = buttons.insert;
  browse.ChangeControl = buttons.change;
  browse.DeleteControl = buttons.remove;
  browse.UpdateProcedure = std::move(update);
}

void ListWindow::WireButtons(ZQBROWSECLASS& browse, const ListButtons& buttons,
                             std::function<void()> update) {
  WireButtons(static_cast<BrowseClass&>(browse), buttons, std::move(update));
  browse.CopyControl = buttons.copy;
}

void ListWindow::ShowSelectWhenPicking(BrowseClass& browse, const ListButtons& buttons) {
  if (browse.Selecting) {
    browse.SelectControl = buttons.select;
    window()[buttons.select].Default();
  } else {
    window()[buttons.select].Hide();
    window()[buttons.change].Default();
  }
}

void ListWindow::AttachListExtension(XPLORECLASS& xplore, BrowseClass& browse, int list,
                                     std::string_view family, std::vector<std::string> fields,
                                     std::string_view visual) {
  xplore.INIT(*this, browse, window()[list], procedure_, family, std::move(fields), visual);
}

Level ListWindow::Kill() {
  tabs_.KILL();
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
