#include "runtime/storage/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <mutex>
#include <unordered_map>

#include "runtime/shared_memo.h"
#include "runtime/storage/data_file_check.h"
#include "runtime/storage/file_internal.h"
#include "runtime/storage/open_burst.h"
#include "runtime/storage/record_codec.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/storage/stored_name.h"
#include "runtime/storage/table_backend.h"

namespace vx::storage {

namespace {

std::mutex registry_mutex;
std::unordered_map<const TableDef*, std::unique_ptr<File>>& Registry() {
  static auto* files = new std::unordered_map<const TableDef*, std::unique_ptr<File>>();
  return *files;
}

}  // namespace

File::File(const TableDef& def) : def_(def) {}
FileThreadState& File::state() const { return state_.get(); }
File::~File() = default;

File& File::For(const TableDef& def) {
  std::lock_guard<std::mutex> lock(registry_mutex);
  auto& slot = Registry()[&def];
  if (!slot) slot = std::make_unique<File>(def);
  return *slot;
}

std::string File::Name() const {
  if (TableBackend* b = Backend()) return b->Name();
  const FileThreadState& s = state();
  return s.name.empty() ? def_.StoredName() : s.name;
}

bool File::IsOpen() const {
  if (TableBackend* b = Backend()) return b->IsOpen();
  return state().open;
}

int File::KeyIndex(const KeyDef& key) const {
  for (std::size_t i = 0; i < def_.keys.size(); ++i) {
    if (&def_.keys[i] == &key || def_.keys[i].name == key.name) return static_cast<int>(i);
  }
  return -1;
}

const std::vector<std::vector<int>>& File::KeyFieldIndexes() const {
  std::call_once(key_fields_once_, [this] {
    FileThreadState scratch;
    const FileOps ops{*this, scratch, def_};
    for (const KeyDef& key : def_.keys) key_fields_.push_back(ops.Components(key));
  });
  return key_fields_;
}

int File::LockWaitMs() const {
  return std::atomic_ref<int>(const_cast<int&>(lock_wait_ms_)).load(std::memory_order_relaxed);
}

void File::SetLockWaitSeconds(int seconds) {
  std::atomic_ref<int>(lock_wait_ms_).store(std::max(0, seconds) * 1000, std::memory_order_relaxed);
}

std::string File::Send(const std::string& command) {
  const std::string_view text(command);
  const auto eq = text.find('=');
  const std::string_view name = text.substr(0, eq);
  if (SameNoCase(name, "Recover") && eq != std::string_view::npos) {
    SetLockWaitSeconds(std::atoi(std::string(text.substr(eq + 1)).c_str()));
  }
  // QUICKSCAN and other read hints change nothing here: reads are already batched.
  return {};
}

namespace {

// `path` made canonical: an existing file is resolved by the system in one call; a name
// without a file yet (a table to create) is made canonical as far as its folders go. `keep`:
// the answer holds for the rest of an open burst.
std::string MakeCanonical(const std::string& path, bool& keep) {
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {
    std::string canonical(resolved);
    std::free(resolved);
    return canonical;
  }
  std::error_code ec;
  const auto canonical = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
  keep = !ec;
  return ec ? path : canonical.string();
}

const std::string& CanonicalPath(const std::string& path, bool* kept = nullptr) {
  // Within an open burst a path is made canonical once: each table of a tree would otherwise
  // walk the same folders again. Names in other letter cases that resolve to one file share it.
  static BurstMemo<std::string> memo;
  return memo.Get(path, MakeCanonical, kept);
}

// The file on disk a stored file name stands for and its canonical path, or the errno of the
// stat that did not find it (`canonical` then empty).
struct OnDisk {
  std::string path;
  std::string canonical;
  int error = 0;
};

// Within an open burst the tables that share a stored file name find their file once: the
// name resolved on disk, found there and made canonical. A name that stands for no file now
// is looked up again at the next open, as ResolveOnDisk does.
const OnDisk& FindOnDisk(const std::string& stored_path) {
  static BurstMemo<OnDisk> memo;
  return memo.Get(stored_path, [](const std::string& name, bool& keep) {
    ResolvedName resolved = ResolveName(name);
    if (resolved.error == ResolvedName::kNotChecked) {
      // An entry found under another spelling: the file is known to be there when this burst
      // resolved that spelling itself, else it is looked at now.
      const ResolvedName entry = ResolveName(resolved.path);
      struct stat st {};
      if (entry.path == resolved.path && entry.error == 0) {
        resolved.error = 0;
      } else {
        resolved.error = ::stat(resolved.path.c_str(), &st) == 0 ? 0 : errno;
      }
    }
    OnDisk found;
    found.path = std::move(resolved.path);
    found.error = resolved.error;
    if (found.error != 0) {
      keep = false;
      return found;
    }
    found.canonical = CanonicalPath(found.path, &keep);
    return found;
  });
}

// A table's columns: name and declared type, in order.
using Columns = std::vector<std::pair<std::string, std::string>>;

SharedMemo<std::string, Columns>& ColumnsBySql() {
  static auto& columns = *new SharedMemo<std::string, Columns>(1024);
  return columns;
}

// A table's columns follow from the statement that made it alone, so they are read once per
// statement text. Only a plain table's: a virtual table's come from its module.
bool LearnableSql(const std::string& sql) { return sql.rfind("CREATE TABLE ", 0) == 0; }

std::shared_ptr<const Columns> KnownColumns(const std::string& sql) {
  if (!LearnableSql(sql)) return nullptr;
  return ColumnsBySql().Find(sql);
}

// The columns read for the statement `sql`, kept for the process when they can be learnt.
std::shared_ptr<const Columns> LearnColumns(const std::string& sql, Columns columns) {
  if (!LearnableSql(sql) || columns.empty())
    return std::make_shared<const Columns>(std::move(columns));
  return ColumnsBySql().Keep(sql, std::move(columns));
}

}  // namespace

// Connects this thread to the table's data file as it is named now, into a fresh state (not
// yet marked open). `create` makes a missing file.
int File::Connect(bool create, bool read_only, FileThreadState* out) const {
  std::string display = def_.StoredName();
  const StoredName stored = ParseStoredName(display, def_.driver);
  std::string path = ResolveOnDisk(stored.path);
  const std::string& canonical = CanonicalPath(path);
  return Connect(stored, std::move(display), std::move(path), canonical, create, read_only, out);
}

// The same for the stored name `display` (parsed: `stored`), found to stand for the file
// `path`, whose canonical path is `canonical`.
int File::Connect(const StoredName& stored, std::string display, std::string path,
                  const std::string& canonical, bool create, bool read_only,
                  FileThreadState* out) const {
  out->name = std::move(display);
  out->path = std::move(path);
  out->table = stored.table.empty() ? "UNNAMED" : stored.table;
  out->read_only = read_only;
  const int rc = OpenConnection(canonical, create, read_only, LockWaitMs(), &out->conn);
  if (rc != SQLITE_OK) return Fail(rc, out->name, nullptr);
  out->read_only = read_only || out->conn->read_only();
  out->conn->SetBusyMilliseconds(LockWaitMs());
  return kNoError;
}

int File::Open(int mode) {
  if (TableBackend* b = Backend()) return b->Open(mode);
  FileThreadState& s = state();
  std::string display = def_.StoredName();
  const StoredName stored = ParseStoredName(display, def_.driver);
  if (s.open) return Code(kAlreadyOpen, s.name);

  const bool read_only = (mode & 0x0f) == 0;
  // Found on disk by this burst or just now; an open outside a burst looks again each time.
  const OnDisk& on_disk = FindOnDisk(stored.path);
  if (on_disk.error != 0)
    return Code(on_disk.error == EACCES ? kAccessDenied : kFileNotFound, display);
  std::string path = on_disk.path;

  if (IsTextDriver(def_.driver)) {
    if (::access(path.c_str(), read_only ? R_OK : R_OK | W_OK) != 0)
      return Code(kAccessDenied, display);
    s = FileThreadState{};
    s.open = true;
    s.read_only = read_only;
    s.name = display;
    s.path = path;
    return Ok();
  }

  FileThreadState fresh;
  if (const int code =
          Connect(stored, display, std::move(path), on_disk.canonical, false, read_only, &fresh);
      code != kNoError)
    return code;
  Connection* conn = fresh.conn.get();
  int rc = SQLITE_OK;
  FileOps ops{*this, fresh, def_};
  if (const int code = ops.Use(); code != kNoError) return code;

  // A connection kept from an earlier open has checked the table already, unless the schema
  // changed since.
  if (conn->Checked(state_.id(), fresh.table)) {
    fresh.open = true;
    s = std::move(fresh);
    return Ok();
  }

  // The table must exist and have the columns of the definition, in order, with their types.
  // The columns SQLite gives the statement that made the table are learnt once for the
  // process, whichever connection or file it was read through.
  const std::string* table_sql = nullptr;
  rc = conn->TableSql(fresh.table, &table_sql);
  if (rc != SQLITE_OK) return Fail(rc, display, conn->db());
  std::shared_ptr<const Columns> columns = table_sql ? KnownColumns(*table_sql) : nullptr;
  if (!columns) {
    // The columns and the statement are read by one query, so both come from one schema.
    sqlite3_stmt* info = conn->Prepare(
        "SELECT name, type, (SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1 "
        "COLLATE NOCASE) FROM pragma_table_info(?1, 'main')");
    if (!info) return Fail(sqlite3_errcode(conn->db()), display, conn->db());
    Columns read;
    std::string made_by;
    {
      StatementReset reset(info);
      sqlite3_bind_text(info, 1, fresh.table.c_str(), static_cast<int>(fresh.table.size()),
                        SQLITE_STATIC);
      while ((rc = sqlite3_step(info)) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(info, 0));
        const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(info, 1));
        const auto* sql = reinterpret_cast<const char*>(sqlite3_column_text(info, 2));
        read.emplace_back(name ? name : "", type ? type : "");
        if (sql) made_by = sql;
      }
    }
    if (rc != SQLITE_DONE) return Fail(rc, display, conn->db());
    columns = LearnColumns(made_by, std::move(read));
  }
  if (columns->empty()) return Code(kFileNotFound, display);
  bool differs = columns->size() != def_.fields.size();
  for (std::size_t i = 0; !differs && i < columns->size(); ++i) {
    differs = !SameNoCase((*columns)[i].first, def_.fields[i].name) ||
              !SameNoCase((*columns)[i].second, ColumnType(def_.fields[i]));
  }
  if (differs) return Code(kBadStructure, display);

  // Every key must be there as the definition makes it.
  for (const KeyDef& key : def_.keys) {
    const std::string* sql = nullptr;
    rc = conn->IndexSql(fresh.table + "!" + key.name, &sql);
    if (rc != SQLITE_OK) return Fail(rc, display, conn->db());
    if (!sql || ops.CreateIndexSql(key) != *sql) return Code(kBadKey, display);
  }

  conn->MarkChecked(state_.id(), fresh.table);
  fresh.open = true;
  s = std::move(fresh);
  return Ok();
}

