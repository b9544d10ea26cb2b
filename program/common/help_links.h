// Help's links (the maker's web site, the support address), opened with the desktop's opener.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// Opens the link with the desktop's opener (CurrentTaskRoadServices().shell, given a while to
// answer); when that fails, a box captioned `caption` names the link and says why. Main runs it
// on a thread of its own, so the frame's tick never waits for the desktop.
void OpenHelpLink(std::string_view link, std::string_view caption);

}  // namespace vx
