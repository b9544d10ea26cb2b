#include "runtime/storage/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <mutex>
#include <unordered_map>

#include "runtime/storage/file_internal.h"
#include "runtime/storage/record_codec.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/storage/stored_name.h"

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
  const FileThreadState& s = state();
  return s.name.empty() ? def_.StoredName() : s.name;
}

bool File::IsOpen() const { return state().open; }

int File::KeyIndex(const KeyDef& key) const {
  for (std::size_t i = 0; i < def_.keys.size(); ++i) {
    if (&def_.keys[i] == &key || def_.keys[i].name == key.name) return static_cast<int>(i);
  }
  return -1;
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

std::string CanonicalPath(const std::string& path) {
  std::error_code ec;
  auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
  return ec ? path : p.string();
}

}  // namespace

// Connects this thread to the table's data file as it is named now, into a fresh state (not
// yet marked open). `create` makes a missing file.
int File::Connect(bool create, bool read_only, FileThreadState* out) const {
  const StoredName stored = ParseStoredName(def_.StoredName(), def_.driver);
  out->name = def_.StoredName();
  out->path = ResolveOnDisk(stored.path);
  out->table = stored.table.empty() ? "UNNAMED" : stored.table;
  out->read_only = read_only;
  const int rc = OpenConnection(CanonicalPath(out->path), create, read_only, LockWaitMs(), &out->conn);
  if (rc != SQLITE_OK) return Fail(rc, out->name, nullptr);
  out->read_only = read_only || out->conn->read_only();
  out->conn->SetBusyMilliseconds(LockWaitMs());
  return kNoError;
}

int File::Open(int mode) {
  FileThreadState& s = state();
  const StoredName stored = ParseStoredName(def_.StoredName(), def_.driver);
  const std::string display = def_.StoredName();
  if (s.open) return Code(kAlreadyOpen, s.name);

  const bool read_only = (mode & 0x0f) == 0;
  const std::string path = ResolveOnDisk(stored.path);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return Code(errno == EACCES ? kAccessDenied : kFileNotFound, display);

  if (IsTextDriver(def_.driver)) {
    if (::access(path.c_str(), read_only ? R_OK : R_OK | W_OK) != 0) return Code(kAccessDenied, display);
    s = FileThreadState{};
    s.open = true;
    s.read_only = read_only;
    s.name = display;
    s.path = path;
    return Ok();
  }

  FileThreadState fresh;
  if (const int code = Connect(false, read_only, &fresh); code != kNoError) return code;
  Connection* conn = fresh.conn.get();
  int rc = SQLITE_OK;
  FileOps ops{*this, fresh, def_};
  if (const int code = ops.Use(); code != kNoError) return code;

  // The table must exist and have the columns of the definition, in order, with their types.
  sqlite3_stmt* info = nullptr;
  rc = sqlite3_prepare_v2(conn->db(), ("PRAGMA table_info(" + Quote(fresh.table) + ")").c_str(), -1, &info, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(info);
    return Fail(rc, display, conn->db());
  }
  std::size_t column = 0;
  bool differs = false;
  while ((rc = sqlite3_step(info)) == SQLITE_ROW) {
    const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(info, 1));
    const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(info, 2));
    if (column >= def_.fields.size() || !SameNoCase(name, def_.fields[column].name) ||
        !SameNoCase(type, ColumnType(def_.fields[column]))) {
      differs = true;
    }
    ++column;
  }
  sqlite3_finalize(info);
  if (rc != SQLITE_DONE) return Fail(rc, display, conn->db());
  if (column == 0) return Code(kFileNotFound, display);
  if (differs || column != def_.fields.size()) return Code(kBadStructure, display);

  // Every key must be there as the definition makes it.
  for (const KeyDef& key : def_.keys) {
    sqlite3_stmt* q = conn->Prepare("SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?");
    if (!q) return Fail(sqlite3_errcode(conn->db()), display, conn->db());
    StatementReset reset(q);
    const std::string index_name = fresh.table + "!" + key.name;
    sqlite3_bind_text(q, 1, index_name.c_str(), -1, SQLITE_TRANSIENT);
    rc = sqlite3_step(q);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return Fail(rc, display, conn->db());
    const char* sql = rc == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(q, 0)) : nullptr;
    if (!sql || ops.CreateIndexSql(key) != sql) return Code(kBadKey, display);
  }

  fresh.open = true;
  s = std::move(fresh);
  return Ok();
}

