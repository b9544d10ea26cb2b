#include "runtime/storage/sqlite_session.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/storage/commit_intent.h"
#include "runtime/storage/data_file_check.h"
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

}  // namespace

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

int Connection::Exec(const char* sql) {
  EndCursors();
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
  return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

int OpenConnection(const std::string& path, bool create, bool read_only, int busy_ms,
                   std::shared_ptr<Connection>* out) {
  Session& session = ThisThread();
  if (auto it = session.connections.find(path); it != session.connections.end()) {
    if (auto existing = it->second.lock()) {
      *out = existing;
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
  const bool unwritable = CannotBeWritten(path);
  // A transaction a crash cut short is settled before the file is read.
  if (!unwritable && IntentLiesBeside(path)) SettleIntentBeside(path, busy_ms);
  read_only = read_only || unwritable;
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
  auto connection = std::make_shared<Connection>(db, path);
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