bool DataFileReadOnly(const TableDef& def) {
  if (InstalledTableStore() && !IsTextDriver(def.driver)) return false;
  return CannotBeWritten(ResolveOnDisk(ParseStoredName(def.StoredName(), def.driver).path));
}

bool File::ReadOnly() const {
  if (TableBackend* b = Backend()) return b->ReadOnly();
  const FileThreadState& s = state();
  return s.open && s.read_only;
}

int File::Create() {
  if (TableBackend* b = Backend()) return b->Create();
  const StoredName stored = ParseStoredName(def_.StoredName(), def_.driver);
  const std::string display = def_.StoredName();
  const std::string path = ResolveOnDisk(stored.path);

  if (IsTextDriver(def_.driver)) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    // Only a missing folder is "not found"; a read-only disk or a refused folder is a refusal.
    if (fd < 0)
      return Code(errno == ENOENT || errno == ENOTDIR ? kFileNotFound : kAccessDenied, display);
    ::close(fd);
    return Ok();
  }

  FileThreadState work;
  if (const int code = Connect(true, false, &work); code != kNoError) return code;
  Connection* conn = work.conn.get();
  int rc = SQLITE_OK;
  FileOps ops{*this, work, def_};
  const bool own_txn = !conn->in_transaction();
  if (own_txn && (rc = conn->Exec("BEGIN IMMEDIATE")) != SQLITE_OK)
    return Fail(rc, display, conn->db());
  rc = conn->Exec(("DROP TABLE IF EXISTS " + Quote(work.table)).c_str());
  if (rc == SQLITE_OK) rc = conn->Exec(ops.CreateTableSql().c_str());
  for (const KeyDef& key : def_.keys) {
    if (rc == SQLITE_OK) rc = conn->Exec(ops.CreateIndexSql(key).c_str());
  }
  // The file is marked as ours with its first table (a table without keys would not show it).
  const std::string mark = "PRAGMA application_id=" + std::to_string(kDataFileApplicationId);
  if (rc == SQLITE_OK) rc = conn->Exec(mark.c_str());
  if (rc != SQLITE_OK) {
    const int code = Fail(rc, display, conn->db());
    if (own_txn) conn->Exec("ROLLBACK");
    return code;
  }
  if (own_txn && (rc = conn->Exec("COMMIT")) != SQLITE_OK) {
    const int code = Fail(rc, display, conn->db());
    conn->Exec("ROLLBACK");
    return code;
  }
  conn->Touch();
  return Ok();
}

