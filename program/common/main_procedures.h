// The window procedures Main starts or calls from its menus, toolbar and tray, by name. Each
// window's own code registers itself at start-up; until a procedure is registered, the items
// that lead to it are shown greyed.
#pragma once

#include <functional>
#include <string_view>

namespace vx {

// Registers (or, with an empty procedure, removes) the procedure behind a name such as
// "BrowseSchedule" or "Setup".
void RegisterMainProcedure(std::string_view name, std::function<void()> procedure);
// The registered procedure; empty when there is none.
std::function<void()> MainProcedure(std::string_view name);

}  // namespace vx
