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

#include "runtime/storage/record_codec.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/storage/stored_name.h"
#include "runtime/storage/text_format.h"

namespace vx::storage {

namespace {

enum Anchor : int { kStart = 0, kValues = 1, kRecord = 2 };

constexpr std::size_t kFirstBatch = 8;
constexpr std::size_t kMaxBatch = 512;
constexpr std::size_t kMaxBatchBytes = 1 << 20;

std::string Quote(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

bool SameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Statement slots of a thread's open table, so that a walk never rebuilds SQL text.
struct StatementKey {
  int kind;
  int key;
  int level;
  int backward;
  int filter;
  bool operator<(const StatementKey& o) const {
    return std::tie(kind, key, level, backward, filter) < std::tie(o.kind, o.key, o.level, o.backward, o.filter);
  }
};

enum StatementKind : int { kWalk, kGetByKey, kGetById, kInsert, kUpdate, kDeleteById, kCount, kMaxLast };

}  // namespace

struct FileThreadState {
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

  // Rows read ahead in the walk's direction, valid while the file's change count stands.
  std::vector<char> ahead;
  std::vector<std::int64_t> ahead_ids;
  std::size_t ahead_pos = 0;
  int ahead_dir = 0;
  std::uint64_t ahead_generation = 0;
  std::size_t batch = kFirstBatch;

  // Text drivers: the whole file read at the first read after a SET or a write.
  bool text_loaded = false;
  std::string text;
  std::size_t text_pos = 0;
};

namespace {

class Reset {
 public:
  explicit Reset(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~Reset() {
    if (stmt_) {
      sqlite3_reset(stmt_);
      sqlite3_clear_bindings(stmt_);
    }
  }
  Reset(const Reset&) = delete;
  Reset& operator=(const Reset&) = delete;

 private:
  sqlite3_stmt* stmt_;
};

// Sets the thread's error from a SQLite result and returns the runtime code.
int Fail(int rc, const std::string& name, sqlite3* db) {
  int code = kDriverError;
  switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: code = kIsLocked; break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: code = kAccessDenied; break;
    case SQLITE_CONSTRAINT:
      if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) code = kDuplicateKey;
      break;
    default: break;
  }
  const std::string text = db && sqlite3_errcode(db) == rc ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  SetError(code, name, rc, text);
  return code;
}

int Ok() {
  ClearError();
  return kNoError;
}

int Code(int code, const std::string& name) {
  SetError(code, name);
  return code;
}

}  // namespace

struct FileOps {
  const File& file;
  FileThreadState& s;
  const TableDef& def;

  std::string ColumnExpr(int field, bool case_sensitive) const {
    const FieldDef& f = def.fields[static_cast<std::size_t>(field)];
    std::string expr = Quote(f.name);
    if (IsText(f.type) && !case_sensitive) expr += " COLLATE NOCASE";
    return expr;
  }

  int FieldIndex(const std::string& name) const {
    for (std::size_t i = 0; i < def.fields.size(); ++i) {
      if (SameNoCase(def.fields[i].name, name)) return static_cast<int>(i);
    }
    return -1;
  }

  // Field indexes of a key's components.
  std::vector<int> Components(const KeyDef& key) const {
    std::vector<int> out;
    for (const KeyComponent& c : key.components) out.push_back(FieldIndex(c.field));
    return out;
  }

  // The condition an optional key puts on its records (empty for other keys).
  std::string OptionalCondition(const KeyDef& key) const {
    if (!key.optional) return {};
    std::string cond = "(";
    bool first = true;
    for (int f : Components(key)) {
      if (f < 0) continue;
      if (!first) cond += " OR ";
      first = false;
      const FieldDef& field = def.fields[static_cast<std::size_t>(f)];
      if (field.type == FieldType::CString) {
        cond += "rtrim(" + Quote(field.name) + ") <> ''";
      } else if (IsText(field.type)) {
        cond += Quote(field.name) + " <> ''";
      } else {
        cond += Quote(field.name) + " <> 0";
      }
    }
    return first ? std::string() : cond + ")";
  }

  std::string IndexName(const KeyDef& key) const { return Quote(s.table + "!" + key.name); }

