// The manager of a list window that Main starts: one such window per program unless it is
// started to select, its table open (through its relation manager) while it runs, its place
// restored and kept under the procedure's name, and brought forward by a second start.
//
// A list started to select (request SelectRecord) is a picker: its browse's Select button (or
// Enter, or a double click) closes it with the chosen record left in the table's buffer. A caller
// picks with ListWindow::Pick(SelectCategories); a list that only ever picks calls AlwaysSelect().
//
// The wiring every list writes the same way comes with it: the browse handed its New, Edit,
// Delete (and Copy) buttons and the form they run (WireButtons), the Select button shown only to
// a picker (ShowSelectWhenPicking), the list extension attached under the procedure's name
// (AttachListExtension), and the sheet's tabs coloured when the list opens and at each tab change
// (OpenColouredList, RecolourTabs; the tabs are let go in Kill). The lists' extension is a
// ListXplore, whose printout (Print All, Print Page) is shown in the framework's previewer.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "datadll/utility/colour_tab_class.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/browse_class.h"
#include "framework/relation_manager.h"
#include "framework/window_manager.h"
#include "program/windows/window_procedure_scope.h"

namespace vx {

// The list extension of the program's lists: a printout of the list goes to the previewer and
// prints when the user presses Print there.
class ListXplore : public XPLORECLASS {
 public:
  bool MYPREVIEWER(report::PageImageQueue& pages) override;
};

// A list's buttons by control number; 0 for a button the list does not have.
struct ListButtons {
  int insert = 0, change = 0, remove = 0, copy = 0, select = 0;
};

class ListWindow : public WindowManager {
 public:
  ListWindow(Window& window, std::string_view procedure, RelationManager& relation)
      : WindowManager(window),
        procedure_(procedure),
        relation_(relation),
        scope_(procedure, *this) {
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
  // OpenList, then colours the tabs of every sheet (the tab not shown greyed).
  void OpenColouredList(int list);
  // Recolours the tabs when the field now selected is `sheet`; answers whether it was.
  bool RecolourTabs(int sheet);
  // For a list whose tabs are its orders: when the field now selected is `sheet`, recolours the
  // tabs, lets the new tab's own order replace a header sort (in the extension and the browse)
  // and gives `list` the keys. Answers whether it was.
  bool TakeOrderTab(int sheet, XPLORECLASS& xplore, BrowseClass& browse, int list);

  // Hands `browse` its New, Edit and Delete buttons and the form they run; a ZQBROWSECLASS
  // takes the Copy button too.
  void WireButtons(BrowseClass& browse, const ListButtons& buttons, std::function<void()> update);
  void WireButtons(ZQBROWSECLASS& browse, const ListButtons& buttons, std::function<void()> update);
  // A picker's Select button is the browse's and the default; otherwise it is hidden and Edit is
  // the default. Called after the browse's Init (which tells whether it selects).
  void ShowSelectWhenPicking(BrowseClass& browse, const ListButtons& buttons);
  // Attaches the list extension to `browse` and its list control, under the procedure's name.
  void AttachListExtension(XPLORECLASS& xplore, BrowseClass& browse, int list,
                           std::string_view family, std::vector<std::string> fields,
                           std::string_view visual);

 private:
  std::string procedure_;
  RelationManager& relation_;
  WindowProcedureScope scope_;
  COLOURTABCLASS tabs_;
  int list_ = 0;
  bool always_select_ = false;
  bool entered_ = false;
  bool files_opened_ = false;
};

}  // namespace vx
