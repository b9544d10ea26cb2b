// Makes sure the current user (GLO_USER) has a row in USERS.
#pragma once

namespace vx {

// Adds a USERS row for GLO_USER, with the current folder as its source path, when there is
// none; errors of the add are not reported. USERS is opened and closed around it.
void EnsureCurrentUser();

}  // namespace vx