int File::Close() {
  if (TableBackend* b = Backend()) return b->Close();
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  int code = kNoError;
  if (s.conn && s.streaming) {
    s.conn->RemoveStreamer();
    const int rc = s.conn->FlushStream();
    if (rc != SQLITE_OK) code = Fail(rc, s.name, s.conn->db());
  }
  CloseCursor(s);
  s = FileThreadState{};
  return code == kNoError ? Ok() : code;
}

namespace {

void StartWalk(FileThreadState& s, int key) {
  CloseCursor(s);
  s.batched = false;
  s.key = key;
  s.anchor = kStart;
  s.anchor_id = 0;
  s.filter = -1;
  s.equal_fields.clear();
  s.ahead_ids.clear();
  s.ahead_pos = 0;
  s.text_loaded = false;
  s.text_pos = 0;
}

}  // namespace

int File::Set() {
  if (TableBackend* b = Backend()) return b->Set(-1);
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  StartWalk(s, -1);
  return Ok();
}

int File::Set(const KeyDef& key) {
  if (TableBackend* b = Backend()) return b->Set(KeyIndex(key));
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  StartWalk(s, KeyIndex(key));
  return Ok();
}

int File::SetFromBuffer(const KeyDef& key) {
  if (TableBackend* b = Backend()) return b->SetFromBuffer(KeyIndex(key));
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  StartWalk(s, KeyIndex(key));
  s.anchor = kValues;
  const char* buffer = static_cast<const char*>(def_.buffer());
  s.anchor_record.assign(buffer, buffer + def_.record_size);
  return Ok();
}

int File::SetEqual(const KeyDef& key, const std::vector<int>& fields) {
  if (TableBackend* b = Backend()) return b->SetEqual(KeyIndex(key), fields);
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  StartWalk(s, KeyIndex(key));
  auto it = std::find(s.filters.begin(), s.filters.end(), fields);
  if (it == s.filters.end()) it = s.filters.insert(s.filters.end(), fields);
  s.filter = static_cast<int>(it - s.filters.begin());
  s.equal_fields = fields;
  const char* buffer = static_cast<const char*>(def_.buffer());
  s.equal_record.assign(buffer, buffer + def_.record_size);
  return Ok();
}