bool DataFileReadOnly(const TableDef& def) {
  return CannotBeWritten(ResolveOnDisk(ParseStoredName(def.StoredName(), def.driver).path));
}

bool File::ReadOnly() const {
  const FileThreadState& s = state();
  return s.open && s.read_only;
}

int File::Create() {
  const StoredName stored = ParseStoredName(def_.StoredName(), def_.driver);
  const std::string display = def_.StoredName();
  const std::string path = ResolveOnDisk(stored.path);

  if (IsTextDriver(def_.driver)) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return Code(errno == EACCES ? kAccessDenied : kFileNotFound, display);
    ::close(fd);
    return Ok();
  }

  FileThreadState work;
  if (const int code = Connect(true, false, &work); code != kNoError) return code;
  Connection* conn = work.conn.get();
  int rc = SQLITE_OK;
  FileOps ops{*this, work, def_};
  const bool own_txn = !conn->in_transaction();
  if (own_txn && (rc = conn->Exec("BEGIN IMMEDIATE")) != SQLITE_OK) return Fail(rc, display, conn->db());
  rc = conn->Exec(("DROP TABLE IF EXISTS " + Quote(work.table)).c_str());
  if (rc == SQLITE_OK) rc = conn->Exec(ops.CreateTableSql().c_str());
  for (const KeyDef& key : def_.keys) {
    if (rc == SQLITE_OK) rc = conn->Exec(ops.CreateIndexSql(key).c_str());
  }
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
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  int code = kNoError;
  if (s.conn && s.streaming) {
    s.conn->RemoveStreamer();
    const int rc = s.conn->FlushStream();
    if (rc != SQLITE_OK) code = Fail(rc, s.name, s.conn->db());
  }
  s = FileThreadState{};
  return code == kNoError ? Ok() : code;
}

