#include <string>
#include <string_view>

#include "program/scripts/template_windows.h"
#include "program/windows/small_dialog.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/fixed_string.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {

bool TemplateTokenAskFile(std::string_view prompt) {
  String<255> answer(template_token_windows::EarlierAnswer(prompt));

  Window window("More Information Required");
  window.Prompt(template_token_windows::PromptLine(prompt, "FILE", "Enter file path and name:"));
  window.Entry(answer, "@s255");
  const int choose = window.Button("Select File...");
  const int ok = window.Button("&OK").Default();
  const int cancel = window.Button("Cancel");

  SmallDialog manager(window, ok, cancel);
  const WindowProcedureScope scope("TemplateTokenAskFile", manager);
  manager.OnAccepted(choose, [&] {
    window.Update();
    std::string file(answer.clipped());
    if (FILEDIALOG("Choose a File", file, "All Files|*.*")) answer = file;
    window.Display();
    return Level_Notify;
  });
  manager.OnOk([&] {
    StoreTemplateTokenAnswer(prompt, answer.clipped());
    return true;
  });
  return manager.Run() == RequestCompleted;
}

}  // namespace vx
