// The calling thread's SQLite connections, one per data file, and its transactions.
//
// A thread opens each data file once however many of its tables it uses. When the thread's last
// table in that file closes, an idle connection (no transaction, no statement running) is kept
// with its prepared statements and its schema while another connection of the process holds the
// same file, and the next thread that opens the file takes it instead of opening one: a list on
// a thread of its own then pays for its rows, not for reading the schema again. A kept
// connection is taken only for the file it opened (not one put in its place), through the file
// layer it opened it with, and while the file's read-only state matches. Writes inside a
// transaction (LOGOUT ... COMMIT) or a stream (STREAM ... FLUSH) share one SQLite transaction per
// file; every other write is committed at once. A transaction that writes to several files commits
// in all of them or in none, across a crash too (spanning_commit.h): a transaction a crash left
// unfinished is settled when a connection to one of its files opens, and before any write to
// one of them.
#pragma once

#include <sqlite3.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <array>
#include <atomic>
#include <compare>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "runtime/storage/change_capture.h"

namespace vx::storage {

class Connection {
 public:
  Connection(sqlite3* db, std::string path);
  // The file it opened, by device and inode, and the SQLite file layer it opened it through.
  void SetIdentity(dev_t device, ino_t inode, sqlite3_vfs* vfs);
  dev_t device() const { return device_; }
  ino_t inode() const { return inode_; }
  sqlite3_vfs* vfs() const { return vfs_; }
  // Nothing of a thread is left on it: no transaction, stream or running statement, and it
  // opened a data file of ours (set_proven) rather than failing on the way.
  bool Idle() const;
  void set_proven() { proven_ = true; }
  // The count of connections in use that it belongs to (0: none), for the kept connections.
  std::uint64_t counted() const { return counted_; }
  void set_counted(std::uint64_t epoch) { counted_ = epoch; }

  // Whether `table`, as the engine object `owner` defines it, was checked against the file's
  // schema as it stands now (the schema's version has not moved since); MarkChecked records a
  // check that passed. Within an open burst the version is read once (open_burst.h).
  bool Checked(std::uint64_t owner, const std::string& table);
  void MarkChecked(std::uint64_t owner, const std::string& table);
  // The SQL that made the index `name` (spelled exactly so), or the table `name` (in any letter
  // case, as SQLite finds tables), in the file's schema as it stands now, into `sql` (nullptr:
  // none, or one without SQL); a SQLite result code. The file's schema is read once for all the
  // tables checked at one schema version.
  int IndexSql(const std::string& name, const std::string** sql);
  int TableSql(const std::string& name, const std::string** sql);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  sqlite3* db() const { return db_; }
  const std::string& path() const { return path_; }
  // Opened read-only: asked for, or the file cannot be written.
  bool read_only() const { return read_only_; }
  void set_read_only(bool value) { read_only_ = value; }

  // A prepared statement for `sql`, kept for the life of the connection (reset before reuse).
  sqlite3_stmt* Prepare(const std::string& sql);
  // The statement that the engine object `owner` prepared for `table` in its statement slot
  // on this connection (nullptr: none yet), so that the next thread that opens the table on the
  // kept connection neither builds the SQL text again nor looks it up by that text. A slot is
  // the statement's kind, key, level and direction, and the fields a walk keeps equal; the SQL
  // of a slot depends only on the object's definition, the table and the slot.
  struct StatementSlot {
    std::array<int, 4> kind_key_level_back;
    std::vector<int> equal_fields;
    auto operator<=>(const StatementSlot&) const = default;
  };
  sqlite3_stmt* SlotStatement(std::uint64_t owner, const std::string& table,
                              const StatementSlot& slot) const;
  void KeepSlotStatement(std::uint64_t owner, const std::string& table, const StatementSlot& slot,
                         sqlite3_stmt* stmt);
  int Exec(const char* sql);  // a SQLite result code

  void SetBusyMilliseconds(int ms);
  int busy_ms() const { return busy_ms_; }

  // Call before any statement runs: joins the thread's open transaction if there is one.
  int BeforeUse();
  // Call before a write; `streaming` says whether the writing table is in stream mode.
  int BeforeWrite(bool streaming);
  // Call after a write; commits at once unless a transaction or a stream keeps it open.
  int AfterWrite(bool streaming);
  // Ends this file's stream batch (FLUSH, or the close of the last streaming table).
  int FlushStream();
  void AddStreamer() { ++streamers_; }
  void RemoveStreamer() {
    if (streamers_ > 0) --streamers_;
  }

  // Counts changes to this file made by any thread of the process; a reader holding rows read
  // ahead drops them when the count moved.
  std::uint64_t generation() const { return generation_->load(std::memory_order_acquire); }
  void Touch() { generation_->fetch_add(1, std::memory_order_acq_rel); }

