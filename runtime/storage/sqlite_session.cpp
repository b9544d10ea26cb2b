#include "runtime/storage/sqlite_session.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/expression/text_case.h"
#include "runtime/storage/commit_intent.h"
#include "runtime/storage/data_file_check.h"
#include "runtime/storage/open_burst.h"
#include "runtime/storage/spanning_commit.h"
#include "runtime/storage/table_backend.h"

namespace vx::storage {
namespace {

// One change counter per data file for the whole process; never freed, so pointers stay valid.
std::atomic<std::uint64_t>* GenerationOf(const std::string& path) {
  static std::mutex mutex;
  static auto* counters =
      new std::unordered_map<std::string, std::unique_ptr<std::atomic<std::uint64_t>>>();
  std::lock_guard<std::mutex> lock(mutex);
  auto& slot = (*counters)[path];
  if (!slot) slot = std::make_unique<std::atomic<std::uint64_t>>(0);
  return slot.get();
}

struct Session {
  std::unordered_map<std::string, std::weak_ptr<Connection>> connections;
  int depth = 0;
  bool failed = false;
  std::vector<std::shared_ptr<Connection>> members;
};

Session& ThisThread() {
  thread_local Session session;
  return session;
}

// Idle connections left by threads, by file, for the next thread that opens the file. One is
// kept only while another connection of the process to the same file (the same inode) is in
// use: when the last one lets go, every connection to the file closes, which folds the
// write-ahead log back into it and removes the files beside it, as if none had been kept. So a
// file no table holds open is whole, and a kept connection never keeps a log alive beside a
// file that was removed or replaced, which its replacement would otherwise read.
constexpr std::size_t kKeptPerFile = 4;

class KeptConnections {
 public:
  ~KeptConnections() { CloseAll(); }

  // A new connection is handed to a thread.
  void InUse(Connection& connection) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++files_[KeyOf(connection)].in_use;
    connection.set_counted(epoch_);
  }

  // The last holder of `connection` lets go of it.
  void Release(std::unique_ptr<Connection> connection) {
    std::vector<std::unique_ptr<Connection>> closing;
    std::lock_guard<std::mutex> lock(mutex_);
    // Not counted (its open failed), or counted before CloseAll: it just closes.
    if (connection->counted() != epoch_) return;
    auto it = files_.find(KeyOf(*connection));
    if (it == files_.end()) return;
    Slot& slot = it->second;
    --slot.in_use;
    if (slot.in_use > 0 && connection->Idle()) {
      slot.idle.push_back(std::move(connection));
      if (slot.idle.size() > kKeptPerFile) {
        closing.push_back(std::move(slot.idle.front()));
        slot.idle.erase(slot.idle.begin());
      }
    } else if (slot.in_use == 0) {
      closing.swap(slot.idle);
      files_.erase(it);
    }
    // The lock is let go before `closing` and a connection not kept close.
  }

  // A kept connection to the file `path` names now (`st`), opened through the current file
  // layer: a read-only one for a file that cannot be written, a writable one for a write, either
  // for a read; counted as in use again.
  std::unique_ptr<Connection> Take(const std::string& path, const struct stat& st, bool unwritable,
                                   bool read_only_asked) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = files_.find(KeyOf(path, st.st_dev, st.st_ino));
    if (it == files_.end()) return nullptr;
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    auto& idle = it->second.idle;
    for (auto c = idle.begin(); c != idle.end(); ++c) {
      if ((*c)->vfs() != vfs) continue;
      const bool fits = unwritable ? (*c)->read_only() : read_only_asked || !(*c)->read_only();
      if (!fits) continue;
      std::unique_ptr<Connection> found = std::move(*c);
      idle.erase(c);
      ++it->second.in_use;
      return found;
    }
    return nullptr;
  }

  void CloseAll() {
    std::map<std::string, Slot> closing;
    std::lock_guard<std::mutex> lock(mutex_);
    closing.swap(files_);
    ++epoch_;
  }

 private:
  struct Slot {
    int in_use = 0;
    std::vector<std::unique_ptr<Connection>> idle;
  };
  static std::string KeyOf(const std::string& path, dev_t device, ino_t inode) {
    return path + '\n' + std::to_string(device) + ':' + std::to_string(inode);
  }
  static std::string KeyOf(const Connection& c) { return KeyOf(c.path(), c.device(), c.inode()); }

  std::mutex mutex_;
  std::map<std::string, Slot> files_;
  std::uint64_t epoch_ = 1;  // connections counted since the last CloseAll carry it
};

KeptConnections& Kept() {
  static KeptConnections kept;
  return kept;
}

