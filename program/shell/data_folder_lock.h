// One Varnodex per data folder and user: a second start on a folder that another Varnodex of this
// user has open brings that one's frame to the front and ends, without opening anything in the
// folder.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// Posted to Main's thread when another start on its data folder asks it to come forward.
inline constexpr int EVENT_BringFrameForward = 1104;

// Takes the current (data) folder for this process, before anything in it is opened. True: the
// folder is this process's until ReleaseDataFolder, and each later start on it posts
// EVENT_BringFrameForward to the calling runtime thread (Main's). False: another Varnodex of
// this user has the folder open; it has been asked to bring its frame forward, one line on
// stderr says so, and the caller ends at once (the program's exit code stays 0: the scheduler
// the user asked for is running). A folder that cannot be locked at all is used unlocked.
bool TakeDataFolder();

// Lets the folder go (at the end of the program, once every table is closed).
void ReleaseDataFolder();

// The line a second start writes, for the process `holder` (0: it did not answer).
std::string SecondStartLine(std::string_view folder, long holder);

}  // namespace vx
