// The rows a connection's transaction changes, each with its stored values from before the
// transaction first changed it.
//
// A transaction over several data files commits each file on its own, so before the first of
// them commits it writes down what undoes every file's part (commit_intent.h): the values
// each changed row had before and has now. The capture watches every row change of the
// connection's database ("main") through SQLite's pre-update hook while the connection takes
// part in the thread's transaction; SQLite's own tables (sqlite_...) and changes to the schema
// are not watched. NetChanges then reads each watched row as the transaction left it.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vx::storage {

// One stored value: its SQLite type and content.
struct StoredValue {
  int type = SQLITE_NULL;
  std::int64_t integer = 0;
  double real = 0;
  std::string bytes;  // text or blob
  bool operator==(const StoredValue& other) const;
};

// A row's values in the table's column order.
using RowImage = std::vector<StoredValue>;

// A row as it was before the transaction and as it is after it (nullopt: no such row).
struct RowChange {
  std::int64_t rowid = 0;
  std::optional<RowImage> before;
  std::optional<RowImage> after;
};

struct TableChanges {
  std::string table;
  std::vector<std::string> columns;
  std::vector<RowChange> rows;  // by rowid
};

StoredValue ValueOf(sqlite3_value* value);
StoredValue ColumnValue(sqlite3_stmt* stmt, int column);
int BindValue(sqlite3_stmt* stmt, int parameter, const StoredValue& value);

class ChangeCapture {
 public:
  ChangeCapture() = default;
  ~ChangeCapture() { Stop(); }
  ChangeCapture(const ChangeCapture&) = delete;
  ChangeCapture& operator=(const ChangeCapture&) = delete;

  // Watches the changes made through `db` from now on (again after a Stop).
  void Start(sqlite3* db);
  // Stops watching and forgets what was seen.
  void Stop();
  bool empty() const { return before_.empty(); }

  // Each watched row's values before and now, read through the connection inside its
  // transaction; rows the transaction left as they were are left out. A SQLite result code.
  int NetChanges(std::vector<TableChanges>* out) const;

 private:
  struct Key {
    std::size_t table;
    std::int64_t rowid;
    bool operator==(const Key& o) const { return table == o.table && rowid == o.rowid; }
  };
  struct KeyHash {
    std::size_t operator()(const Key& k) const {
      return std::hash<std::int64_t>()(k.rowid) * 31 + k.table;
    }
  };

  static void Hook(void* self, sqlite3* db, int op, const char* schema, const char* table,
                   sqlite3_int64 old_rowid, sqlite3_int64 new_rowid);
  void Note(std::size_t table, std::int64_t rowid, bool existed);
  std::size_t TableIndex(const char* name);

  sqlite3* db_ = nullptr;
  std::vector<std::string> tables_;
  std::unordered_map<Key, std::optional<RowImage>, KeyHash> before_;
};

}  // namespace vx::storage
