// The database server a data folder names, for a team that shares one schedule.
//
// A data folder keeps its tables in its own files unless it names a server, in one of two
// ways: the connection file "VXSERVER.INI" beside its INI files (section [Server], entries
// Host, Port, Database, User, Password), which must be the user's own and readable by nobody
// else since it may hold the password; or entry "SERVER" of section "PATH" of its
// "PATHS.INI", a connection string ("host=db.example port=5432 dbname=vx") that never holds a
// password (libpq then takes it from the user's ~/.pgpass). Without a user, each person
// connects under their own login name. The connection file wins when there are both.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "runtime/storage/server_connection.h"

namespace vx {

inline constexpr const char* kServerFile = "VXSERVER.INI";

struct DataServerChoice {
  std::optional<storage::ServerSettings> settings;  // none: the folder's own files
  std::string problem;  // why the folder's choice cannot be used (settings then empty)
};

// What `folder` names; never reads a password into a message.
DataServerChoice DataServerOf(const std::filesystem::path& folder);

// Whether `folder` names a server at all (a usable choice or not).
bool NamesDataServer(const std::filesystem::path& folder);

// For the current (data) folder at start: puts the server's store in place when the folder
// names one, before any table opens. A choice that cannot be used is named in one box and
// answers false: the program must not go on with an empty database of files instead.
bool UseDataServer();

}  // namespace vx
