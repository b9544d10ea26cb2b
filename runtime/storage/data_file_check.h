// Whose database a data file is, and what stands at a data file's place, judged before anything
// is written to it.
//
// Every SQLite file the engine makes carries the application id kDataFileApplicationId. A file
// without an id is taken as ours when it holds no table yet, or when its tables are keyed the
// way the engine keys them (indexes named "<table>!<key>": files made before the id was set);
// such a file gets the id at its first read/write open. Any other SQLite file is another
// program's: the engine opens none of its tables and writes nothing to it.
#pragma once

#include <sqlite3.h>

#include <string>

namespace vx::storage {

// "VX97" as the big-endian number SQLite keeps at offset 68 of the file's header.
inline constexpr int kDataFileApplicationId = 0x56583937;

// The SQLite result the engine gives for another program's database (an extended code of
// SQLITE_NOTADB that SQLite itself never uses), and the text that goes with it.
inline constexpr int kForeignDatabase = SQLITE_NOTADB | (0x7f << 8);
inline constexpr const char* kForeignDatabaseText = "the file is another program's database";

enum class DataFileOwner {
  Ours,          // marked with our id
  OursUnmarked,  // no id, and empty or keyed as ours
  Foreign,
};

// Whether a driver's code (FILEERRORCODE) says the file itself is damaged: SQLite found a page,
// the schema or the header malformed.
bool MeansDamage(int driver_code);

// Reads the owner of the database open on `db` (its id and its schema). Answers SQLITE_OK or
// SQLite's result when the schema cannot be read (a damaged or cut-off file).
int ReadDataFileOwner(sqlite3* db, DataFileOwner* owner);

enum class DataFileState {
  Missing,     // nothing there: a new database is made when its first table is created
  Empty,       // a file of no bytes: it becomes a new, empty database
  Ours,        // one of this program's databases (or a database with no table yet), readable
  NotAFile,    // a folder, or another kind of entry that is not a plain file
  Unreadable,  // no permission, not a database, cut off, or its header or schema damaged
  Foreign,     // another program's SQLite database
};

struct DataFileCheck {
  DataFileState state = DataFileState::Missing;
  std::string path;     // the file looked at, absolute
  std::string reason;   // what is wrong, for the user; empty when nothing is
  bool sqlite = false;  // it begins as a SQLite database does
};

// Looks at the file at `path` without writing to it or beside it: its kind and size, SQLite's
// header (a file shorter than the header says has been cut off), its schema and its owner. The
// pages of its tables are not read: damage there shows when they are.
DataFileCheck CheckDataFile(const std::string& path);

}  // namespace vx::storage
