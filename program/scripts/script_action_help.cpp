#include "program/scripts/script_action_help.h"

#include "runtime/fixed_string.h"

namespace vx {
namespace {

constexpr std::size_t kHelpWidth = 2000;

std::string_view Help(std::string_view action) {
  if (action == "Display Message")
    return "This will display a message with a title.  If \"Use a message box\" is checked, the "
           "message is shown in a plain message box; otherwise it appears in a message window, as "
           "a due task's message does.  In a message box, if the \"buttons\" field is not filled "
           "in, a single \"OK\" button will be used.  If buttons are specified, those buttons will "
           "be displayed on the message box, and a value called RESPONSE will be filled with the "
           "button number.  Example:  \"&Yes|&No\" will result in 2 buttons, and RESPONSE will be "
           "set to 1 if Yes is pressed, 2 if No is pressed.";
  if (action == "Start Program")
    return "This will start another program.  Enter a program to run in the \"command\" field (a "
           "program name such as \"gedit\", or a full path), or use the BROWSE button to pick one "
           "in a file dialog.  You can also enter a document, a folder or a web address (for "
           "example, \"https://example.com/\"): it opens in the desktop's default application for "
           "it. Optionally, you may enter a path in the \"Start In\" field.  When you select a "
           "program in step 1, this path is defaulted to the path in which the program is located. "
           " If you leave this blank, the program you have entered will be run from the current "
           "(Varnodex) folder (directory).  Press the Advanced button for special startup "
           "parameters: \"wait for program end\" ([EXITCODE] value will be set - consult "
           "help for more information), the program's priority and whether \"values\" in the "
           "command are "
           "translated.";
  if (action == "Close Program")
    return "Specify a program by name* (for example \"gedit\", with or without its folder) or "
           "leave the \"executable\" field blank to close whichever window or application that has "
           "\"focus\" when this script item is executed.  Use with caution.  Usually sending "
           "[AltF4] lets you shut down an application in a safe way.  (* - Every program of that "
           "name that you run is asked to close its windows; one still running a few seconds later "
           "is ended.)";
  if (action == "Send Keystrokes" || action == "Send Keys")
    return "Enter the keys you wish to send to the application that currently has \"focus\".  This "
           "would be the "
           "program you just started, or another that you specifically or manually focused on.  To "
           "enter special "
           "keycodes, use the square braces (\"[]\") and a keystroke name.  For example \"[AltB]\" "
           "would send an "
           "Alt-B to the program with focus.";
  if (action == "DDE (Dynamic Data Exchange)" || action == "DDE")
    return "DDE (Dynamic Data Exchange) steps are kept so that scripts made elsewhere load "
           "unchanged.  Programs on this desktop do not take DDE commands, so the step sends "
           "nothing and the script goes on with its next step.";
  if (action == "Set Focus")
    return "This script action gives the \"focus\" to another application's window.  Enter one of "
           "the following:  |  (a) The exact title - for example, \"Connect To\" (not case "
           "sensitive).  (b) The first few unique characters followed by an asterisk - for "
           "example: \"Untitled - *\".  (c) An asterisk followed by a phrase to find anywhere in "
           "the window title - for example, \"*Text Editor\".";
  if (action.starts_with("Wait"))
    return "This script action waits for a number of seconds to pass, and/or a window with a "
           "specific title to "
           "appear.  Leave blank whichever does not apply.  For the window, enter:  (a) The exact "
           "title - for "
           "example, \"Connect To\" (not case sensitive).  (b) The first few unique characters "
           "followed by an "
           "asterisk - for example: \"Untitled - *\".  (c) An asterisk followed by a phrase to "
           "find anywhere in the "
           "window title. Example: \"*Text Editor\"  (d) A tilde followed by (a), (b), or (c) "
           "above to "
           "wait for a "
           "window to NOT exist (disappear). ";
  if (action == "If Window...")
    return "The script items you enter between this item and the next \"End If\" item will only "
           "execute if the "
           "condition you specify is true.  For the window title, you can enter:   (a) The exact "
           "title - for "
           "example, \"Connect To\" (not case sensitive).  (b) The first few unique characters "
           "followed by an "
           "asterisk - for example: \"Untitled - *\".  (c) An asterisk followed by a phrase to "
           "find anywhere in the "
           "window title. Example: \"*Text Editor\"";
  if (action == "If Time Elapsed...")
    return "The script items you enter between this item and the next \"End If\" item will only "
           "execute if the "
           "condition you specify is true.  The time elapsed is measured from the execution of the "
           "first script "
           "item to this script item, in seconds.";
  if (action == "If Value...")
    return "Evaluate a previously set value.  You can compare it to a constant or another value.  "
           "Use square "
           "brackets to indicate another value.  Example:  SAVESIZE <> [FILESIZE] or FILESIZE <> "
           "0.   Note that "
           "there are reserved system values TODAY, DATE, TIME, NOW, FILESIZE, FILEDATE, FILETIME, "
           "and FOCUS.";
  if (action == "Start Script")
    return "Import and execute a script on-the-fly.  \"Insert\" loads the external script into the "
           "current "
           "location, and when the external script has completed, continues with the current "
           "script.  \"Jump\" "
           "loads the external script into the current location, and when the external script has "
           "completed, does "
           "not continue with the current script.  \"Append\" loads the external script onto the "
           "end of all "
           "executing scripts.";
  if (action == "Send Email") return "Send a message via the Internet.";
  if (action == "Set Value")
    return "Set a value to a constant or another value.  Use square brackets to indicate another "
           "value.  Example:  "
           "Value Name: SAVESIZE, Value: [FILESIZE] or Value Name: DAY, Value: MONDAY.   Note that "
           "there are "
           "reserved system values TODAY, DATE, TIME, NOW, FILESIZE, FILEDATE, FILETIME, and "
           "FOCUS.";
  if (action == "File Actions")
    return "Perform a file-related action such as copy, move, delete, upload, download, test size, "
           "etc.  A system "
           "value is set automatically; it contains the result of the operation.  For example Get "
           "File Size "
           "creates or updates a FILESIZE value that can be evaluated with the \"If Value...\" "
           "script command.";
  return {};
}

}  // namespace

std::string ScriptActionHelp(std::string_view action) {
  return std::string(CutUtf8(Help(ClipView(action)), kHelpWidth));
}

}  // namespace vx
