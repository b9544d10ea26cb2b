#include "program/scripts/script_text_reference.h"

#include <array>

#include "framework/window_manager.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/fixed_string.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::string_view kProcedure = "Script:Text:Reference";

constexpr std::array<std::string_view, 28> kTemplates = {
    "KEYS keys",
    "FOCUS window_title optional_contents",
    "DISPLAY message title button_text /MODAL",
    "START program_to_start start_in WAIT=999 /TRANSLATE",
    "IF value_name < compare_to_this",
    "IF value_name > compare_to_this",
    "IF value_name = compare_to_this",
    "IF value_name <> compare_to_this",
    "IFTIME 999",
    "IFTIMELESS 999",
    "IFWINDOW window_title",
    "IFNOTWINDOW window_title",
    "END",
    "FILE Copy filename_1 filename_2",
    "FILE Move filename_1 filename_2",
    "FILE Delete filename_1",
    "FILE \"Make Directory\" filename_1",
    "FILE \"Remove Directory\" filename_1",
    "FILE \"Get File Date\" filename_1",
    "FILE \"Get File Time\" filename_1",
    "FILE \"Get File Size\" filename_1",
    "FILE \"If File Exists\" filename_1",
    "FILE \"Log Windows\" filename_1",
    "SET value_name value",
    "SCRIPT script_filename \"Insert (Execute and continue)\"",
    "CLOSE program_file_name",
    "EMAIL 999",
    "EXIT",
};

std::string JoinedTemplates() {
  std::string items;
  for (std::string_view t : kTemplates) {
    if (!items.empty()) items += '|';
    items += t;
  }
  return items;
}

}  // namespace

std::string AppendKeyCode(std::string_view line, std::string_view modifier, std::string_view key) {
  std::string out = CLIP(line) + "[";
  const std::string mod = CLIP(modifier);
  if (!mod.empty()) out += mod + "-";
  return out + CLIP(key) + "]";
}

std::string AppendValueName(std::string_view line, std::string_view name) {
  return CLIP(line) + "[" + CLIP(name) + "]";
}

std::span<const std::string_view> ScriptCommandTemplates() { return kTemplates; }

void Script_Text_Reference() {
  // The whole clipboard is kept (up to the line's width), so that closing without a change
  // gives the clipboard back as it was.
  String<1024> line = CLIPBOARD();
  String<10> modifier;
  String<10> key = "a";
  String<10> value = "TODAY";
  String<80> command = kTemplates.front();

  Window window("Edit Script as Text: Reference");
  window.String("Build a command on the clipboard, then press Close.");
  // Each group holds its lists and the button that uses them, side by side.
  Control& key_code = window.Group("Key Code").Arrange(Arrangement::Row);
  key_code.DropList(modifier, kReferenceModifiers);
  key_code.DropList(key, kReferenceKeys);
  const int append_key = key_code.Button("&Append");
  Control& values = window.Group("Value").Arrange(Arrangement::Row);
  values.DropList(value, kReferenceValues);
  const int append_value = values.Button("A&ppend");
  Control& commands = window.Group("Commands").Arrange(Arrangement::Row);
  commands.DropList(command, JoinedTemplates());
  const int replace = commands.Button("Replace");
  window.Prompt("Clipboard:");
  window.Entry(line, "@s1024");
  const int close = window.Button("Cl&ose").Default();
  window.SetCancelButton(close);

  WindowManager manager(window);
  const WindowProcedureScope scope(kProcedure, manager);
  scope.KeepPlaceWhenMoved();
  manager.OnAccepted(append_key, [&] {
    line = AppendKeyCode(line.view(), modifier.view(), key.view());
    window.Display();
  });
  manager.OnAccepted(append_value, [&] {
    line = AppendValueName(line.view(), value.view());
    window.Display();
  });
  manager.OnAccepted(replace, [&] {
    line = command.view();
    window.Display();
  });
  manager.OnAccepted(close, [&] {
    SETCLIPBOARD(CLIP(line.view()));
    manager.PostClose();
  });
  manager.Run();
}

}  // namespace vx
