// "Log Windows": the desktop's windows and their children written to a text file, one
// fixed-column line each, so that a script's author can see which titles and classes exist.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// One window of a listing.
struct ListedWindow {
  std::string title;
  std::string class_name;
  std::int64_t handle = 0;
};

// The desktop's windows as the window search lists them.
class WindowListing {
 public:
  virtual ~WindowListing() = default;
  // The top-level windows, in the desktop's order.
  virtual std::vector<ListedWindow> TopWindows() = 0;
  // Every window below parent, at all levels.
  virtual std::vector<ListedWindow> ChildWindows(std::int64_t parent) = 0;
};

// Installs the listing "Log Windows" reads; nullptr restores the built-in one, the desktop's
// windows as the window search lists them (ScriptDesktop). The caller keeps the object alive
// while it is installed.
void SetScriptWindowListing(WindowListing* listing);
WindowListing& ScriptWindowListing();

// Writes File afresh: a line per top-level window (title 40, handle 12), each followed by a line
// per child (40 blanks and 12 blanks, then title 40, class 20, handle 12). A child whose class
// holds "Win" is also listed as a top-level window of its own, titled "<title> (Child of
// <parent>)", so that its children follow in turn. Returns the number of top-level entries
// listed, or 0 with the thread's last error set when the file cannot be written. At most
// kMostLoggedWindows entries are listed, so a deep tree of such children cannot run away.
inline constexpr std::size_t kMostLoggedWindows = 10000;
std::int32_t LogWindows(std::string_view File);

}  // namespace vx