namespace {

// How the queries of one read of a walk run (see FileOps::WalkSql). From the start: one.
// From a record: the records with the same key beyond its id (level n), then those with a
// greater key, by one row-value search where the key allows it, else level by level down to
// the first component. From the buffer's values: the row-value search alone, else the levels.
struct WalkPlan {
  int top = -1;
  int bottom = -1;
  bool row_value = false;
  int After(int level) const {
    if (level <= bottom) return kNoLevel;
    return row_value ? kRowValueLevel : level - 1;
  }
};

WalkPlan PlanWalk(FileOps& ops) {
  const FileThreadState& s = ops.s;
  WalkPlan plan;
  if (s.anchor == kStart) return plan;
  plan.row_value = ops.RowValueWalk(s.key);
  if (plan.row_value) {
    plan.top = s.anchor == kValues ? kRowValueLevel : static_cast<int>(ops.KeyFields(s.key).size());
    plan.bottom = kRowValueLevel;
  } else {
    plan.top = s.key < 0 ? 0 : static_cast<int>(ops.KeyFields(s.key).size());
    plan.bottom = 0;
  }
  return plan;
}

// Binds a walk query of `level` from where the walk stands, and `limit` rows (-1: all).
void BindWalk(FileOps& ops, sqlite3_stmt* stmt, int level, bool back, std::int64_t limit) {
  const FileThreadState& s = ops.s;
  const TableDef& def = ops.def;
  static const std::vector<int> kNoFields;
  const std::vector<int>& comps = s.key < 0 ? kNoFields : ops.KeyFields(s.key);
  const int n = static_cast<int>(comps.size());
  const char* anchor = s.anchor_record.data();
  const auto field = [&](int i) -> const FieldDef& {
    return def.fields[static_cast<std::size_t>(comps[static_cast<std::size_t>(i)])];
  };
  std::int64_t id_bound = s.anchor_id;
  if (s.anchor == kValues)
    id_bound =
        back ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
  if (s.anchor == kAtRecord) id_bound = back ? s.anchor_id + 1 : s.anchor_id - 1;
  int param = 1;
  if (level == kRowValueLevel) {
    // Beyond a record's key: at or beyond the key's next value, every component a number.
    for (int i = 0; i < n; ++i) {
      if (i + 1 < n || s.anchor == kValues) {
        BindField(stmt, param++, field(i), anchor);
      } else {
        sqlite3_bind_int64(stmt, param++, FieldInteger(field(i), anchor) + (back ? -1 : 1));
      }
    }
  } else if (level >= 0) {
    if (s.key < 0) {
      sqlite3_bind_int64(stmt, param++, id_bound);
    } else {
      for (int i = 0; i < level && i < n; ++i) BindField(stmt, param++, field(i), anchor);
      if (level < n) {
        BindField(stmt, param++, field(level), anchor);
      } else {
        sqlite3_bind_int64(stmt, param++, id_bound);
      }
    }
  }
  for (int f : s.equal_fields)
    BindField(stmt, param++, def.fields[static_cast<std::size_t>(f)], s.equal_record.data());
  sqlite3_bind_int64(stmt, param, limit);
}

// Makes the record in the buffer, with this id, the walk's current record.
void TakeCurrent(FileThreadState& s, const TableDef& def, std::int64_t id) {
  s.current = id;
  s.anchor = kRecord;
  s.anchor_id = id;
  const char* buffer = static_cast<const char*>(def.buffer());
  s.anchor_record.assign(buffer, buffer + def.record_size);
}

int PastEnd(FileThreadState& s, int dir) {
  s.current = 0;
  s.anchor = dir > 0 ? kPastEndForward : kPastEndBackward;
  return Code(kNoRecord, s.name);
}

// Reads the next record of the walk's open query into the buffer, going on to the queries
// after it when it has no more; the one that gives a record stays open for the next read.
int ReadCursor(FileOps& ops, int dir) {
  FileThreadState& s = ops.s;
  int rc = sqlite3_step(s.cursor);
  while (rc == SQLITE_DONE) {
    const int level = WalkPlan{0, s.cursor_bottom, s.cursor_row_value}.After(s.cursor_level);
    CloseCursor(s);
    if (level == kNoLevel) return PastEnd(s, dir);
    sqlite3_stmt* stmt = ops.Statement({kWalk, s.key, level, dir < 0 ? 1 : 0, s.filter});
    if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
    BindWalk(ops, stmt, level, dir < 0, -1);
    s.cursor = stmt;
    s.cursor_level = level;
    s.conn->KeepCursor(stmt);
    rc = sqlite3_step(stmt);
  }
  if (rc != SQLITE_ROW) {
    const int code = Fail(rc, s.name, s.conn->db());
    CloseCursor(s);
    return code;
  }
  std::int64_t id = 0;
  ops.ReadRow(s.cursor, static_cast<char*>(ops.def.buffer()), &id);
  TakeCurrent(s, ops.def, id);
  return Ok();
}

// Opens the walk's first query for a read in direction `dir` and reads its first record.
int OpenCursor(FileOps& ops, int dir, std::uint64_t generation) {
  FileThreadState& s = ops.s;
  const WalkPlan plan = PlanWalk(ops);
  sqlite3_stmt* stmt = ops.Statement({kWalk, s.key, plan.top, dir < 0 ? 1 : 0, s.filter});
  if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
  BindWalk(ops, stmt, plan.top, dir < 0, -1);
  s.cursor = stmt;
  s.cursor_level = plan.top;
  s.cursor_bottom = plan.bottom;
  s.cursor_row_value = plan.row_value;
  s.cursor_dir = dir;
  s.cursor_epoch = s.conn->cursor_epoch();
  s.cursor_generation = generation;
  s.conn->KeepCursor(stmt);
  // Where several queries may run before a record comes, they share one read lock; the one
  // that stays open keeps its read after the commit.
  const bool own_read = plan.After(plan.top) != kNoLevel && s.conn->BeginRead();
  const int code = ReadCursor(ops, dir);
  if (own_read) s.conn->EndRead();
  return code;
}

// Reads up to s.batch rows of the walk into s.ahead, each query reset after it.
int ReadBatch(FileOps& ops, int dir) {
  FileThreadState& s = ops.s;
  const TableDef& def = ops.def;
  const WalkPlan plan = PlanWalk(ops);
  // Several queries read in one transaction: one read lock, and one state of the file.
  const bool own_read = plan.After(plan.top) != kNoLevel && s.conn->BeginRead();
  int rc = SQLITE_DONE;
  for (int level = plan.top; level != kNoLevel && s.ahead_ids.size() < s.batch;
       level = plan.After(level)) {
    sqlite3_stmt* stmt = ops.Statement({kWalk, s.key, level, dir < 0 ? 1 : 0, s.filter});
    if (!stmt) {
      rc = sqlite3_errcode(s.conn->db());
      break;
    }
    StatementReset reset(stmt);
    BindWalk(ops, stmt, level, dir < 0, static_cast<std::int64_t>(s.batch - s.ahead_ids.size()));
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      std::int64_t id = 0;
      ops.ReadRow(stmt, s.ahead.data() + s.ahead_ids.size() * def.record_size, &id);
      s.ahead_ids.push_back(id);
    }
    if (rc != SQLITE_DONE) break;
  }
  const int code = rc == SQLITE_DONE ? kNoError : Fail(rc, s.name, s.conn->db());
  if (own_read) s.conn->EndRead();
  if (code != kNoError) s.ahead_ids.clear();
  return code;
}