sqlite3_vfs* VfsOf(sqlite3* db) {
  sqlite3_vfs* vfs = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_VFS_POINTER, &vfs) != SQLITE_OK) return nullptr;
  return vfs;
}

void Release(Connection* connection) { Kept().Release(std::unique_ptr<Connection>(connection)); }

}  // namespace

void CloseKeptConnections() { Kept().CloseAll(); }

void Connection::SetIdentity(dev_t device, ino_t inode, sqlite3_vfs* vfs) {
  device_ = device;
  inode_ = inode;
  vfs_ = vfs;
}

bool Connection::Idle() const {
  if (!proven_ || in_txn_ || streamers_ != 0 || !cursors_.empty() ||
      sqlite3_get_autocommit(db_) == 0)
    return false;
  for (sqlite3_stmt* s = sqlite3_next_stmt(db_, nullptr); s; s = sqlite3_next_stmt(db_, s)) {
    if (sqlite3_stmt_busy(s)) return false;
  }
  return true;
}

int Connection::SchemaVersion() {
  const std::uint64_t burst = CurrentOpenBurst();
  if (burst != 0 && burst == version_burst_) return burst_version_;
  sqlite3_stmt* q = Prepare("PRAGMA schema_version");
  if (!q) return -1;
  EndCursors();
  const int version = sqlite3_step(q) == SQLITE_ROW ? sqlite3_column_int(q, 0) : -1;
  sqlite3_reset(q);
  version_burst_ = version >= 0 ? burst : 0;
  burst_version_ = version;
  return version;
}

bool Connection::Checked(std::uint64_t owner, const std::string& table) {
  const auto it = checked_.find(CheckedLess::View{owner, table});
  if (it == checked_.end()) return false;
  const int version = SchemaVersion();
  return version >= 0 && version == it->second;
}

void Connection::MarkChecked(std::uint64_t owner, const std::string& table) {
  const int version = SchemaVersion();
  if (version >= 0) checked_[{owner, table}] = version;
}

int Connection::ReadSchema() {
  const int version = SchemaVersion();
  if (version >= 0 && version == schema_read_) return SQLITE_OK;
  schema_read_ = -1;
  index_sql_.clear();
  table_sql_.clear();
  sqlite3_stmt* q =
      Prepare("SELECT type, name, sql FROM sqlite_master WHERE type IN ('index', 'table')");
  if (!q) return sqlite3_errcode(db_);
  int rc;
  while ((rc = sqlite3_step(q)) == SQLITE_ROW) {
    const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(q, 1));
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(q, 2));
    if (!type || !name || !text) continue;
    if (type[0] == 'i') {
      index_sql_.emplace(name, text);
    } else {
      table_sql_.emplace(AsciiLower(name), text);
    }
  }
  sqlite3_reset(q);
  if (rc != SQLITE_DONE) {
    index_sql_.clear();
    table_sql_.clear();
    return rc;
  }
  schema_read_ = version;
  return SQLITE_OK;
}

int Connection::IndexSql(const std::string& name, const std::string** sql) {
  *sql = nullptr;
  if (const int rc = ReadSchema(); rc != SQLITE_OK) return rc;
  if (const auto it = index_sql_.find(name); it != index_sql_.end()) *sql = &it->second;
  return SQLITE_OK;
}

int Connection::TableSql(const std::string& name, const std::string** sql) {
  *sql = nullptr;
  if (const int rc = ReadSchema(); rc != SQLITE_OK) return rc;
  if (const auto it = table_sql_.find(AsciiLower(name)); it != table_sql_.end()) *sql = &it->second;
  return SQLITE_OK;
}

Connection::Connection(sqlite3* db, std::string path)
    : db_(db), path_(std::move(path)), generation_(GenerationOf(path_)) {}

void NoteFileChanged(const std::string& path) {
  GenerationOf(path)->fetch_add(1, std::memory_order_acq_rel);
}

Connection::~Connection() {
  changes_.Stop();
  if (in_txn_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
  sqlite3_close_v2(db_);
}

sqlite3_stmt* Connection::Prepare(const std::string& sql) {
  auto it = statements_.find(sql);
  if (it != statements_.end()) return it->second;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                         &stmt, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    return nullptr;
  }
  statements_.emplace(sql, stmt);
  return stmt;
}

sqlite3_stmt* Connection::SlotStatement(std::uint64_t owner, const std::string& table,
                                        const StatementSlot& slot) const {
  const auto it = slots_.find({owner, table, slot});
  return it == slots_.end() ? nullptr : it->second;
}

void Connection::KeepSlotStatement(std::uint64_t owner, const std::string& table,
                                   const StatementSlot& slot, sqlite3_stmt* stmt) {
  slots_[{owner, table, slot}] = stmt;
}

