#include <set>
#include <string>

#include "datadll/dictionary/scripting_table.h"
#include "framework/window_manager.h"
#include "program/script_engine/window_search.h"
#include "program/scripts/script_windows.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/fixed_string.h"

namespace vx {
namespace {

// The dialog on one field of the step: the text the window must contain, chosen from the texts
// of its child windows or typed.
void PickWindowContents(std::string_view procedure, String<255>& field) {
  String<40> contents = field.view();
  Window window("Advanced Settings");
  window.String(
      "Many application windows hold text that the program can examine: the texts of buttons, "
      "labels and error messages inside them. Name a text here and the window must contain it.");
  window.Prompt("Window must contain this text:");
  window.Combo(contents, "@s40", WindowTitleChoices(true));
  window.String("Do not use this in conjunction with the \"~\" reversal switch.");
  const int close = window.Button("Cl&ose").Default();

  // Close keeps what was entered, pressed or reached by Esc.
  window.SetCancelButton(close);
  WindowManager manager(window);
  const WindowProcedureScope scope(procedure, manager);
  manager.OnAccepted(close, [&] {
    manager.Update();
    field = contents.view();
    manager.Response = RequestCompleted;
    manager.PostClose();
  });
  manager.Run();
}

}  // namespace

std::string WindowTitleChoices(bool children) {
  std::string out;
  std::set<std::string> seen;
  const auto add = [&](std::string_view title) {
    const std::string t(ClipView(title));
    if (t.empty() || t.find('|') != std::string::npos || t.front() == '#' || !seen.insert(t).second)
      return;
    out += (out.empty() ? "" : "|") + t;
  };
  if (children) {
    for (long i = 1; ChildWindowList.Get(i) == 0; ++i) add(ChildWindowList.buffer.Title.view());
  } else {
    for (long i = 1; TopWindowList.Get(i) == 0; ++i) add(TopWindowList.buffer.Title.view());
  }
  return out;
}

void UpdateScriptingGetChildFocus() {
  PickWindowContents("UpdateScriptingGetChildFocus", SCR.WaitForWindow);
}

void UpdateScriptingGetChild() { PickWindowContents("UpdateScriptingGetChild", SCR.FocusOnWindow); }

}  // namespace vx