int Step(const File& file, FileThreadState& s, const TableDef& def, int dir) {
  if (!s.open) return Code(kNotOpen, file.Name());
  if (IsTextDriver(def.driver)) {
    if (dir < 0) return Code(kNoRecord, s.name);  // text files are read forward only
    return TextNext(def, s);
  }
  if (s.anchor == (dir > 0 ? kPastEndForward : kPastEndBackward)) return Code(kNoRecord, s.name);
  if (s.anchor == kPastEndForward || s.anchor == kPastEndBackward) {
    s.anchor = kStart;
    s.ahead_ids.clear();
    s.ahead_pos = 0;
  }
  FileOps ops{file, s, def};
  const std::uint64_t generation = s.conn->generation();

  // A walk reads through one query left open from read to read, a record at a time: the
  // first record costs one row, and a walk that goes on costs no further query or read lock.
  // The query goes when anything else uses the file; the walk then reads batches, one row
  // first after a write, else kFirstBatch rows and twice as many at each read.
  if (s.cursor) {
    if (s.cursor_epoch == s.conn->cursor_epoch() && s.cursor_generation == generation &&
        s.cursor_dir == dir) {
      return ReadCursor(ops, dir);
    }
    if (s.cursor_epoch != s.conn->cursor_epoch()) s.batched = true;
    CloseCursor(s);
  }
  const bool have_ahead =
      s.ahead_pos < s.ahead_ids.size() && s.ahead_dir == dir && s.ahead_generation == generation;
  if (!have_ahead) {
    if (const int code = ops.Use(); code != kNoError) return code;
    if (!s.batched) {
      s.ahead_ids.clear();
      s.ahead_pos = 0;
      return OpenCursor(ops, dir, generation);
    }
    const bool continuing = s.ahead_dir == dir && s.ahead_pos == s.ahead_ids.size() &&
                            !s.ahead_ids.empty() && s.ahead_generation == generation;
    const std::size_t cap = std::max<std::size_t>(
        1, std::min(kMaxBatch, kMaxBatchBytes / std::max<std::size_t>(1, def.record_size)));
    s.batch = !continuing ? 1 : std::min(cap, s.batch <= 1 ? kFirstBatch : s.batch * 2);
    if (s.ahead.size() < s.batch * def.record_size) s.ahead.resize(s.batch * def.record_size);
    s.ahead_ids.clear();
    s.ahead_pos = 0;
    s.ahead_dir = dir;
    s.ahead_generation = generation;
    if (const int code = ReadBatch(ops, dir); code != kNoError) return code;
    if (s.ahead_ids.empty()) return PastEnd(s, dir);
  }

  const char* row = s.ahead.data() + s.ahead_pos * def.record_size;
  std::memcpy(def.buffer(), row, def.record_size);
  TakeCurrent(s, def, s.ahead_ids[s.ahead_pos]);
  ++s.ahead_pos;
  return Ok();
}

}  // namespace

