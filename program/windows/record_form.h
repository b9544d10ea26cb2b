// The manager of a form over one record of a table, by the thread's request: its title ("New",
// "Edit", "Delete" or "View" and the noun), every field greyed when viewing or deleting (OK
// hidden when viewing, Cancel reading "Cl&ose"), the required fields checked before a save, the
// record stored through the table's managers, and its place kept under the procedure's name.
#pragma once

#include <string>
#include <string_view>

#include "datadll/utility/colour_tab_class.h"
#include "datadll/utility/req_fld_class.h"
#include "framework/table_form_saver.h"
#include "framework/window_manager.h"
#include "program/windows/window_procedure_scope.h"

namespace vx {

// "New Holiday", "Edit Holiday", "Delete Holiday", "View Holiday" for the noun "Holiday".
std::string FormTitle(long request, std::string_view noun);

class RecordForm : public WindowManager {
 public:
  // OkControl and CancelControl are set by the procedure before Run.
  RecordForm(Window& window, std::string_view procedure, RelationManager& relation,
             std::string_view noun)
      : WindowManager(window),
        noun_(noun),
        relation_(relation),
        saver_(relation),
        scope_(procedure, *this) {
    Primary = &saver_;
  }

  Level Init() override;  // opens the table and the window
  Level Kill() override;
  Level TakeCompleted() override;

 protected:
  // Colours the tabs of every sheet (the tab not shown greyed); called once the window is open.
  // The tabs are let go in Kill.
  void ColourTabs();
  // Recolours the tabs when the field now selected is `sheet`; answers whether it was.
  bool RecolourTabs(int sheet);

  REQFLDCLASS Required;

 private:
  void ApplyRequest();

  std::string noun_;
  RelationManager& relation_;
  TableFormSaver saver_;
  WindowProcedureScope scope_;
  COLOURTABCLASS tabs_;
};

}  // namespace vx
