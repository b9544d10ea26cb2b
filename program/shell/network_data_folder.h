// Whether the data folder lies on a network file system, told once at start.
//
// The data folder's files are SQLite databases in write-ahead-log mode, whose shared-memory
// index works only when every program using the file is on the one machine: on NFS, SMB/CIFS
// and the like two machines can damage the database, and nothing else would say so. A folder
// whose tables are on a database server (data_server.h) is not concerned.
#pragma once

#include <filesystem>

namespace vx {

// Whether `magic` (statfs's f_type) is that of a network or cluster file system.
bool IsNetworkFileSystem(long magic);
bool OnNetworkFileSystem(const std::filesystem::path& folder);

// Shows one box at start when the current (data) folder keeps its tables in files on a network
// file system, naming the folder and the way out: a database server, or a local folder. The
// program goes on: a folder used from this machine alone is safe.
void WarnWhenDataFolderOnNetwork();

}  // namespace vx
