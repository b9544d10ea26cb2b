// A command builder beside the script text editor: the user composes a key code, a value
// reference or a whole command on one line and takes it to the clipboard.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vx {

// The line with a key code appended: "[key]", or "[modifier-key]" when a modifier is chosen.
std::string AppendKeyCode(std::string_view line, std::string_view modifier, std::string_view key);
// The line with a value name appended in square brackets.
std::string AppendValueName(std::string_view line, std::string_view name);

// The choices the builder offers, "|" between them (the first modifier is none).
inline constexpr std::string_view kReferenceModifiers =
    "|Ctrl|Alt|Shift|CtrlAlt|CtrlShift|AltShift";
inline constexpr std::string_view kReferenceKeys =
    "a|b|c|d|e|f|g|h|i|j|k|l|m|n|o|p|q|r|s|t|u|v|w|x|y|z|BS|DELETE|DOWN|END|ENTER|ESC|F1|F2|F3|F4|"
    "F5|"
    "F6|F7|F8|F9|F10|F11|F12|HOME|INSERT|LEFT|PGDN|PGUP|PLUS|PRINT|RIGHT|SLASH|SPACE|TAB|UP";
inline constexpr std::string_view kReferenceValues =
    "TODAY|DATE|NOW|TIME|FOCUS|EXITCODE|FILECOPY|FILEMOVE|FILEDELETE|DIRCREATE|DIRREMOVE|FILEDATE|"
    "FILETIME|FILESIZE|FILEEXISTS|ERRORCODE|MAIL|MAILERROR";
// One template per command of the script text form.
std::span<const std::string_view> ScriptCommandTemplates();

// The window "Edit Script as Text: Reference". The line starts as the clipboard's text;
// "Cl&ose" puts it on the clipboard. Its place is kept under "Script:Text:Reference".
void Script_Text_Reference();

}  // namespace vx
