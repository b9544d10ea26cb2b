// The event log viewer: the log file's lines in a list, with print and search.
#pragma once

namespace vx {

// The window "Event Log". With logging off it first logs (once) that logging is not enabled,
// so the viewer always has a line to show. A log file not written yet shows an empty log; one
// that cannot be read is reported and the window closes at once.
void ViewAscii_Log();

}  // namespace vx