  std::string CreateIndexSql(const KeyDef& key) const {
    std::string sql = key.kind == KeyKind::Duplicates ? "CREATE INDEX " : "CREATE UNIQUE INDEX ";
    sql += IndexName(key) + " ON " + Quote(s.table) + " (";
    bool first = true;
    for (std::size_t i = 0; i < key.components.size(); ++i) {
      const int f = FieldIndex(key.components[i].field);
      if (!first) sql += ", ";
      first = false;
      sql += ColumnExpr(f, key.case_sensitive);
      if (key.components[i].descending) sql += " DESC";
    }
    sql += ")";
    const std::string cond = OptionalCondition(key);
    if (!cond.empty()) sql += " WHERE " + cond;
    return sql;
  }

  std::string CreateTableSql() const {
    std::string sql = "CREATE TABLE " + Quote(s.table) + " (";
    for (std::size_t i = 0; i < def.fields.size(); ++i) {
      if (i) sql += ", ";
      sql += Quote(def.fields[i].name) + " " + ColumnType(def.fields[i]);
    }
    return sql + ")";
  }

  std::string SelectColumns() const {
    std::string cols = "SELECT rowid";
    for (const FieldDef& f : def.fields) cols += ", " + Quote(f.name);
    return cols + " FROM " + Quote(s.table);
  }

  sqlite3_stmt* Statement(const StatementKey& k) {
    if (auto it = s.statements.find(k); it != s.statements.end()) return it->second;
    const std::string sql = BuildSql(k);
    sqlite3_stmt* stmt = s.conn->Prepare(sql);
    if (stmt) s.statements.emplace(k, stmt);
    return stmt;
  }

  std::string BuildSql(const StatementKey& k) const {
    switch (k.kind) {
      case kInsert: {
        std::string cols, marks;
        for (std::size_t i = 0; i < def.fields.size(); ++i) {
          if (i) { cols += ", "; marks += ", "; }
          cols += Quote(def.fields[i].name);
          marks += "?";
        }
        return "INSERT INTO " + Quote(s.table) + " (" + cols + ") VALUES (" + marks + ")";
      }
      case kUpdate: {
        std::string sql = "UPDATE " + Quote(s.table) + " SET ";
        for (std::size_t i = 0; i < def.fields.size(); ++i) {
          if (i) sql += ", ";
          sql += Quote(def.fields[i].name) + " = ?";
        }
        return sql + " WHERE rowid = ?";
      }
      case kDeleteById: return "DELETE FROM " + Quote(s.table) + " WHERE rowid = ?";
      case kCount: return "SELECT count(*) FROM " + Quote(s.table);
      case kGetById: return SelectColumns() + " WHERE rowid = ?";
      case kGetByKey: {
        const KeyDef& key = def.keys[static_cast<std::size_t>(k.key)];
        std::string sql = SelectColumns() + " WHERE ";
        bool first = true;
        for (int f : Components(key)) {
          if (!first) sql += " AND ";
          first = false;
          sql += ColumnExpr(f, key.case_sensitive) + " = ?";
        }
        const std::string cond = OptionalCondition(key);
        if (!cond.empty()) sql += " AND " + cond;
        return sql + " ORDER BY rowid LIMIT 1";
      }
      case kMaxLast: {
        const KeyDef& key = def.keys[static_cast<std::size_t>(k.key)];
        const std::vector<int> comps = Components(key);
        std::string sql = "SELECT max(" + Quote(def.fields[static_cast<std::size_t>(comps.back())].name) +
                          ") FROM " + Quote(s.table);
        for (std::size_t i = 0; i + 1 < comps.size(); ++i) {
          sql += i == 0 ? " WHERE " : " AND ";
          sql += ColumnExpr(comps[i], key.case_sensitive) + " = ?";
        }
        return sql;
      }
      case kWalk: return WalkSql(k);
      default: return {};
    }
  }