int File::Next() {
  if (TableBackend* b = Backend()) return b->Next();
  return Step(*this, state(), def_, +1);
}
int File::Previous() {
  if (TableBackend* b = Backend()) return b->Previous();
  return Step(*this, state(), def_, -1);
}

namespace {

// Puts a record read by a single-row statement into the buffer and makes it current; the walk
// goes on from it.
int TakeRow(FileOps& ops, sqlite3_stmt* stmt) {
  FileThreadState& s = ops.s;
  const int rc = sqlite3_step(stmt);
  // A failed read leaves no current record, so a PUT or DELETE after it cannot hit the record
  // read before.
  if (rc == SQLITE_DONE) {
    s.current = 0;
    return Code(kRecordNotFound, s.name);
  }
  if (rc != SQLITE_ROW) return Fail(rc, s.name, s.conn->db());
  char* buffer = static_cast<char*>(ops.def.buffer());
  std::int64_t id = 0;
  ops.ReadRow(stmt, buffer, &id);
  CloseCursor(s);
  s.batched = false;
  TakeCurrent(s, ops.def, id);
  s.ahead_ids.clear();
  s.ahead_pos = 0;
  return Ok();
}

}  // namespace

int File::Get(const KeyDef& key) {
  if (TableBackend* b = Backend()) return b->Get(KeyIndex(key));
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  if (IsTextDriver(def_.driver)) return Code(kRecordNotFound, s.name);
  const int k = KeyIndex(key);
  FileOps ops{*this, s, def_};
  if (const int code = ops.Use(); code != kNoError) return code;
  sqlite3_stmt* stmt = ops.Statement({kGetByKey, k, 0, 0, -1});
  if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
  StatementReset reset(stmt);
  const char* buffer = static_cast<const char*>(def_.buffer());
  int param = 1;
  for (int f : ops.KeyFields(k))
    BindField(stmt, param++, def_.fields[static_cast<std::size_t>(f)], buffer);
  return TakeRow(ops, stmt);
}

int File::GetPosition(std::int64_t position) {
  if (TableBackend* b = Backend()) return b->GetPosition(position);
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  if (IsTextDriver(def_.driver)) {
    s.text_loaded = false;
    s.text_pos = position > 0 ? static_cast<std::size_t>(position - 1) : 0;
    const int code = TextNext(def_, s);
    return code == kNoRecord ? Code(kRecordNotFound, s.name) : code;
  }
  FileOps ops{*this, s, def_};
  if (const int code = ops.Use(); code != kNoError) return code;
  sqlite3_stmt* stmt = ops.Statement({kGetById, -1, 0, 0, -1});
  if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
  StatementReset reset(stmt);
  sqlite3_bind_int64(stmt, 1, position);
  return TakeRow(ops, stmt);
}

int File::Reset(const KeyDef* key, std::int64_t position) {
  if (TableBackend* b = Backend()) return b->Reset(key ? KeyIndex(*key) : -1, position);
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  std::vector<char> buffer(static_cast<const char*>(def_.buffer()),
                           static_cast<const char*>(def_.buffer()) + def_.record_size);
  const int code = GetPosition(position);
  if (code != kNoError) return code;
  if (IsTextDriver(def_.driver)) {
    s.text_pos = static_cast<std::size_t>(position - 1);
  } else {
    s.key = key ? KeyIndex(*key) : -1;
    s.filter = -1;
    s.equal_fields.clear();
    s.anchor = kAtRecord;
  }
  std::memcpy(def_.buffer(), buffer.data(), buffer.size());
  return Ok();
}

std::int64_t File::Position() const {
  if (TableBackend* b = Backend()) return b->Position();
  return state().open ? state().current : 0;
}

namespace {

// After a write refused with 40, finds the unique key that holds the buffer's values already.
int FindDuplicateKey(FileOps& ops, std::int64_t except_id) {
  FileThreadState& s = ops.s;
  const char* buffer = static_cast<const char*>(ops.def.buffer());
  for (std::size_t k = 0; k < ops.def.keys.size(); ++k) {
    const KeyDef& key = ops.def.keys[k];
    if (key.kind == KeyKind::Duplicates) continue;
    sqlite3_stmt* stmt = ops.Statement({kGetByKey, static_cast<int>(k), 0, 0, -1});
    if (!stmt) continue;
    StatementReset reset(stmt);
    int param = 1;
    for (int f : ops.KeyFields(static_cast<int>(k)))
      BindField(stmt, param++, ops.def.fields[static_cast<std::size_t>(f)], buffer);
    if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_int64(stmt, 0) != except_id)
      return static_cast<int>(k);
  }
  (void)s;
  return -1;
}

