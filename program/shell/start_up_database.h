// The look at the data folder's database before the program opens any of its tables.
#pragma once

namespace vx {

// The exit code of a program that found its database unusable (EX_DATAERR).
inline constexpr int kExitDatabaseUnusable = 65;

// Looks at "VX97.TPS" of the current (data) folder. A file that cannot be used (a folder in its
// place, no database, cut off or damaged, another program's database) is named in one box with
// what to do about it: the maintenance program for a damaged database (offered to be started
// there and then), a backup, or moving the file away. The program then ends with
// kExitDatabaseUnusable, having written nothing to the file. A file of no bytes is said to become
// a new, empty database, naming a backup as the way back to the tasks it may have held. Answers
// whether the start goes on (false only when a halt handler returns: tests).
bool CheckDatabaseAtStart();

}  // namespace vx
