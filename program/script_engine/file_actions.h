// The script action "File Actions": one file-system operation named by a verb, its outcome left
// in script variables ("FileCopy", "FileSize", "Errorcode", ...) for later "If Value..." steps.
//
// Names may use backslashes as folder separators, like scripts written for other desktops.
// Every operation sets the thread's last error (ERRORCODE): 0 on success, 2 when the name
// matches nothing, 5 when the system refuses access, 90 for any other failure (FILEERRORCODE
// then holds the system's or the shell operation's own code).
#pragma once

#include <cstdint>
#include <string_view>

namespace vx {

// Runs the operation that Verb names (whole and case-sensitive; trailing blanks do not count) on
// File1 and File2, both expanded first (bracketed variable names take their values), sets the
// verb's variable and "Errorcode", and returns the result: the shell operation's code for
// "Copy", "Move", "Rename", "Delete" and "Recycle"; 1 or 0 for "Make Directory", "Remove
// Directory" and "File Exists" (also "If File Exists"); the date, time or size for "Get File
// Date", "Get File Time" and "Get File Size"; the number of windows for "Log Windows". Any
// other verb does nothing, returns 0 and sets only "Errorcode" (0). Extra1 and Extra2 are not
// used. The event log is closed first, so a script may move or copy it whole.
std::int64_t FileAction(std::string_view Extra2, std::string_view Extra1, std::string_view File2,
                        std::string_view File1, std::string_view Verb);

// Copy, Move, Rename (File1 to File2), Delete (for good) or Recycle (into the trash) through the
// shell file-operation class; File1 may be a list of names separated by ";" or "|", with
// wildcards. Returns 0 on success, else the operation's failure code.
int ShellFileOperation(std::string_view Verb, std::string_view File1, std::string_view File2);

// The modification date (day number), time (hundredths, 1 = midnight, local time) and size in
// bytes of the first entry that File names which is not a folder: the name itself, or with "*"
// or "?" in its last part the first match in name order (letter case ignored, hidden files
// included). 0 when nothing matches.
std::int32_t GetFileDate(std::string_view File);
std::int32_t GetFileTime(std::string_view File);
std::int64_t GetFileSize(std::string_view File);

// 1 when File names an existing file or folder (with wildcards: when anything matches), else 0.
int FileExists(std::string_view File);

// Makes the folder Path (its parent must exist) or removes it (it must be empty). The result
// tells the state wanted: 1 when Path is a folder afterwards (made now or already there), or
// when nothing is left at Path after removing; else 0, also for a blank Path.
int DirCreate(std::string_view Path);
int DirRemove(std::string_view Path);

}  // namespace vx
