#include "runtime/storage/spanning_commit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "runtime/storage/commit_intent.h"
#include "runtime/storage/file_internal.h"

namespace vx::storage {
namespace {

class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) {
    rc_ = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  int rc() const { return rc_; }
  sqlite3_stmt* get() const { return stmt_; }
  // Runs it once with `rowid` bound first; SQLITE_ROW or SQLITE_DONE, else the error.
  int Step(std::int64_t rowid) {
    sqlite3_reset(stmt_);
    sqlite3_bind_int64(stmt_, 1, rowid);
    return sqlite3_step(stmt_);
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
  int rc_ = SQLITE_OK;
};

bool TableExists(sqlite3* db, const std::string& table) {
  Statement q(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
  if (q.rc() != SQLITE_OK) return false;
  sqlite3_bind_text(q.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
  return sqlite3_step(q.get()) == SQLITE_ROW;
}

std::string ColumnList(const TableChanges& table) {
  std::string list = "rowid";
  for (const std::string& column : table.columns) list += ", " + Quote(column);
  return list;
}

// Puts back, in one transaction of its own, every row of the file's part that holds the values
// the transaction left; a row that holds the values from before needs nothing, and one changed
// since by someone else is left alone. The rows to put back are removed first and then stored
// again, so that keys they swapped among themselves never meet.
int UndoTables(sqlite3* db, const std::vector<TableChanges>& tables) {
  for (const TableChanges& table : tables) {
    if (!TableExists(db, table.table)) continue;
    Statement read(
        db, "SELECT " + ColumnList(table) + " FROM " + Quote(table.table) + " WHERE rowid = ?");
    Statement remove(db, "DELETE FROM " + Quote(table.table) + " WHERE rowid = ?");
    std::string values = "?";
    for (std::size_t i = 0; i < table.columns.size(); ++i) values += ", ?";
    Statement store(db, "INSERT INTO " + Quote(table.table) + " (" + ColumnList(table) +
                            ") VALUES (" + values + ")");
    for (const Statement* s : {&read, &remove, &store}) {
      if (s->rc() != SQLITE_OK) return s->rc();
    }
    std::vector<const RowChange*> undo;
    for (const RowChange& row : table.rows) {
      int rc = read.Step(row.rowid);
      std::optional<RowImage> now;
      if (rc == SQLITE_ROW) {
        now.emplace();
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
          now->push_back(ColumnValue(read.get(), static_cast<int>(i) + 1));
        }
        rc = SQLITE_DONE;
      }
      if (rc != SQLITE_DONE) return rc;
      if (now == row.after) undo.push_back(&row);
    }
    sqlite3_reset(read.get());
    for (const RowChange* row : undo) {
      if (!row->after) continue;
      const int rc = remove.Step(row->rowid);
      if (rc != SQLITE_DONE) return rc;
    }
    for (const RowChange* row : undo) {
      if (!row->before) continue;
      sqlite3_reset(store.get());
      sqlite3_bind_int64(store.get(), 1, row->rowid);
      for (std::size_t i = 0; i < row->before->size(); ++i) {
        BindValue(store.get(), static_cast<int>(i) + 2, (*row->before)[i]);
      }
      const int rc = sqlite3_step(store.get());
      if (rc != SQLITE_DONE) return rc;
    }
  }
  return SQLITE_OK;
}

// Undoes one file's part through a connection of its own. A file that is gone has nothing left
// to undo.
int UndoMember(const MemberChanges& member, int busy_ms) {
  if (::access(member.path.c_str(), F_OK) != 0) return SQLITE_OK;
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(member.path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busy_ms);
    rc = sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
  }
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) {
    rc = UndoTables(db, member.tables);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  sqlite3_close_v2(db);
  NoteFileChanged(member.path);
  return rc;
}

int UndoMembers(const CommitIntent& intent, int busy_ms) {
  for (const MemberChanges& member : intent.members) {
    if (const int rc = UndoMember(member, busy_ms); rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

// The records of a settled transaction beside its other files go; one another holds now is left
// for its holder, who finds the transaction settled.
void RemoveOtherRecords(const CommitIntent& intent, const std::set<std::string>& held) {
  for (const MemberChanges& member : intent.members) {
    const std::string path = IntentPathOf(member.path);
    if (held.count(path)) continue;
    IntentFile other;
    bool found = false;
    if (IntentFile::Inspect(path, 0, &other, &found) != SQLITE_OK || !found) continue;
    std::string bytes;
    CommitIntent theirs;
    other.Read(&bytes);
    if (bytes.empty() || !DecodeIntent(bytes, &theirs) || theirs.id == intent.id) other.Remove();
  }
}

// Two names of one file (a folder named through a link, say).
bool SameFile(const std::string& a, const std::string& b) {
  struct stat x {};
  struct stat y {};
  return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev &&
         x.st_ino == y.st_ino;
}

// A data folder moved since the record was written: its files are looked for beside it.
void FindMovedFiles(CommitIntent* intent, const std::string& record) {
  const std::filesystem::path folder = std::filesystem::path(record).parent_path();
  auto find = [&folder](std::string& path) {
    if (::access(path.c_str(), F_OK) == 0) return;
    const std::filesystem::path here = folder / std::filesystem::path(path).filename();
    if (::access(here.c_str(), F_OK) == 0) path = here.string();
  };
  find(intent->primary);
  for (MemberChanges& member : intent->members) find(member.path);
}

}  // namespace

int SettleIntentBeside(const std::string& data_file, int busy_ms) {
  IntentFile own;
  bool found = false;
  int rc = IntentFile::Inspect(IntentPathOf(data_file), busy_ms, &own, &found);
  if (rc != SQLITE_OK || !found) return rc;
  std::string bytes;
  if ((rc = own.Read(&bytes)) != SQLITE_OK) return rc;
  CommitIntent intent;
  if (!DecodeIntent(bytes, &intent)) {
    // Empty, or cut short while it was written: no file had committed yet.
    own.Remove();
    return SQLITE_OK;
  }
  FindMovedFiles(&intent, own.path());
  IntentFile primary;
  IntentFile* authority = &own;
  if (!SameFile(intent.primary, own.path())) {
    // The transaction is unfinished only while its primary's record holds it.
    rc = IntentFile::Inspect(intent.primary, busy_ms, &primary, &found);
    if (rc != SQLITE_OK) return rc;
    CommitIntent theirs;
    std::string primary_bytes;
    if (found) primary.Read(&primary_bytes);
    if (!found || !DecodeIntent(primary_bytes, &theirs) || theirs.id != intent.id) {
      own.Remove();
      return SQLITE_OK;
    }
    authority = &primary;
  }
  if ((rc = UndoMembers(intent, busy_ms)) != SQLITE_OK) return rc;
  if ((rc = authority->Clear()) != SQLITE_OK) return rc;
  RemoveOtherRecords(intent, {own.path(), primary.path()});
  primary.Remove();
  own.Remove();
  return SQLITE_OK;
}

namespace {

void RollbackAll(const std::vector<std::shared_ptr<Connection>>& members) {
  for (const auto& member : members) member->Rollback();
}

// Commits one after the other; after a failure the rest are rolled back.
int CommitInTurn(const std::vector<std::shared_ptr<Connection>>& members) {
  int result = SQLITE_OK;
  for (const auto& member : members) {
    if (result == SQLITE_OK) {
      result = member->Commit();
    } else {
      member->Rollback();
    }
  }
  return result;
}

}  // namespace

int CommitMembers(const std::vector<std::shared_ptr<Connection>>& members) {
  std::size_t writers = 0;
  for (const auto& member : members) writers += member->changes().empty() ? 0 : 1;
  if (writers < 2) return CommitInTurn(members);

  // What undoes each file's part, read before anything commits.
  CommitIntent intent;
  intent.id = NewIntentId();
  std::vector<std::shared_ptr<Connection>> changed;
  std::vector<std::shared_ptr<Connection>> unchanged;
  int busy_ms = 0;
  for (const auto& member : members) {
    MemberChanges part{member->path(), {}};
    if (!member->changes().empty()) {
      if (const int rc = member->changes().NetChanges(&part.tables); rc != SQLITE_OK) {
        RollbackAll(members);
        return rc;
      }
    }
    if (part.tables.empty()) {
      unchanged.push_back(member);
      continue;
    }
    busy_ms = std::max(busy_ms, member->busy_ms());
    changed.push_back(member);
    intent.members.push_back(std::move(part));
  }
  if (changed.size() < 2) return CommitInTurn(members);
  intent.primary = IntentPathOf(changed.front()->path());

  std::vector<IntentFile> records(changed.size());
  int rc = SQLITE_OK;
  auto fail = [&](int code) {
    // Nothing has committed: the records go, the primary's first.
    if (records[0].held()) records[0].Clear();
    for (IntentFile& record : records) record.Remove();
    RollbackAll(members);
    return code;
  };
  // Every record file is claimed (made when missing) before any is written, so that one sync
  // of each folder makes all their names durable. A record left by an earlier transaction is
  // settled first; one that cannot be settled keeps this transaction from committing.
  std::set<std::string> folders;
  std::vector<std::string> folders_of;  // a data file in each folder
  for (std::size_t i = 0; i < changed.size(); ++i) {
    const std::string& data_file = changed[i]->path();
    for (int attempt = 0;; ++attempt) {
      if ((rc = IntentFile::Claim(IntentPathOf(data_file), busy_ms, &records[i])) != SQLITE_OK)
        return fail(rc);
      std::string left;
      CommitIntent earlier;
      records[i].Read(&left);
      if (!DecodeIntent(left, &earlier)) break;
      records[i] = IntentFile();
      if (attempt > 0) return fail(SQLITE_BUSY);
      if ((rc = SettleIntentBeside(data_file, busy_ms)) != SQLITE_OK) return fail(rc);
    }
    if (folders.insert(std::filesystem::path(data_file).parent_path().string()).second)
      folders_of.push_back(data_file);
  }
  for (const std::string& file : folders_of) {
    if ((rc = SyncFolderOf(file)) != SQLITE_OK) return fail(rc);
  }
  // The records beside the other files first, the primary's last: a primary's record that can
  // be read means every file's record is on the disk.
  const std::string bytes = EncodeIntent(intent);
  for (std::size_t n = 1; n <= changed.size(); ++n) {
    if ((rc = records[n % changed.size()].Write(bytes)) != SQLITE_OK) return fail(rc);
  }

  for (const auto& member : changed) {
    if ((rc = member->Commit()) != SQLITE_OK) break;
  }
  if (rc == SQLITE_OK) {
    for (const auto& member : unchanged) member->Commit();
    // Cleared, the primary's record says the transaction is done.
    rc = records[0].Clear();
    if (rc == SQLITE_OK) {
      for (std::size_t i = 1; i < records.size(); ++i) records[i].Remove();
      records[0].Remove();
      return SQLITE_OK;
    }
  }
  RollbackAll(members);
  // Undone now when the disk allows it; else the records stay for whoever opens or writes one
  // of the files next.
  if (UndoMembers(intent, busy_ms) == SQLITE_OK && records[0].Clear() == SQLITE_OK) {
    for (IntentFile& record : records) record.Remove();
  }
  return rc;
}

}  // namespace vx::storage
