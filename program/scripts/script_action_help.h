// The help text the step editor shows beside each action.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// The help text of an action (at most 2000 characters); empty for "Exit Script", "...End If" and
// any action without one.
std::string ScriptActionHelp(std::string_view action);

}  // namespace vx
