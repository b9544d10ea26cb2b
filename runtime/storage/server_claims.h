// One-time claims on the database server, for work that several programs sharing the server
// could each find to do (one occurrence of a task) and that must be done once.
//
// A claim is a row of the server's table vx_claims under a unique name. It is made inside the
// calling thread's transaction (LOGOUT) when one is open, so it is stored with the writes of the
// work or undone with them: a run whose writes fail leaves its occurrence free for another try.
// A claim made but not yet committed by another program makes this one wait for its end (the
// table's lock recovery time at most): then it is that program's, or free again.
//
// Work that cannot be undone before the claim (an alarm, a question) is guarded by a reservation
// first: a lock of the program's session on the name that others do not wait for. A reserved
// name is Taken for every other program until its holder releases it or its session ends (a
// program that stops or loses its connection frees it), so that the work before the claim is
// done by one program only, and a run that is then not stored is free for another try.
#pragma once

#include <string>

namespace vx::storage {

enum class ClaimResult { Ours, Taken, Failed };

// Claims `name`. Without a server store there is nobody to share with: always Ours. Failed
// sets the thread's error (the server's text).
ClaimResult ClaimOnce(const std::string& name, int lock_wait_ms = 10000);

// Reserves `name` for the calling thread's session: Ours when no other program holds it and no
// claim of it is stored, Taken otherwise (at once, never waiting). Without a server store:
// always Ours. Failed sets the thread's error.
ClaimResult ReserveOnce(const std::string& name);
// Ends the calling thread's reservation of `name`, if it holds one; leaves the thread's error
// as it was.
void ReleaseOnce(const std::string& name);

}  // namespace vx::storage
