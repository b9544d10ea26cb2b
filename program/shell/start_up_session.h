// The end of the desktop session (SIGTERM, the session manager) while the program starts, before
// Main's frame watches for it: the questions of the start (the data folder, the database) take
// their defaults at once, the start goes no further, and the program ends cleanly as it does
// when the session ends later, instead of being killed by the signal.
#pragma once

namespace vx {

// Watches from the start of the program body until StopWatchingStartUpSession.
void WatchStartUpSession();
// The session has ended since WatchStartUpSession (false when not watching).
bool StartUpSessionEnded();
// Ends the watch (the frame watches now, or the program ends); answers whether the session
// ended while it watched.
bool StopWatchingStartUpSession();

}  // namespace vx