  // A walk query. Level -1: from the start (or end); level L of a key with n components:
  // records whose first L components equal the anchor's and whose next one lies beyond it
  // (L = n: all components equal and the record id beyond). Running the levels from n down
  // to 0 yields the records after the anchor in key order, each level an index search.
  std::string WalkSql(const StatementKey& k) const {
    const bool back = k.backward != 0;
    std::vector<std::string> where;
    std::string order;
    if (k.key < 0) {
      if (k.level >= 0) where.push_back(back ? "rowid < ?" : "rowid > ?");
      order = back ? "rowid DESC" : "rowid";
    } else {
      const KeyDef& key = def.keys[static_cast<std::size_t>(k.key)];
      const std::vector<int> comps = Components(key);
      const int n = static_cast<int>(comps.size());
      for (int i = 0; i < n; ++i) {
        const std::string col = ColumnExpr(comps[static_cast<std::size_t>(i)], key.case_sensitive);
        const bool ascending = key.components[static_cast<std::size_t>(i)].descending == back;
        if (i < k.level) {
          where.push_back(col + " = ?");
        } else if (i == k.level) {
          where.push_back(col + (ascending ? " > ?" : " < ?"));
        }
        order += col + (ascending ? "" : " DESC") + ", ";
      }
      if (k.level == n) where.push_back(back ? "rowid < ?" : "rowid > ?");
      order += back ? "rowid DESC" : "rowid";
      const std::string cond = OptionalCondition(key);
      if (!cond.empty()) where.push_back(cond);
    }
    if (k.filter >= 0) {
      const bool case_sensitive = k.key < 0 || def.keys[static_cast<std::size_t>(k.key)].case_sensitive;
      for (int f : s.filters[static_cast<std::size_t>(k.filter)]) where.push_back(ColumnExpr(f, case_sensitive) + " = ?");
    }
    std::string sql = SelectColumns();
    for (std::size_t i = 0; i < where.size(); ++i) sql += (i == 0 ? " WHERE " : " AND ") + where[i];
    return sql + " ORDER BY " + order + " LIMIT ?";
  }

  void ReadRow(sqlite3_stmt* stmt, char* record, std::int64_t* id) const {
    *id = sqlite3_column_int64(stmt, 0);
    for (std::size_t i = 0; i < def.fields.size(); ++i) ReadField(stmt, static_cast<int>(i) + 1, def.fields[i], record);
  }

  int Use() {
    const int rc = s.conn->BeforeUse();
    return rc == SQLITE_OK ? kNoError : Fail(rc, s.name, s.conn->db());
  }
};

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

bool IsTextDriver(Driver driver) { return driver == Driver::Basic || driver == Driver::Ascii; }

std::string CanonicalPath(const std::string& path) {
  std::error_code ec;
  auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
  return ec ? path : p.string();
}

}  // namespace

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

  std::shared_ptr<Connection> conn;
  int rc = OpenConnection(CanonicalPath(path), false, read_only, &conn);
  if (rc != SQLITE_OK) return Fail(rc, display, nullptr);
  conn->SetBusyMilliseconds(LockWaitMs());

  FileThreadState fresh;
  fresh.name = display;
  fresh.path = path;
  fresh.table = stored.table.empty() ? "UNNAMED" : stored.table;
  fresh.conn = conn;
  fresh.read_only = read_only;
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
    Reset reset(q);
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

int File::Create() {
  FileThreadState& s = state();
  const StoredName stored = ParseStoredName(def_.StoredName(), def_.driver);
  const std::string display = def_.StoredName();
  const std::string path = ResolveOnDisk(stored.path);

  if (IsTextDriver(def_.driver)) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return Code(errno == EACCES ? kAccessDenied : kFileNotFound, display);
    ::close(fd);
    return Ok();
  }

  std::shared_ptr<Connection> conn;
  int rc = OpenConnection(CanonicalPath(path), true, false, &conn);
  if (rc != SQLITE_OK) return Fail(rc, display, nullptr);
  conn->SetBusyMilliseconds(LockWaitMs());

  FileThreadState work;
  work.table = stored.table.empty() ? "UNNAMED" : stored.table;
  work.conn = conn;
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
  (void)s;
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

// Reads the next record of a text file into the buffer.
int TextNext(const TableDef& def, FileThreadState& s) {
  if (!s.text_loaded) {
    std::FILE* fp = std::fopen(s.path.c_str(), "rb");
    if (!fp) return Code(kAccessDenied, s.name);
    s.text.clear();
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, fp)) > 0) s.text.append(chunk, n);
    std::fclose(fp);
    s.text_loaded = true;
  }
  if (s.text_pos >= s.text.size()) return Code(kNoRecord, s.name);
  char* record = static_cast<char*>(def.buffer());
  s.current = static_cast<std::int64_t>(s.text_pos) + 1;
  if (def.driver == Driver::Basic) {
    s.text_pos = ParseBasicRecord(def, s.text, s.text_pos, record);
  } else {
    std::size_t end = s.text.find('\n', s.text_pos);
    if (end == std::string::npos) end = s.text.size();
    std::string_view line(s.text.data() + s.text_pos, end - s.text_pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ParseAsciiLine(def, line, record);
    s.text_pos = end + 1;
  }
  return Ok();
}

