// Working state of a table on one thread and the SQL the engine builds for it; shared by the
// files of the storage engine only.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "runtime/storage/file.h"
#include "runtime/storage/sqlite_session.h"

namespace vx::storage {

// Where a walk stands: before its first record, at the buffer's values, after a record read,
// past its last record in one direction (the other direction then starts from that end), or
// on a record that the next read in either direction returns (RESET).
enum Anchor : int {
  kStart = 0,
  kValues = 1,
  kRecord = 2,
  kPastEndForward = 3,
  kPastEndBackward = 4,
  kAtRecord = 5
};

// Rows a walk reads at once when it reads batches (see Step in file.cpp): one at first, then
// kFirstBatch, then twice as many at each further read, up to kMaxBatch rows or kMaxBatchBytes.
constexpr std::size_t kFirstBatch = 8;
constexpr std::size_t kMaxBatch = 512;
constexpr std::size_t kMaxBatchBytes = 1 << 20;

// Statement slots of a thread's open table, so that a walk never rebuilds SQL text.
struct StatementKey {
  int kind;
  int key;
  int level;
  int backward;
  int filter;
  bool operator<(const StatementKey& o) const {
    return std::tie(kind, key, level, backward, filter) <
           std::tie(o.kind, o.key, o.level, o.backward, o.filter);
  }
};

// Walk query levels besides 0..n: a search by one row-value comparison, and none.
constexpr int kRowValueLevel = -2;
constexpr int kNoLevel = -3;

enum StatementKind : int {
  kWalk,
  kGetByKey,
  kGetById,
  kInsert,
  kUpdate,
  kDeleteById,
  kCount,
  kMaxLast
};

std::string Quote(std::string_view name);
bool SameNoCase(std::string_view a, std::string_view b);
inline bool IsTextDriver(Driver driver) {
  return driver == Driver::Basic || driver == Driver::Ascii;
}

struct FileThreadState {
  FileThreadState() = default;
  FileThreadState(FileThreadState&&) = default;
  FileThreadState& operator=(FileThreadState&&) = default;
  // A thread that ends with a table still open closes it, and a close ends a stream batch.
  ~FileThreadState() {
    if (cursor && conn) conn->DropCursor(cursor);
    if (open && streaming && conn) {
      conn->RemoveStreamer();
      conn->FlushStream();
    }
  }

  bool open = false;
  bool read_only = false;
  bool streaming = false;
  std::string name;   // stored name as resolved
  std::string path;   // file on disk
  std::string table;  // SQLite table
  std::shared_ptr<Connection> conn;
  std::map<StatementKey, sqlite3_stmt*> statements;
  std::vector<std::vector<int>> filters;  // field lists of SetEqual walks seen, by number

  // The walk: key (-1 file order), where it stands, and an optional equality filter.
  int key = -1;
  int anchor = kStart;
  std::int64_t anchor_id = 0;
  std::vector<char> anchor_record;
  int filter = -1;
  std::vector<int> equal_fields;
  std::vector<char> equal_record;
  std::int64_t current = 0;
  int duplicate_key = -1;

  // The walk's query left open between reads (see Connection::KeepCursor): the level it runs,
  // the last level of its read, whether it searches by row value, its direction, and the
  // connection's cursor epoch and the file's change count when it was opened. `batched`:
  // another statement ended it during this walk, which then reads batches.
  sqlite3_stmt* cursor = nullptr;
  int cursor_level = -1;
  int cursor_bottom = -1;
  bool cursor_row_value = false;
  int cursor_dir = 0;
  std::uint64_t cursor_epoch = 0;
  std::uint64_t cursor_generation = 0;
  bool batched = false;

  // Rows read ahead in the walk's direction, valid while the file's change count stands.
  // `ahead` only grows, so that a walk never clears memory it is about to overwrite.
  std::vector<char> ahead;
  std::vector<std::int64_t> ahead_ids;
  std::size_t ahead_pos = 0;
  int ahead_dir = 0;
  std::uint64_t ahead_generation = 0;
  std::size_t batch = 0;  // rows the last read asked for

  // Text drivers: the whole file read at the first read after a SET or a write.
  bool text_loaded = false;
  std::string text;
  std::size_t text_pos = 0;
};

class StatementReset {
 public:
  explicit StatementReset(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~StatementReset() {
    if (stmt_) {
      sqlite3_reset(stmt_);
      sqlite3_clear_bindings(stmt_);
    }
  }
  StatementReset(const StatementReset&) = delete;
  StatementReset& operator=(const StatementReset&) = delete;

 private:
  sqlite3_stmt* stmt_;
};

// Ends the walk's open query, if it has one.
inline void CloseCursor(FileThreadState& s) {
  if (!s.cursor) return;
  if (s.conn) s.conn->DropCursor(s.cursor);
  s.cursor = nullptr;
}

// Set the thread's error and return the runtime code: from a SQLite result, success, a code.
int Fail(int rc, const std::string& name, sqlite3* db);
int Ok();
int Code(int code, const std::string& name);

// The SQL of one table as one thread has it open, and the statements prepared from it.
struct FileOps {
  const File& file;
  FileThreadState& s;
  const TableDef& def;

  std::string ColumnExpr(int field, bool case_sensitive) const;  // with COLLATE NOCASE where due
  int FieldIndex(const std::string& name) const;
  std::vector<int> Components(const KeyDef& key) const;  // field indexes of a key
  const std::vector<int>& KeyFields(int key_index);      // the same, kept per table
  // The condition an optional key puts on its records (empty for other keys).
  std::string OptionalCondition(const KeyDef& key) const;
  std::string IndexName(const KeyDef& key) const { return Quote(s.table + "!" + key.name); }
  std::string CreateIndexSql(const KeyDef& key) const;
  std::string CreateTableSql() const;
  std::string SelectColumns() const;

  sqlite3_stmt* Statement(const StatementKey& k);  // prepared once per thread and table
  std::string BuildSql(const StatementKey& k) const;
  // Whether walks of a key can seek with one row-value comparison: SQLite searches an index
  // with one only when every component is an ascending number and no other condition applies.
  // It seeks to the first key at or beyond the values and steps over the rest, so the search
  // is always one of "at or beyond": beyond a record's key is at or beyond its next value.
  bool RowValueWalk(int key_index);
  // A walk query. Level -1: from the start (or end); level L of a key with n components:
  // records whose first L components equal the anchor's and whose next one lies beyond it
  // (L = n: all components equal and the record id beyond). Running the levels from n down
  // to 0 yields the records after the anchor in key order, each level an index search.
  // kRowValueLevel: records whose key is at or beyond the bound values (see RowValueWalk).
  std::string WalkSql(const StatementKey& k) const;

  void ReadRow(sqlite3_stmt* stmt, char* record, std::int64_t* id) const;
  int Use();  // joins the thread's transaction before a statement runs
};

// The text drivers' reads and appends.
int TextNext(const TableDef& def, FileThreadState& s);
int TextAdd(const TableDef& def, FileThreadState& s);

}  // namespace vx::storage
