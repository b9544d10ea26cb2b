#include <string>
#include <string_view>

#include "program/script_engine/window_search.h"
#include "program/scripts/template_windows.h"
#include "program/windows/small_dialog.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/fixed_string.h"
#include "runtime/window/window.h"

namespace vx {

bool TemplateTokenAskWindow(std::string_view prompt) {
  String<80> answer(template_token_windows::EarlierAnswer(prompt));
  // The open windows' titles to choose from.
  ListTopWindows();
  std::string titles;
  for (long i = 1; TopWindowList.Get(i) == 0; ++i) {
    std::string title(TopWindowList.buffer.Title.view());
    for (char& c : title) {
      if (c == '|') c = ' ';  // the item separator of the drop list
    }
    titles += (titles.empty() ? "" : "|") + title;
  }

  Window window("More Information Required");
  window.Prompt(template_token_windows::PromptLine(prompt, "WINDOW", "Enter window title:"));
  window.Combo(answer, "@s80", titles);
  for (const char* line : {"Enter the \"title\" of a window.  You can enter the exact title, the",
                           "first few unique characters followed by an asterisk, or an asterisk",
                           "followed by a phrase to be found anywhere in the window title.",
                           "Examples:", "Untitled - Text Editor", "Untitled - *", "*Text Editor"}) {
    window.String(line);
  }
  const int ok = window.Button("&OK").Default();
  const int cancel = window.Button("Cancel");

  SmallDialog manager(window, ok, cancel);
  const WindowProcedureScope scope("TemplateTokenAskWindow", manager);
  manager.OnOk([&] {
    StoreTemplateTokenAnswer(prompt, answer.clipped());
    return true;
  });
  return manager.Run() == RequestCompleted;
}

}  // namespace vx
