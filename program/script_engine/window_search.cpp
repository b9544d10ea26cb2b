#include "program/script_engine/window_search.h"

#include <string>

#include "datadll/dictionary/globals.h"
#include "program/common/program_services.h"
#include "program/script_engine/desktop_seam.h"
#include "runtime/text_functions.h"

namespace vx {

Queue<TopWindowList_RECORD> TopWindowList;
Queue<ChildWindowList_RECORD> ChildWindowList;

namespace {

DesktopSeam<platform::DesktopWindows>& Desktop() {
  static DesktopSeam<platform::DesktopWindows> seam(
      [] { return platform::MakeX11DesktopWindows(); });
  return seam;
}

// X11 window ids are 29 bits: they fit the lists' 32-bit handles.
std::int32_t HandleOf(unsigned long window) { return static_cast<std::int32_t>(window); }

bool TitleMatches(std::string_view pattern, const std::string& title) {
  const std::string wanted = UPPER(pattern);
  const std::string have = UPPER(title);
  if (ClipView(wanted) == ClipView(have)) return true;
  const std::size_t star = wanted.find('*');
  if (star == std::string::npos) return false;
  if (star == 0)
    return have.find(ClipView(std::string_view(wanted).substr(1))) != std::string::npos;
  // Only the text before the "*" counts; anything after it is not looked at.
  return have.size() >= star && have.compare(0, star, wanted, 0, star) == 0;
}

bool ChildTitleContains(std::int32_t window, const std::string& contents) {
  ListChildWindows(window);
  for (long i = 1; ChildWindowList.Get(i) == 0; ++i) {
    if (UPPER(ChildWindowList.buffer.Title.view()).find(contents) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

void ListTopWindows() {
  TopWindowList.Free();
  for (const platform::DesktopWindow& w : ScriptDesktop().TopWindows()) {
    if (w.title.empty() || (GLO_EXCLUDEHIDDENWINDOWS != 0 && !w.visible)) continue;
    TopWindowList.buffer = {};
    TopWindowList.buffer.Title = w.title;
    TopWindowList.buffer.Handle = HandleOf(w.handle);
    TopWindowList.buffer.ClassName = w.class_name;
    TopWindowList.Add();
  }
}

void ListChildWindows(std::int32_t Parent) {
  ChildWindowList.Free();
  for (const platform::DesktopWindow& w :
       ScriptDesktop().ChildWindows(static_cast<std::uint32_t>(Parent))) {
    if (w.title.empty()) continue;
    ChildWindowList.buffer = {};
    ChildWindowList.buffer.Title = w.title;
    ChildWindowList.buffer.ClassName = w.class_name;
    ChildWindowList.buffer.Handle = HandleOf(w.handle);
    ChildWindowList.Add();
  }
}

std::int32_t FindWindowByTitle(std::string_view Contents, std::string_view Title) {
  ListTopWindows();
  if (Title.starts_with('~')) Title.remove_prefix(1);
  const std::string contents = UPPER(ClipView(Contents));  // a blank field asks for nothing
  // The search reads the list by position while a contents test refills only the child list.
  for (long i = 1; i <= TopWindowList.Records(); ++i) {
    TopWindowList.Get(i);
    const TopWindowList_RECORD window = TopWindowList.buffer;
    if (!TitleMatches(Title, window.Title.str())) continue;
    if (!contents.empty() && !ChildTitleContains(window.Handle, contents)) continue;
    return window.Handle;
  }
  return 0;
}

platform::DesktopWindows& ScriptDesktop() {
  return Desktop().Get(CurrentProgramServices().script_desktop);
}

}  // namespace vx