// Runs one write statement with the thread's transaction and stream rules.
int Write(FileOps& ops, sqlite3_stmt* stmt, std::int64_t except_id) {
  FileThreadState& s = ops.s;
  StatementReset reset(stmt);
  s.conn->SetBusyMilliseconds(ops.file.LockWaitMs());
  int rc = s.conn->BeforeWrite(s.streaming);
  if (rc != SQLITE_OK) return Fail(rc, s.name, s.conn->db());
  rc = sqlite3_step(stmt);
  if (rc != SQLITE_DONE) {
    const int code = Fail(rc, s.name, s.conn->db());
    sqlite3_reset(stmt);
    if (code == kDuplicateKey) {
      const int saved_driver = FILEERRORCODE();
      const std::string saved_text = FILEERROR();
      s.duplicate_key = FindDuplicateKey(ops, except_id);
      SetError(code, s.name, saved_driver, saved_text);
    }
    s.conn->Touch();
    return code;
  }
  rc = s.conn->AfterWrite(s.streaming);
  if (rc != SQLITE_OK) return Fail(rc, s.name, s.conn->db());
  return Ok();
}

}  // namespace

int File::Add() {
  if (TableBackend* b = Backend()) return b->Add();
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  s.duplicate_key = -1;
  if (IsTextDriver(def_.driver)) return TextAdd(def_, s);
  if (s.read_only) return Code(kAccessDenied, s.name);
  FileOps ops{*this, s, def_};
  sqlite3_stmt* stmt = ops.Statement({kInsert, -1, 0, 0, -1});
  if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
  const char* buffer = static_cast<const char*>(def_.buffer());
  for (std::size_t i = 0; i < def_.fields.size(); ++i)
    BindField(stmt, static_cast<int>(i) + 1, def_.fields[i], buffer);
  const int code = Write(ops, stmt, 0);
  if (code == kNoError) s.current = sqlite3_last_insert_rowid(s.conn->db());
  return code;
}

int File::Put() {
  if (TableBackend* b = Backend()) return b->Put();
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  s.duplicate_key = -1;
  if (IsTextDriver(def_.driver)) return Code(kAccessDenied, s.name);
  if (s.read_only) return Code(kAccessDenied, s.name);
  if (s.current == 0) return Code(kNoRecord, s.name);
  FileOps ops{*this, s, def_};
  sqlite3_stmt* stmt = ops.Statement({kUpdate, -1, 0, 0, -1});
  if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
  const char* buffer = static_cast<const char*>(def_.buffer());
  const int n = static_cast<int>(def_.fields.size());
  for (int i = 0; i < n; ++i)
    BindField(stmt, i + 1, def_.fields[static_cast<std::size_t>(i)], buffer);
  sqlite3_bind_int64(stmt, n + 1, s.current);
  const int code = Write(ops, stmt, s.current);
  if (code == kNoError && sqlite3_changes(s.conn->db()) == 0) return Code(kRecordNotFound, s.name);
  return code;
}

int File::Delete() {
  if (TableBackend* b = Backend()) return b->Delete();
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  if (IsTextDriver(def_.driver)) return Code(kAccessDenied, s.name);
  if (s.read_only) return Code(kAccessDenied, s.name);
  if (s.current == 0) return Code(kNoRecord, s.name);
  FileOps ops{*this, s, def_};
  sqlite3_stmt* stmt = ops.Statement({kDeleteById, -1, 0, 0, -1});
  if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
  sqlite3_bind_int64(stmt, 1, s.current);
  const int code = Write(ops, stmt, 0);
  if (code != kNoError) return code;
  const bool gone = sqlite3_changes(s.conn->db()) > 0;
  s.current = 0;  // the walk's anchor keeps its place, so NEXT reads the record after it
  return gone ? code : Code(kRecordNotFound, s.name);
}

std::int64_t File::Records() {
  if (TableBackend* b = Backend()) return b->Records();
  FileThreadState& s = state();
  if (!s.open) {
    Code(kNotOpen, Name());
    return 0;
  }
  if (IsTextDriver(def_.driver)) {
    FileThreadState scan;
    scan.open = true;
    scan.path = s.path;
    scan.name = s.name;
    // Counting reads the records into a scratch copy of the buffer, not the caller's.
    std::vector<char> saved(static_cast<const char*>(def_.buffer()),
                            static_cast<const char*>(def_.buffer()) + def_.record_size);
    std::int64_t count = 0;
    while (TextNext(def_, scan) == kNoError) ++count;
    std::memcpy(def_.buffer(), saved.data(), def_.record_size);
    Ok();
    return count;
  }
  FileOps ops{*this, s, def_};
  if (ops.Use() != kNoError) return 0;
  sqlite3_stmt* stmt = ops.Statement({kCount, -1, 0, 0, -1});
  if (!stmt) {
    Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
    return 0;
  }
  StatementReset reset(stmt);
  const int rc = sqlite3_step(stmt);
  if (rc != SQLITE_ROW) {
    Fail(rc, s.name, s.conn->db());
    return 0;
  }
  Ok();
  return sqlite3_column_int64(stmt, 0);
}

int File::Stream() {
  if (TableBackend* b = Backend()) return b->Stream();
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  if (s.conn && !s.streaming) s.conn->AddStreamer();
  s.streaming = true;
  return Ok();
}

int File::Flush() {
  if (TableBackend* b = Backend()) return b->Flush();
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  if (s.conn && s.streaming) {
    s.conn->RemoveStreamer();
    s.streaming = false;
    const int rc = s.conn->FlushStream();
    if (rc != SQLITE_OK) return Fail(rc, s.name, s.conn->db());
  }
  s.streaming = false;
  return Ok();
}

