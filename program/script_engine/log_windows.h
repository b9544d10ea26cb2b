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

// Writes File afresh from the window search's lists (ListTopWindows refills TopWindowList, so
// titled windows only, hidden ones left out while GLO_EXCLUDEHIDDENWINDOWS is set): a line per
// top-level window (title 40, handle 12), each followed by a line
// per child (40 blanks and 12 blanks, then title 40, class 20, handle 12). A child whose class
// holds "Win" is also listed as a top-level window of its own, titled "<title> (Child of
// <parent>)", so that its children follow in turn. Returns the number of top-level entries
// listed, or 0 with the thread's last error set when the file cannot be written. At most
// kMostLoggedWindows entries are listed, so a deep tree of such children cannot run away.
inline constexpr std::size_t kMostLoggedWindows = 10000;
std::int32_t LogWindows(std::string_view File);

}  // namespace vx