int TextAdd(const TableDef& def, FileThreadState& s) {
  if (s.read_only) return Code(kAccessDenied, s.name);
  const char* record = static_cast<const char*>(def.buffer());
  std::string line = def.driver == Driver::Basic ? FormatBasicLine(def, record) : FormatAsciiLine(def, record);
  line += '\n';
  const int fd = ::open(s.path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return Code(kAccessDenied, s.name);
  const off_t at = ::lseek(fd, 0, SEEK_END);
  const ssize_t written = ::write(fd, line.data(), line.size());
  ::close(fd);
  if (written != static_cast<ssize_t>(line.size())) return Code(kDriverError, s.name);
  s.current = static_cast<std::int64_t>(at) + 1;
  s.text_loaded = false;  // a later read sees the line
  return Ok();
}

}  // namespace

namespace {

int Step(const File& file, FileThreadState& s, const TableDef& def, int dir) {
  if (!s.open) return Code(kNotOpen, file.Name());
  if (IsTextDriver(def.driver)) {
    if (dir < 0) return Code(kNoRecord, s.name);  // text files are read forward only
    return TextNext(def, s);
  }
  FileOps ops{file, s, def};
  if (const int code = ops.Use(); code != kNoError) return code;

  const std::uint64_t generation = s.conn->generation();
  const bool have_ahead = s.ahead_pos < s.ahead_ids.size() && s.ahead_dir == dir && s.ahead_generation == generation;
  if (!have_ahead) {
    // Grow the batch while one walk goes on in one direction; start small after a change.
    const bool continuing = s.ahead_dir == dir && s.ahead_pos == s.ahead_ids.size() && !s.ahead_ids.empty() &&
                            s.ahead_generation == generation;
    const std::size_t cap = std::max<std::size_t>(1, std::min(kMaxBatch, kMaxBatchBytes / std::max<std::size_t>(1, def.record_size)));
    s.batch = continuing ? std::min(cap, s.batch * 2) : std::min(cap, kFirstBatch);
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
    }
    for (int level = top; level >= bottom && s.ahead_ids.size() < s.batch; --level) {
      sqlite3_stmt* stmt = ops.Statement({kWalk, s.key, level, back ? 1 : 0, s.filter});
      if (!stmt) return Fail(sqlite3_errcode(s.conn->db()), s.name, s.conn->db());
      Reset reset(stmt);
      int param = 1;
      if (level >= 0) {
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
      if (level < 0) break;
    }
    if (s.ahead_ids.empty()) return Code(kNoRecord, s.name);
  }

  const char* row = s.ahead.data() + s.ahead_pos * def.record_size;
  std::memcpy(def.buffer(), row, def.record_size);
  s.current = s.ahead_ids[s.ahead_pos];
  s.anchor = kRecord;
  s.anchor_id = s.current;
  s.anchor_record.assign(row, row + def.record_size);
  ++s.ahead_pos;
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
  if (rc == SQLITE_DONE) return Code(kRecordNotFound, s.name);
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
  Reset reset(stmt);
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
  Reset reset(stmt);
  sqlite3_bind_int64(stmt, 1, position);
  return TakeRow(ops, stmt);
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
    Reset reset(stmt);
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
  Reset reset(stmt);
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
  Reset reset(stmt);
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
  FileThreadState& s = state();
  if (!s.open) {
    // Keys are rebuilt on a file that could not be opened because of them: open it for this.
    const StoredName stored = ParseStoredName(def_.StoredName(), def_.driver);
    std::shared_ptr<Connection> conn;
    const int rc = OpenConnection(CanonicalPath(ResolveOnDisk(stored.path)), false, false, &conn);
    if (rc != SQLITE_OK) return Fail(rc, def_.StoredName(), nullptr);
    FileThreadState work;
    work.name = def_.StoredName();
    work.table = stored.table.empty() ? "UNNAMED" : stored.table;
    work.conn = conn;
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
  return Code(kAccessDenied, s.name);  // keys are rebuilt on a closed file
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
  Reset reset(stmt);
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
