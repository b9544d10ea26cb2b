// Copies the data library's tables between the current data folder's files and a database
// server, so that one person's data folder can move to a team's server and back.
//
// Every table kept in the data folder's database files is copied record by record in file
// order (the order records were added), into a target table made empty first; a table the
// source does not have is left alone on the target. Each table's records are counted on both
// sides after its copy, and a difference is a problem of the report. Text files (the event
// log, export files) stay in the data folder and are not copied. No program may use the data
// folder or the server's tables meanwhile.
#pragma once

#include <string>
#include <vector>

#include "program/tools/data_maintenance.h"
#include "runtime/storage/server_connection.h"

namespace vx {

struct CopyReport {
  std::vector<TableRecords> tables;   // the tables copied, with their record counts
  std::vector<std::string> problems;  // "SCHEDULE: ..." what went wrong
  bool ok() const { return problems.empty(); }
};

enum class CopyDirection { ToServer, FromServer };

// The data library must be loaded (VX_Files_Load) and no table store installed: the folder's
// files are the engine's own while the server is reached beside them.
CopyReport CopyTables(const storage::ServerSettings& server, CopyDirection direction);

}  // namespace vx