  bool in_transaction() const { return in_txn_; }
  int Commit();
  int Rollback();
  // The rows the thread's transaction (LOGOUT) changed in this file so far.
  const ChangeCapture& changes() const { return changes_; }

  // One read transaction around several statements (a walk that needs more than one query),
  // unless a transaction is open already: each statement would otherwise take and drop a read
  // lock of its own, and could see another writer's commit that the one before did not.
  // Answers whether it began one, which EndRead then ends.
  bool BeginRead();
  void EndRead();

  // Walk statements left running between calls, so that a walk that goes on steps the same
  // query and the same read. Each holds the file's read lock, so every other use of the
  // connection ends them first and reads the file as it is now; a walk whose statement was
  // ended sees cursor_epoch() moved.
  void KeepCursor(sqlite3_stmt* stmt) { cursors_.push_back(stmt); }
  void DropCursor(sqlite3_stmt* stmt);  // resets it
  void EndCursors();
  std::uint64_t cursor_epoch() const { return cursor_epoch_; }

 private:
  // BEGIN IMMEDIATE, once any unfinished transaction this file took part in is settled.
  int BeginWrite();

  sqlite3* db_;
  std::string path_;
  std::unordered_map<std::string, sqlite3_stmt*> statements_;
  std::map<std::tuple<std::uint64_t, std::string, StatementSlot>, sqlite3_stmt*> slots_;
  sqlite3_stmt* begin_read_ = nullptr;
  sqlite3_stmt* end_read_ = nullptr;
  std::vector<sqlite3_stmt*> cursors_;
  std::uint64_t cursor_epoch_ = 0;
  std::atomic<std::uint64_t>* generation_;
  int busy_ms_ = -1;
  bool in_txn_ = false;         // BEGIN issued and not yet ended
  bool joined_logout_ = false;  // the open transaction belongs to the thread's LOGOUT
  int streamers_ = 0;
  bool read_only_ = false;
  ChangeCapture changes_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  sqlite3_vfs* vfs_ = nullptr;
  bool proven_ = false;
  std::uint64_t counted_ = 0;
  // Tables checked against the schema, by engine object and table, with the schema version.
  // Looked up by a view of the table's name, so that a look-up copies no text.
  struct CheckedLess {
    using is_transparent = void;
    using View = std::pair<std::uint64_t, std::string_view>;
    static View AsView(const std::pair<std::uint64_t, std::string>& key) {
      return {key.first, key.second};
    }
    static const View& AsView(const View& key) { return key; }
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
      return AsView(a) < AsView(b);
    }
  };
  std::map<std::pair<std::uint64_t, std::string>, int, CheckedLess> checked_;
  // The version as read in the open burst `version_burst_` (open_burst.h); 0: none to reuse.
  std::uint64_t version_burst_ = 0;
  int burst_version_ = -1;
  int SchemaVersion();  // -1 when it cannot be read
  // The SQL of every index and table that has some, by name (a table's in lower case), as read
  // at schema version `schema_read_` (-1: not read).
  int ReadSchema();
  std::unordered_map<std::string, std::string> index_sql_;
  std::unordered_map<std::string, std::string> table_sql_;
  int schema_read_ = -1;
};

// Closes every kept connection that no thread holds. A SQLite file layer must not go away while
// a connection opened through it is open, so whoever removes one calls this first.
void CloseKeptConnections();

// Tells the process's readers of `path` that another connection changed it.
void NoteFileChanged(const std::string& path);

// An existing file that this process cannot write, or whose write bits are all cleared.
bool CannotBeWritten(const std::string& path);
// The same for the file a stat of `path` just found (`st`).
bool CannotBeWritten(const std::string& path, const struct stat& st);
// A database's write-ahead log beside it holds frames (left by a crash or a running writer).
bool HasWriteAheadLog(const std::string& path);
// `path` as a file: URI that reads the file without locks or journal files.
std::string ImmutableUri(const std::string& path);

// The calling thread's connection to `path` (canonical), opened on first use. `create` makes
// a missing file (mode 0600); without it a missing file gives SQLITE_CANTOPEN. A file locked by
// another program is waited for `busy_ms`, the caller's lock recovery time. A file that cannot
// be written (no write permission, or none of its write bits set) is opened read-only whatever
// the caller asked, without making journal files beside it: files made there would carry the
// data file's read-only mode and lock every write out once the file is writable again.
// Another program's database gives kForeignDatabase (data_file_check.h) before anything is
// written to it.
int OpenConnection(const std::string& path, bool create, bool read_only, int busy_ms,
                   std::shared_ptr<Connection>* out);

// A transaction over every file the thread touches until COMMIT or ROLLBACK. Nested calls are
// counted; only the outermost COMMIT commits, and any ROLLBACK rolls the whole of it back.
int LOGOUT(int seconds);
int COMMIT();
void ROLLBACK();
bool InLogout();

}  // namespace vx::storage
