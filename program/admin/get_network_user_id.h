// The user's network name: on this system the login name of the user running the program.
#pragma once

#include <optional>
#include <string>

namespace vx {

// The login name of the process's user; nothing when it cannot be found.
std::optional<std::string> NetworkUserName();

// USERID := the network user name (30 characters kept); unchanged when it cannot be found.
void GetNetworkUserID();

}  // namespace vx
