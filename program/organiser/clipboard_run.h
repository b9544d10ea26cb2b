// "&Run" of a clipboard entry: the links named in a stored text, opened only after the user has
// seen exactly what would be opened. Any program can put text on the clipboard, so nothing in it
// is started as a program: only web and mail links are handed to the desktop's opener, and
// program and shortcut names are shown as not started.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vx {

struct ClipboardRunTargets {
  // What would be opened, in this order: the first "http:" or "https:" link, the first
  // "mailto:" link, then "http://" and the text when it begins with "www" (in lower case, as
  // stored). Each is cut before its first blank, quote or control character (a line break).
  std::vector<std::string> links;
  // The first ".exe", ".lnk" and ".url" names found (a quoted name whole, without its quotes,
  // else from the last blank before it), which are never started.
  std::vector<std::string> not_started;
};

// The targets of a stored text; case is kept, the markers are found without regard to it.
ClipboardRunTargets FindClipboardRunTargets(std::string_view contents);

// Asks "Open ...?" listing every link (No is the default) and opens each through the desktop's
// opener (CurrentTaskRoadServices().shell) once the user says Yes; the names that are not
// started are named in the same box. A text with no link only says so.
void RunClipboardText(std::string_view contents);

}  // namespace vx
