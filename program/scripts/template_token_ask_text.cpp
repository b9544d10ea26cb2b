#include <string>
#include <string_view>

#include "program/scripts/template_windows.h"
#include "program/windows/small_dialog.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/fixed_string.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr std::string_view kModifiers = "|Ctrl|Alt|Shift|CtrlAlt|CtrlShift|AltShift";
constexpr std::string_view kKeys =
    "a|b|c|d|e|f|g|h|i|j|k|l|m|n|o|p|q|r|s|t|u|v|w|x|y|z|BS|DELETE|DOWN|END|ENTER|ESC|F1|F2|F3|F4|"
    "F5|F6|F7|F8|F9|"
    "F10|F11|F12|HOME|INSERT|LEFT|PGDN|PGUP|PLUS|PRINT|RIGHT|SLASH|SPACE|TAB|UP";
constexpr std::string_view kVariables =
    "TODAY|DATE|NOW|TIME|FOCUS|EXITCODE|FILECOPY|FILEMOVE|FILEDELETE|DIRCREATE|DIRREMOVE|FILEDATE|"
    "FILETIME|"
    "FILESIZE|FILEEXISTS|ERRORCODE|MAIL|MAILERROR";

}  // namespace

bool TemplateTokenAskText(std::string_view prompt) {
  String<255> answer(template_token_windows::EarlierAnswer(prompt));
  String<20> modifier, key("a"), variable("TODAY");

  Window window("More Information Required");
  window.Prompt(template_token_windows::PromptLine(prompt, "TEXT", "Enter text:"));
  const int entry = window.Entry(answer, "@s255");
  Control& keys = window.Group("Key Code");
  keys.Arrange(Arrangement::Row);
  keys.DropList(modifier, kModifiers);
  keys.DropList(key, kKeys);
  const int append_key = keys.Button("&Append");
  Control& value = window.Group("Value");
  value.Arrange(Arrangement::Row);
  value.DropList(variable, kVariables);
  const int append_variable = value.Button("A&ppend");
  const int ok = window.Button("&OK").Default();
  const int cancel = window.Button("Cancel");

  SmallDialog manager(window, ok, cancel);
  const WindowProcedureScope scope("TemplateTokenAskText", manager);
  // Both appends add a bracketed key or variable after the text, then return to the entry.
  auto append = [&](const std::string& tail) {
    window.Update();
    answer = std::string(answer.clipped()) + tail;
    window.Display();
    window.Select(entry);
    return Level_Notify;
  };
  manager.OnAccepted(append_key, [&] {
    window.Update();
    const std::string mod(modifier.clipped());
    return append("[" + (mod.empty() ? std::string() : mod + "-") + std::string(key.clipped()) +
                  "]");
  });
  manager.OnAccepted(append_variable, [&] {
    window.Update();
    return append("[" + std::string(variable.clipped()) + "]");
  });
  manager.OnOk([&] {
    StoreTemplateTokenAnswer(prompt, answer.clipped());
    return true;
  });
  return manager.Run() == RequestCompleted;
}

}  // namespace vx
