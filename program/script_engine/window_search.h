// The desktop's windows for scripts: two program-wide lists, refilled on every listing, and
// the search for the first window whose title matches a pattern ("Set Focus", "Wait", "If
// Window...", the "Log Windows" file action and the editors' window pickers).
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/desktop_windows.h"
#include "runtime/fixed_string.h"
#include "runtime/queue.h"

namespace vx {

struct TopWindowList_RECORD {
  CString<255> Title;
  std::int32_t Handle = 0;
  CString<255> ClassName;
};
struct ChildWindowList_RECORD {
  CString<255> Title;
  CString<255> ClassName;
  std::int32_t Handle = 0;
};
extern Queue<TopWindowList_RECORD> TopWindowList;
extern Queue<ChildWindowList_RECORD> ChildWindowList;

// Refills TopWindowList with the desktop's top-level windows that have a title, leaving out
// the hidden ones while GLO_EXCLUDEHIDDENWINDOWS is set.
void ListTopWindows();
// Refills ChildWindowList with the titled windows inside Parent, at every level.
void ListChildWindows(std::int32_t Parent);

// The first top-level window whose title matches Title, and, when Contents is not empty, one
// of whose child windows has a title containing Contents; 0 when none. Matching ignores case:
// a title equal to Title (trailing blanks aside); with "*" first, a title containing the text
// after it; with "*" further on, a title beginning with the text before it. A leading "~" of
// Title is dropped (for a wait it means "until the window has closed").
std::int32_t FindWindowByTitle(std::string_view Contents, std::string_view Title);

// The desktop the lists read (script_desktop of common/program_services.h); without one, the
// desktop's own (X11).
platform::DesktopWindows& ScriptDesktop();

}  // namespace vx