namespace {

void StartWalk(FileThreadState& s, int key) {
  // How far the last walk went predicts how far this one goes (a tick's check, a page of a
  // list, a report): the first reads ask for about that many rows.
  if (s.walked > 0) s.last_walk = s.walked;
  s.walked = 0;
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
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  StartWalk(s, -1);
  return Ok();
}

int File::Set(const KeyDef& key) {
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  StartWalk(s, KeyIndex(key));
  return Ok();
}

int File::SetFromBuffer(const KeyDef& key) {
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  StartWalk(s, KeyIndex(key));
  s.anchor = kValues;
  const char* buffer = static_cast<const char*>(def_.buffer());
  s.anchor_record.assign(buffer, buffer + def_.record_size);
  return Ok();
}

int File::SetEqual(const KeyDef& key, const std::vector<int>& fields) {
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
  const bool have_ahead = s.ahead_pos < s.ahead_ids.size() && s.ahead_dir == dir && s.ahead_generation == generation;
  if (!have_ahead) {
    if (const int code = ops.Use(); code != kNoError) return code;
    // Ask for as many rows as the last walk read beyond this point; past that, or without a
    // last walk, start small and double while the walk goes on in one direction.
    const bool continuing = s.ahead_dir == dir && s.ahead_pos == s.ahead_ids.size() && !s.ahead_ids.empty() &&
                            s.ahead_generation == generation;
    const std::size_t cap = std::max<std::size_t>(1, std::min(kMaxBatch, kMaxBatchBytes / std::max<std::size_t>(1, def.record_size)));
    const std::size_t predicted = s.last_walk > s.walked ? s.last_walk - s.walked : 0;
    const std::size_t grown = continuing ? s.batch * 2 : kFirstBatch;
    s.batch = std::min(cap, std::max(kFirstBatch, predicted > 0 ? predicted : grown));
    s.ahead.resize(s.batch * def.record_size);
    s.ahead_ids.clear();
    s.ahead_pos = 0;
    s.ahead_dir = dir;
    s.ahead_generation = generation;

    const bool back = dir < 0;
    const int n = s.key < 0 ? 0 : static_cast<int>(def.keys[static_cast<std::size_t>(s.key)].components.size());
    std::vector<int> comps;
    if (s.key >= 0) comps = ops.Components(def.keys[static_cast<std::size_t>(s.key)]);
    // Levels to run: from the start a single query; else from all-equal down to the first.
    int top = -1, bottom = -1;
    std::int64_t id_bound = s.anchor_id;
    if (s.anchor != kStart) {
      top = s.key < 0 ? 0 : n;
      bottom = 0;
      if (s.anchor == kValues) id_bound = back ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
      if (s.anchor == kAtRecord) id_bound = back ? s.anchor_id + 1 : s.anchor_id - 1;
    }
    const bool row_value = s.anchor != kStart && ops.RowValueWalk(s.key);
    if (row_value) top = bottom = kRowValueLevel;
    for (int level = top; level >= bottom && s.ahead_ids.size() < s.batch; --level) {
      sqlite3_stmt* stmt = ops.Statement({kWalk, s.key, level, back ? 1 : 0, s.filter});
      if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
      StatementReset reset(stmt);
      int param = 1;
      if (level == kRowValueLevel) {
        for (int f : comps) BindField(stmt, param++, def.fields[static_cast<std::size_t>(f)], s.anchor_record.data());
        sqlite3_bind_int64(stmt, param++, id_bound);
      } else if (level >= 0) {
        const char* anchor = s.anchor_record.data();
        if (s.key < 0) {
          sqlite3_bind_int64(stmt, param++, id_bound);
        } else {
          for (int i = 0; i < level && i < n; ++i) BindField(stmt, param++, def.fields[static_cast<std::size_t>(comps[static_cast<std::size_t>(i)])], anchor);
          if (level < n) {
            BindField(stmt, param++, def.fields[static_cast<std::size_t>(comps[static_cast<std::size_t>(level)])], anchor);
          } else {
            sqlite3_bind_int64(stmt, param++, id_bound);
          }
        }
      }
      for (int f : s.equal_fields) BindField(stmt, param++, def.fields[static_cast<std::size_t>(f)], s.equal_record.data());
      sqlite3_bind_int64(stmt, param, static_cast<std::int64_t>(s.batch - s.ahead_ids.size()));
      int rc;
      while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        std::int64_t id = 0;
        ops.ReadRow(stmt, s.ahead.data() + s.ahead_ids.size() * def.record_size, &id);
        s.ahead_ids.push_back(id);
      }
      if (rc != SQLITE_DONE) return Fail(rc, s.name, s.conn->db());
      if (level < 0) break;  // from the start, or one row-value search: a single query
    }
    if (s.ahead_ids.empty()) {
      s.current = 0;
      s.anchor = dir > 0 ? kPastEndForward : kPastEndBackward;
      return Code(kNoRecord, s.name);
    }
  }

  const char* row = s.ahead.data() + s.ahead_pos * def.record_size;
  std::memcpy(def.buffer(), row, def.record_size);
  s.current = s.ahead_ids[s.ahead_pos];
  s.anchor = kRecord;
  s.anchor_id = s.current;
  s.anchor_record.assign(row, row + def.record_size);
  ++s.ahead_pos;
  ++s.walked;
  return Ok();
}

}  // namespace

int File::Next() { return Step(*this, state(), def_, +1); }
int File::Previous() { return Step(*this, state(), def_, -1); }

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
  s.current = id;
  s.anchor = kRecord;
  s.anchor_id = id;
  s.anchor_record.assign(buffer, buffer + ops.def.record_size);
  s.ahead_ids.clear();
  s.ahead_pos = 0;
  return Ok();
}

}  // namespace

int File::Get(const KeyDef& key) {
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
  for (int f : ops.Components(def_.keys[static_cast<std::size_t>(k)])) BindField(stmt, param++, def_.fields[static_cast<std::size_t>(f)], buffer);
  return TakeRow(ops, stmt);
}

