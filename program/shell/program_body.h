// The program's body: finds the data folder, sets up the process-wide error, INI and registry
// objects, hands them to the data library, runs Main and takes everything down in reverse.
#pragma once

namespace vx {

// Makes the data folder current: the folder the user named (named_data_folder.h), made when
// missing; else the current folder when it holds VX97.TPS; else the folder
// named in [PATH] DATA of ".\PATHS.INI" (a folder that cannot be entered is named in
// "Data Folder Missing" first); else the folder the user picks in "Select data directory",
// which is written back to PATHS.INI. When the user picks none, says "Application data will be
// created" with the folder it stays in. Answers whether the start goes on (false: a named folder
// could not be used).
bool FindDataFolder();

// The whole program as runtime thread 1: FindDataFolder, the folder's lock (a second start on a
// folder in use ends there, data_folder_lock.h), the objects, the look at the database
// (CheckDatabaseAtStart), Main, the shut-down. Loads the data library unless it is loaded
// already (and then leaves it loaded). When the session ends before Main's frame watches it
// (SIGTERM during a question of the start), the start's questions take their defaults and the
// body returns without going further.
void ProgramBody();

}  // namespace vx
