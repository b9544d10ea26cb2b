// The storage engine's tables on a PostgreSQL server (see table_backend.h for how File uses
// them, server_connection.h for connections and transactions).
//
// A data file's table is one server table named after the file and the table, in capitals
// ("VX97\!s" is "VX97!S"), with a column per field and a column vx_pos, the record's position
// (POSITION), numbered by the server in the order records are added. Each key is an index:
// its components in their order and direction, a text component without regard to case as
// lower() of the column (which folds ASCII letters only, as the engine's files do), optional
// keys as partial indexes. Text columns compare byte by byte (COLLATE "C"), so walks follow
// the same order as in the data folder's files. The table vx_tables notes each table's
// structure and keys, so that a table made by another build of the program gives 47 or 46
// at open, as a file would.
#pragma once

#include <memory>
#include <string>

#include "runtime/storage/server_connection.h"
#include "runtime/storage/table_backend.h"

namespace vx::storage {

// A store on the server `settings` names; nothing connects before a table is used.
std::shared_ptr<TableStore> MakeServerStore(const ServerSettings& settings);

// The server table name of a TopSpeed stored name ("VX97\!s" -> "VX97!S").
std::string ServerTableName(const std::string& stored_name);

// The calling thread's connection of the installed server store (nullptr when the installed
// store is none or not a server's): for work of the program's own on the server's tables.
ServerConnection* InstalledServerConnection();

}  // namespace vx::storage