int File::Build() {
  if (TableBackend* b = Backend()) return b->Build();
  {
    // Usually called on a file that could not be opened because of its keys.
    FileThreadState work;
    if (const int code = Connect(false, false, &work); code != kNoError) return code;
    Connection* conn = work.conn.get();
    FileOps ops{*this, work, def_};
    std::string sql = "BEGIN IMMEDIATE;";
    for (const KeyDef& key : def_.keys)
      sql += "DROP INDEX IF EXISTS " + ops.IndexName(key) + ";" + ops.CreateIndexSql(key) + ";";
    const int exec = conn->in_transaction() ? SQLITE_MISUSE : conn->Exec(sql.c_str());
    if (exec != SQLITE_OK) {
      const int code = Fail(exec, work.name, conn->db());
      conn->Exec("ROLLBACK");
      return code;
    }
    const int commit = conn->Exec("COMMIT");
    if (commit != SQLITE_OK) return Fail(commit, work.name, conn->db());
    conn->Touch();
    return Ok();
  }
}

int File::Empty() {
  if (TableBackend* b = Backend()) return b->Empty();
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  if (IsTextDriver(def_.driver)) {
    const int fd = ::open(s.path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return Code(kAccessDenied, s.name);
    ::close(fd);
    s.text_loaded = false;
    return Ok();
  }
  FileOps ops{*this, s, def_};
  sqlite3_stmt* stmt = s.conn->Prepare("DELETE FROM " + Quote(s.table));
  if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
  s.current = 0;
  return Write(ops, stmt, 0);
}

int File::AutoNumber(const KeyDef& key) {
  if (TableBackend* b = Backend()) return b->AutoNumber(KeyIndex(key));
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  const int k = KeyIndex(key);
  FileOps ops{*this, s, def_};
  const std::vector<int> comps = ops.Components(def_.keys[static_cast<std::size_t>(k)]);
  if (comps.empty() || comps.back() < 0 ||
      IsText(def_.fields[static_cast<std::size_t>(comps.back())].type)) {
    return Code(kDriverError, s.name);
  }
  if (const int code = ops.Use(); code != kNoError) return code;
  sqlite3_stmt* stmt = ops.Statement({kMaxLast, k, 0, 0, -1});
  if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
  StatementReset reset(stmt);
  char* buffer = static_cast<char*>(def_.buffer());
  for (std::size_t i = 0; i + 1 < comps.size(); ++i)
    BindField(stmt, static_cast<int>(i) + 1, def_.fields[static_cast<std::size_t>(comps[i])],
              buffer);
  const int rc = sqlite3_step(stmt);
  if (rc != SQLITE_ROW) return Fail(rc, s.name, s.conn->db());
  const std::int64_t next =
      sqlite3_column_type(stmt, 0) == SQLITE_NULL ? 1 : sqlite3_column_int64(stmt, 0) + 1;
  SetFieldInteger(def_.fields[static_cast<std::size_t>(comps.back())], buffer, next);
  return Ok();
}

const KeyDef* File::DuplicateKey() const {
  if (TableBackend* b = Backend()) {
    const int k = b->DuplicateKey();
    return k < 0 ? nullptr : &def_.keys[static_cast<std::size_t>(k)];
  }
  const int k = state().duplicate_key;
  return k < 0 ? nullptr : &def_.keys[static_cast<std::size_t>(k)];
}

FileState File::GetState() const {
  if (TableBackend* b = Backend()) return b->GetState();
  const FileThreadState& s = state();
  FileState out;
  out.key = s.key;
  out.anchor = s.anchor;
  out.anchor_id = s.anchor_id;
  out.anchor_record = s.anchor_record;
  out.equal_fields = s.equal_fields;
  out.equal_record = s.equal_record;
  out.current = s.current;
  const char* buffer = static_cast<const char*>(def_.buffer());
  out.buffer.assign(buffer, buffer + def_.record_size);
  out.text_pos = s.text_pos;
  return out;
}

void File::RestoreState(const FileState& st) {
  if (TableBackend* b = Backend()) return b->RestoreState(st);
  FileThreadState& s = state();
  s.key = st.key;
  s.anchor = st.anchor;
  s.anchor_id = st.anchor_id;
  s.anchor_record = st.anchor_record;
  s.equal_fields = st.equal_fields;
  s.equal_record = st.equal_record;
  s.filter = -1;
  if (!st.equal_fields.empty()) {
    auto it = std::find(s.filters.begin(), s.filters.end(), st.equal_fields);
    if (it == s.filters.end()) it = s.filters.insert(s.filters.end(), st.equal_fields);
    s.filter = static_cast<int>(it - s.filters.begin());
  }
  s.current = st.current;
  CloseCursor(s);
  s.batched = false;
  s.ahead_ids.clear();
  s.ahead_pos = 0;
  s.text_pos = st.text_pos;
  s.text_loaded = false;
  if (st.buffer.size() == def_.record_size)
    std::memcpy(def_.buffer(), st.buffer.data(), def_.record_size);
}

}  // namespace vx::storage
