// The data folder the user names at start: the word "Data=FOLDER" on the command line, else the
// environment variable VX_DATA_FOLDER (what scripts/run.sh passes). A named folder is used
// without the folder question and made when it is missing; its first start says once where the
// data lives, in a box that never holds the scheduler up.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vx {

// The exit code of a program whose named data folder cannot be made or entered (EX_CANTCREAT).
inline constexpr int kExitDataFolderUnusable = 73;

struct NamedFolder {
  std::filesystem::path folder;  // absolute: a relative name is taken from the current folder
  std::string named_by;          // where the name came from, as a box tells the user
};

// The folder the command line names, else VX_DATA_FOLDER; none when neither names one.
std::optional<NamedFolder> NamedDataFolder();

// Makes the named folder current, making it first (and the folders above it, each for its owner
// alone) when it is missing. Answers whether the start goes on. When the folder holds no
// database yet, this start makes a new one there: a box saying where the data lives is kept for
// Main (ShowNewDataFolderNotice). A folder that cannot
// be made or entered (a file in its place, no permission) is named in one box with the reason,
// and the program ends with kExitDataFolderUnusable (false only when a halt handler returns:
// tests).
bool EnterNamedDataFolder(const NamedFolder& named);

// Shows the kept box once, with a line on stderr, the box on a thread of its own: Main calls it
// from its tick, which goes on while the box is open, so on a display that nobody watches it waits
// unseen and holds nothing up. Does nothing when no box is kept.
void ShowNewDataFolderNotice();
// Drops a kept box (a new start finds its folder again).
void ForgetNewDataFolderNotice();

}  // namespace vx