int File::GetPosition(std::int64_t position) {
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
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  std::vector<char> buffer(static_cast<const char*>(def_.buffer()), static_cast<const char*>(def_.buffer()) + def_.record_size);
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

std::int64_t File::Position() const { return state().open ? state().current : 0; }

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
    for (int f : ops.Components(key)) BindField(stmt, param++, ops.def.fields[static_cast<std::size_t>(f)], buffer);
    if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_int64(stmt, 0) != except_id) return static_cast<int>(k);
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
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  s.duplicate_key = -1;
  if (IsTextDriver(def_.driver)) return TextAdd(def_, s);
  if (s.read_only) return Code(kAccessDenied, s.name);
  FileOps ops{*this, s, def_};
  sqlite3_stmt* stmt = ops.Statement({kInsert, -1, 0, 0, -1});
  if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
  const char* buffer = static_cast<const char*>(def_.buffer());
  for (std::size_t i = 0; i < def_.fields.size(); ++i) BindField(stmt, static_cast<int>(i) + 1, def_.fields[i], buffer);
  const int code = Write(ops, stmt, 0);
  if (code == kNoError) s.current = sqlite3_last_insert_rowid(s.conn->db());
  return code;
}

int File::Put() {
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
  for (int i = 0; i < n; ++i) BindField(stmt, i + 1, def_.fields[static_cast<std::size_t>(i)], buffer);
  sqlite3_bind_int64(stmt, n + 1, s.current);
  const int code = Write(ops, stmt, s.current);
  if (code == kNoError && sqlite3_changes(s.conn->db()) == 0) return Code(kRecordNotFound, s.name);
  return code;
}

int File::Delete() {
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
    std::vector<char> saved(static_cast<const char*>(def_.buffer()), static_cast<const char*>(def_.buffer()) + def_.record_size);
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
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  if (s.conn && !s.streaming) s.conn->AddStreamer();
  s.streaming = true;
  return Ok();
}

int File::Flush() {
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
  {
    // Usually called on a file that could not be opened because of its keys.
    FileThreadState work;
    if (const int code = Connect(false, false, &work); code != kNoError) return code;
    Connection* conn = work.conn.get();
    FileOps ops{*this, work, def_};
    std::string sql = "BEGIN IMMEDIATE;";
    for (const KeyDef& key : def_.keys) sql += "DROP INDEX IF EXISTS " + ops.IndexName(key) + ";" + ops.CreateIndexSql(key) + ";";
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
  FileThreadState& s = state();
  if (!s.open) return Code(kNotOpen, Name());
  const int k = KeyIndex(key);
  FileOps ops{*this, s, def_};
  const std::vector<int> comps = ops.Components(def_.keys[static_cast<std::size_t>(k)]);
  if (comps.empty() || comps.back() < 0 || IsText(def_.fields[static_cast<std::size_t>(comps.back())].type)) {
    return Code(kDriverError, s.name);
  }
  if (const int code = ops.Use(); code != kNoError) return code;
  sqlite3_stmt* stmt = ops.Statement({kMaxLast, k, 0, 0, -1});
  if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
  StatementReset reset(stmt);
  char* buffer = static_cast<char*>(def_.buffer());
  for (std::size_t i = 0; i + 1 < comps.size(); ++i) BindField(stmt, static_cast<int>(i) + 1, def_.fields[static_cast<std::size_t>(comps[i])], buffer);
  const int rc = sqlite3_step(stmt);
  if (rc != SQLITE_ROW) return Fail(rc, s.name, s.conn->db());
  const std::int64_t next = sqlite3_column_type(stmt, 0) == SQLITE_NULL ? 1 : sqlite3_column_int64(stmt, 0) + 1;
  SetFieldInteger(def_.fields[static_cast<std::size_t>(comps.back())], buffer, next);
  return Ok();
}

const KeyDef* File::DuplicateKey() const {
  const int k = state().duplicate_key;
  return k < 0 ? nullptr : &def_.keys[static_cast<std::size_t>(k)];
}

FileState File::GetState() const {
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
  s.ahead_ids.clear();
  s.ahead_pos = 0;
  s.text_pos = st.text_pos;
  s.text_loaded = false;
  if (st.buffer.size() == def_.record_size) std::memcpy(def_.buffer(), st.buffer.data(), def_.record_size);
}

}  // namespace vx::storage