int Connection::Exec(const char* sql) {
  EndCursors();
  version_burst_ = 0;  // it may change the schema
  return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

void Connection::DropCursor(sqlite3_stmt* stmt) {
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  std::erase(cursors_, stmt);
}

void Connection::EndCursors() {
  if (cursors_.empty()) return;
  for (sqlite3_stmt* stmt : cursors_) {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
  }
  cursors_.clear();
  ++cursor_epoch_;
}

void Connection::SetBusyMilliseconds(int ms) {
  if (ms == busy_ms_) return;
  busy_ms_ = ms;
  sqlite3_busy_timeout(db_, ms);
}

int Connection::BeginWrite() {
  for (int attempt = 0;; ++attempt) {
    int rc = Exec("BEGIN IMMEDIATE");
    if (rc != SQLITE_OK || read_only_ || !IntentLiesBeside(path_)) return rc;
    // Settled with the write lock let go: settling writes to every file of that transaction.
    Exec("ROLLBACK");
    rc = SettleIntentBeside(path_, busy_ms_);
    if (rc != SQLITE_OK) return rc;
    if (attempt == 2) return SQLITE_BUSY;
  }
}

int Connection::BeforeUse() {
  EndCursors();
  Session& session = ThisThread();
  if (session.depth == 0 || joined_logout_) return SQLITE_OK;
  if (!in_txn_) {
    // IMMEDIATE: what the transaction reads stays true until it commits (a restrict check
    // cannot be undone by another thread adding a child in between).
    const int rc = BeginWrite();
    if (rc != SQLITE_OK) return rc;
    in_txn_ = true;
  }
  joined_logout_ = true;
  changes_.Start(db_);
  // The session keeps the connection alive until the transaction ends.
  for (auto& [path, weak] : session.connections) {
    if (path == path_) {
      if (auto strong = weak.lock()) session.members.push_back(strong);
      break;
    }
  }
  return SQLITE_OK;
}

int Connection::BeforeWrite(bool streaming) {
  int rc = BeforeUse();
  if (rc != SQLITE_OK) return rc;
  if (!in_txn_ && streaming) {
    rc = BeginWrite();
    if (rc != SQLITE_OK) return rc;
    in_txn_ = true;
  } else if (!in_txn_ && !read_only_ && IntentLiesBeside(path_)) {
    rc = SettleIntentBeside(path_, busy_ms_);
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

int Connection::AfterWrite(bool streaming) {
  Touch();
  // A plain write on a file that another table holds in a stream batch ends that batch, so
  // the write is durable when the call returns.
  if (in_txn_ && !joined_logout_ && !streaming) return Commit();
  return SQLITE_OK;
}

int Connection::FlushStream() {
  if (in_txn_ && !joined_logout_) return Commit();
  return SQLITE_OK;
}

int Connection::Commit() {
  if (!in_txn_) return SQLITE_OK;
  const int rc = Exec("COMMIT");
  if (rc != SQLITE_OK) {
    Exec("ROLLBACK");
  }
  in_txn_ = false;
  joined_logout_ = false;
  changes_.Stop();
  Touch();
  return rc;
}

int Connection::Rollback() {
  if (!in_txn_) return SQLITE_OK;
  const int rc = Exec("ROLLBACK");
  in_txn_ = false;
  joined_logout_ = false;
  changes_.Stop();
  Touch();
  return rc;
}

bool Connection::BeginRead() {
  if (in_txn_ || sqlite3_get_autocommit(db_) == 0) return false;
  if (!begin_read_) begin_read_ = Prepare("BEGIN DEFERRED");
  if (!end_read_) end_read_ = Prepare("COMMIT");
  if (!begin_read_ || !end_read_) return false;
  const int rc = sqlite3_step(begin_read_);
  sqlite3_reset(begin_read_);
  return rc == SQLITE_DONE;
}

void Connection::EndRead() {
  // Nothing was written, so the commit only drops the read lock.
  sqlite3_step(end_read_);
  sqlite3_reset(end_read_);
}

bool HasWriteAheadLog(const std::string& path) {
  struct stat st {};
  return ::stat((path + "-wal").c_str(), &st) == 0 && st.st_size > 0;
}

std::string ImmutableUri(const std::string& path) {
  std::string uri = "file:";
  for (const char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static const char kHex[] = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
      uri += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      uri += c;
    }
  }
  return uri + "?immutable=1";
}

// The user took the right to write away, or marked the file read-only (which the superuser's
// right to write anything must respect too).
bool CannotBeWritten(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  return CannotBeWritten(path, st);
}

bool CannotBeWritten(const std::string& path, const struct stat& st) {
  return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

int OpenConnection(const std::string& path, bool create, bool read_only, int busy_ms,
                   std::shared_ptr<Connection>* out) {
  Session& session = ThisThread();
  if (auto it = session.connections.find(path); it != session.connections.end()) {
    if (auto existing = it->second.lock()) {
      *out = std::move(existing);
      return SQLITE_OK;
    }
  }
  if (create && access(path.c_str(), F_OK) != 0) {
    // Made here rather than by SQLite so that the data file is private to its owner; the
    // journal files SQLite adds take the same permissions. O_EXCL: never replace a file.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) return errno == EACCES ? SQLITE_PERM : SQLITE_CANTOPEN;
    if (fd >= 0) ::close(fd);
  }
  // Nobody can write a file that cannot be written, so it is read as it stands, without the
  // shared-memory and log files a write-ahead database otherwise needs. A log left beside it
  // by an earlier crash holds committed records, so then it is read through that log.
  // One stat serves both: whether the file can be written, and which file a kept connection
  // must be open on.
  struct stat st {};
  bool there = ::stat(path.c_str(), &st) == 0;
  const bool unwritable = there && CannotBeWritten(path, st);
  // A transaction a crash cut short is settled before the file is read.
  if (!unwritable && IntentLiesBeside(path)) {
    SettleIntentBeside(path, busy_ms);
    there = ::stat(path.c_str(), &st) == 0;
  }
  const bool read_only_asked = read_only;
  read_only = read_only || unwritable;
  if (there) {
    if (auto kept = Kept().Take(path, st, unwritable, read_only_asked)) {
      kept->SetBusyMilliseconds(busy_ms);
      std::shared_ptr<Connection> connection(kept.release(), Release);
      session.connections[path] = connection;
      *out = std::move(connection);
      return SQLITE_OK;
    }
  }
  const bool immutable = unwritable && !HasWriteAheadLog(path);
  sqlite3* db = nullptr;
  int flags = (read_only ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
  if (immutable) flags |= SQLITE_OPEN_URI;
  int rc =
      sqlite3_open_v2(immutable ? ImmutableUri(path).c_str() : path.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    if (rc == SQLITE_CANTOPEN && access(path.c_str(), F_OK) == 0) rc = SQLITE_PERM;
    sqlite3_close_v2(db);
    return rc;
  }
  sqlite3_extended_result_codes(db, 1);
  std::shared_ptr<Connection> connection(new Connection(db, path), Release);
  if (::stat(path.c_str(), &st) == 0) connection->SetIdentity(st.st_dev, st.st_ino, VfsOf(db));
  connection->set_read_only(read_only);
  connection->SetBusyMilliseconds(busy_ms);
  // Reading the schema proves the file is a database, and one of ours, before anything is
  // written to it.
  DataFileOwner owner = DataFileOwner::Foreign;
  rc = ReadDataFileOwner(db, &owner);
  if (rc == SQLITE_OK && owner == DataFileOwner::Foreign) rc = kForeignDatabase;
  if (rc == SQLITE_OK && !read_only) rc = connection->Exec("PRAGMA journal_mode=WAL");
  if (rc == SQLITE_OK) rc = connection->Exec("PRAGMA synchronous=FULL");
  if (rc != SQLITE_OK) return rc;
  connection->set_proven();
  Kept().InUse(*connection);
  session.connections[path] = connection;
  *out = std::move(connection);
  return SQLITE_OK;
}

int LOGOUT(int /*seconds*/) {
  Session& session = ThisThread();
  if (session.depth++ == 0) {
    session.failed = false;
    session.members.clear();
  }
  return 0;
}

bool InLogout() { return ThisThread().depth > 0; }

namespace {

void RollbackMembers(Session& session) {
  for (auto& member : session.members) member->Rollback();
  session.members.clear();
}

}  // namespace

int COMMIT() {
  Session& session = ThisThread();
  if (session.depth == 0) return 0;
  if (--session.depth > 0) return session.failed ? SQLITE_ABORT : SQLITE_OK;
  TableStore* store = InstalledTableStore();
  if (session.failed) {
    RollbackMembers(session);
    if (store) store->RollbackLogout();
    return SQLITE_ABORT;
  }
  const int result = CommitMembers(session.members);
  session.members.clear();
  // A server's tables commit on their own connection; its failure is the runtime code.
  if (store) {
    if (result != SQLITE_OK) {
      store->RollbackLogout();
    } else if (const int code = store->CommitLogout(); code != 0) {
      return code;
    }
  }
  return result;
}

void ROLLBACK() {
  Session& session = ThisThread();
  if (session.depth == 0) return;
  --session.depth;
  session.failed = true;
  RollbackMembers(session);
  if (TableStore* store = InstalledTableStore()) store->RollbackLogout();
}

}  // namespace vx::storage
