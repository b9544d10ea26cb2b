// One-time claims on the database server, for work that several programs sharing the server
// could each find to do (one occurrence of a task) and that must be done once.
//
// A claim is a row of the server's table vx_claims under a unique name. It is made inside the
// calling thread's transaction (LOGOUT) when one is open, so it is stored with the writes of the
// work or undone with them: a run whose writes fail leaves its occurrence free for another try.
// A claim made but not yet committed by another program makes this one wait for its end (the
// table's lock recovery time at most): then it is that program's, or free again.
#pragma once

#include <string>

namespace vx::storage {

enum class ClaimResult { Ours, Taken, Failed };

// Claims `name`. Without a server store there is nobody to share with: always Ours. Failed
// sets the thread's error (the server's text).
ClaimResult ClaimOnce(const std::string& name, int lock_wait_ms = 10000);

}  // namespace vx::storage
