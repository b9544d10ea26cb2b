#include "runtime/storage/server_store.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <tuple>
#include <unordered_map>

#include "runtime/storage/file.h"
#include "runtime/storage/file_internal.h"
#include "runtime/storage/record_codec.h"
#include "runtime/storage/stored_name.h"

namespace vx::storage {

namespace {

// The server cuts names at 63 bytes; a longer one keeps its start and a hash of the whole, so
// that two long names never become one.
std::string Identifier(const std::string& name) {
  if (name.size() <= 63) return name;
  char hash[20];
  std::snprintf(hash, sizeof hash, "~%016zx", std::hash<std::string>{}(name));
  return name.substr(0, 63 - std::strlen(hash)) + hash;
}

std::string Literal(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

std::string Folded(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string ServerColumnType(const FieldDef& field) {
  return IsText(field.type) ? "text COLLATE \"C\" NOT NULL" : "bigint NOT NULL";
}

const char* kCatalog =
    "CREATE TABLE IF NOT EXISTS vx_tables (name text PRIMARY KEY, structure text NOT NULL, "
    "keys text NOT NULL);CREATE TABLE IF NOT EXISTS vx_claims (name text PRIMARY KEY, "
    "claimed timestamptz NOT NULL DEFAULT now())";

constexpr std::int64_t kCreateLock = 0x5658393743524541;  // "VX97CREA"

struct TableState {
  bool open = false;
  bool read_only = false;
  bool streaming = false;
  std::string name;   // stored name as resolved
  std::string table;  // quoted server table
  std::string raw_table;
  std::atomic<std::uint64_t>* generation = nullptr;

  int key = -1;
  int anchor = kStart;
  std::int64_t anchor_id = 0;
  std::vector<char> anchor_record;
  std::vector<int> equal_fields;
  std::vector<char> equal_record;
  std::int64_t current = 0;
  int duplicate_key = -1;

  std::vector<char> ahead;
  std::vector<std::int64_t> ahead_ids;
  std::size_t ahead_pos = 0;
  int ahead_dir = 0;
  std::uint64_t ahead_generation = 0;
  std::size_t batch = 0;

  // The walk queries by key, direction, bound, equality filter (an index into filters) and
  // batch size.
  struct Walk {
    std::string sql;
    PreparedSlot prepared;
  };
  std::map<std::tuple<int, bool, bool, int, std::size_t>, Walk> walks;
  // GET by each key (its index), and by position (the last one), made at their first use.
  std::vector<Walk> gets;
  std::vector<std::vector<int>> filters;
  int filter = -1;
};

class ServerStore;

class ServerTable final : public TableBackend {
 public:
  ServerTable(ServerStore& store, const File& file) : store_(store), file_(file), def_(file.def()) {
    FileThreadState scratch;
    FileOps ops{file_, scratch, def_};
    for (const KeyDef& key : def_.keys) {
      comps_.push_back(ops.Components(key));
      optional_.push_back(ops.OptionalCondition(key));
    }
  }

  std::string Name() const override {
    const TableState& s = state_.get();
    return s.name.empty() ? def_.StoredName() : s.name;
  }
  bool IsOpen() const override { return state_.get().open; }
  bool ReadOnly() const override { return state_.get().open && state_.get().read_only; }
  int Open(int mode) override;
  int Create() override;
  int Close() override;
  int Set(int key) override { return StartWalk(key, kStart); }
  int SetFromBuffer(int key) override;
  int SetEqual(int key, const std::vector<int>& fields) override;
  int Next() override { return Step(+1); }
  int Previous() override { return Step(-1); }
  int Get(int key) override;
  int GetPosition(std::int64_t position) override;
  std::int64_t Position() const override { return state_.get().open ? state_.get().current : 0; }
  int Reset(int key, std::int64_t position) override;
  int Add() override;
  int Put() override;
  int Delete() override;
  std::int64_t Records() override;
  int Stream() override;
  int Flush() override;
  int Build() override;
  int Empty() override;
  int AutoNumber(int key) override;
  int DuplicateKey() const override { return state_.get().duplicate_key; }
  FileState GetState() const override;
  void RestoreState(const FileState& state) override;

 private:
  ServerConnection& Conn() const;
  char* Buffer() const { return static_cast<char*>(def_.buffer()); }
  const FieldDef& Field(int f) const { return def_.fields[static_cast<std::size_t>(f)]; }
  const KeyDef& Key(int k) const { return def_.keys[static_cast<std::size_t>(k)]; }

  std::string Expr(int field, bool case_sensitive) const {
    const FieldDef& f = Field(field);
    return IsText(f.type) && !case_sensitive ? "lower(" + Quote(f.name) + ")" : Quote(f.name);
  }
  std::string Value(int field, const char* record, bool case_sensitive) const {
    const FieldDef& f = Field(field);
    if (!IsText(f.type)) return std::to_string(FieldInteger(f, record));
    return case_sensitive ? FieldText(f, record) : Folded(FieldText(f, record));
  }
  std::string Structure() const {
    std::string out;
    for (const FieldDef& f : def_.fields) out += f.name + " " + ColumnType(f) + ";";
    return out;
  }
  std::string IndexSql(const TableState& s, int k) const;
  std::string KeysSql(const TableState& s) const {
    std::string out;
    for (std::size_t k = 0; k < def_.keys.size(); ++k)
      out += IndexSql(s, static_cast<int>(k)) + ";";
    return out;
  }
  std::string Select(const TableState& s) const {
    std::string cols = "SELECT vx_pos";
    for (const FieldDef& f : def_.fields) cols += ", " + Quote(f.name);
    return cols + " FROM " + s.table;
  }
  std::string KeyWhere(int k, int first_param) const;
  TableState::Walk& WalkSql(TableState& s, bool back, bool bounded);
  // The GET by key `key` (-1: by position), its text made once per open.
  TableState::Walk& GetSql(TableState& s, int key) const {
    if (s.gets.empty()) s.gets.resize(def_.keys.size() + 1);
    TableState::Walk& get = s.gets[key < 0 ? def_.keys.size() : static_cast<std::size_t>(key)];
    if (get.sql.empty()) {
      get.sql = Select(s) + (key < 0 ? std::string(" WHERE vx_pos = $1")
                                     : " WHERE " + KeyWhere(key, 1) + " ORDER BY vx_pos LIMIT 1");
    }
    return get;
  }
  static void UseFilter(TableState& s, const std::vector<int>& fields) {
    s.equal_fields = fields;
    s.filter = -1;
    if (fields.empty()) return;
    auto it = std::find(s.filters.begin(), s.filters.end(), fields);
    if (it == s.filters.end()) it = s.filters.insert(s.filters.end(), fields);
    s.filter = static_cast<int>(it - s.filters.begin());
  }
  void ReadRow(const ServerResult& r, int row, char* record, std::int64_t* id) const;
  void Resolve(TableState& s) const;
  int StartWalk(int key, int anchor);
  int Step(int dir);
  int ReadAhead(TableState& s, int dir);
  int TakeRow(TableState& s, const ServerResult& r);
  void TakeCurrent(TableState& s, std::int64_t id) const {
    s.current = id;
    s.anchor = kRecord;
    s.anchor_id = id;
    s.anchor_record.assign(Buffer(), Buffer() + def_.record_size);
  }
  int Write(TableState& s, const std::string& sql, const std::vector<std::string>& params,
            std::int64_t except_id, ServerResult* out, bool guarded);
  int FindDuplicateKey(TableState& s, std::int64_t except_id);
  int Ddl(TableState& s, const std::string& sql);

  ServerStore& store_;
  const File& file_;
  const TableDef& def_;
  std::vector<std::vector<int>> comps_;
  std::vector<std::string> optional_;
  PerThread<TableState> state_;
};

class ServerStore final : public TableStore {
 public:
  explicit ServerStore(const ServerSettings& settings) : settings_(settings) {}
  ~ServerStore() override { ForgetThreadServerConnection(id_); }

  TableBackend& TableFor(const File& file) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& slot = tables_[file.id()];
    if (!slot) slot = std::make_unique<ServerTable>(*this, file);
    return *slot;
  }
  int CommitLogout() override {
    ServerConnection& conn = Thread();
    if (!conn.in_transaction()) return kNoError;
    return conn.Commit({});
  }
  void RollbackLogout() override { Thread().Rollback(); }

  ServerConnection& Thread() { return ThreadServerConnection(settings_, id_); }
  std::atomic<std::uint64_t>* Generation(const std::string& table) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& slot = generations_[table];
    if (!slot) slot = std::make_unique<std::atomic<std::uint64_t>>(0);
    return slot.get();
  }

 private:
  ServerSettings settings_;
  const std::uint64_t id_ = NextObjectId();
  std::mutex mutex_;
  std::unordered_map<std::uint64_t, std::unique_ptr<ServerTable>> tables_;
  std::unordered_map<std::string, std::unique_ptr<std::atomic<std::uint64_t>>> generations_;
};

ServerConnection& ServerTable::Conn() const { return store_.Thread(); }

void ServerTable::Resolve(TableState& s) const {
  s.name = def_.StoredName();
  s.raw_table = Identifier(ServerTableName(s.name));
  s.table = Quote(s.raw_table);
  s.generation = store_.Generation(s.raw_table);
  s.walks.clear();
  s.gets.clear();
}

std::string ServerTable::IndexSql(const TableState& s, int k) const {
  const KeyDef& key = Key(k);
  std::string sql = key.kind == KeyKind::Duplicates ? "CREATE INDEX " : "CREATE UNIQUE INDEX ";
  sql += Quote(Identifier(s.raw_table + "!" + key.name)) + " ON " + s.table + " (";
  const std::vector<int>& comps = comps_[static_cast<std::size_t>(k)];
  for (std::size_t i = 0; i < comps.size(); ++i) {
    if (i) sql += ", ";
    sql += Expr(comps[i], key.case_sensitive);
    if (key.components[i].descending) sql += " DESC";
  }
  // Records with equal values of a key are walked in the order they were added.
  if (key.kind == KeyKind::Duplicates) sql += ", vx_pos";
  sql += ")";
  if (!optional_[static_cast<std::size_t>(k)].empty())
    sql += " WHERE " + optional_[static_cast<std::size_t>(k)];
  return sql;
}

std::string ServerTable::KeyWhere(int k, int first_param) const {
  const KeyDef& key = Key(k);
  std::string sql;
  int param = first_param;
  for (int f : comps_[static_cast<std::size_t>(k)]) {
    if (!sql.empty()) sql += " AND ";
    sql += Expr(f, key.case_sensitive) + " = $" + std::to_string(param++);
  }
  if (!optional_[static_cast<std::size_t>(k)].empty())
    sql += " AND " + optional_[static_cast<std::size_t>(k)];
  return sql;
}

void ServerTable::ReadRow(const ServerResult& r, int row, char* record, std::int64_t* id) const {
  *id = std::strtoll(r.value(row, 0), nullptr, 10);
  for (std::size_t i = 0; i < def_.fields.size(); ++i) {
    const FieldDef& f = def_.fields[i];
    const int column = static_cast<int>(i) + 1;
    if (IsText(f.type)) {
      SetFieldText(
          f, record,
          std::string_view(r.value(row, column), static_cast<std::size_t>(r.length(row, column))));
    } else {
      SetFieldInteger(f, record, std::strtoll(r.value(row, column), nullptr, 10));
    }
  }
}

int ServerTable::Open(int mode) {
  TableState& s = state_.get();
  if (s.open) return Code(kAlreadyOpen, s.name);
  TableState fresh;
  Resolve(fresh);
  ServerConnection& conn = Conn();
  if (const int code = conn.BeforeUse(fresh.name); code != kNoError) return code;
  ServerResult r = conn.Run("SELECT structure, keys FROM vx_tables WHERE name = $1",
                            {fresh.raw_table}, fresh.name);
  if (!r.ok()) return r.state() == "42P01" ? Code(kFileNotFound, fresh.name) : ERRORCODE();
  if (r.rows() == 0) return Code(kFileNotFound, fresh.name);
  if (Structure() != r.value(0, 0)) return Code(kBadStructure, fresh.name);
  if (KeysSql(fresh) != r.value(0, 1)) return Code(kBadKey, fresh.name);
  fresh.open = true;
  fresh.read_only = (mode & 0x0f) == 0;
  s = std::move(fresh);
  return Ok();
}

int ServerTable::Ddl(TableState& s, const std::string& sql) {
  ServerConnection& conn = Conn();
  if (const int code = conn.BeforeUse(s.name); code != kNoError) return code;
  // Several statements in one request are one transaction of their own outside a LOGOUT.
  if (const int code = conn.RunCommand(sql.c_str(), s.name); code != kNoError) {
    if (conn.in_transaction()) conn.Rollback();
    return code;
  }
  s.generation->fetch_add(1, std::memory_order_acq_rel);
  return Ok();
}

int ServerTable::Create() {
  TableState work;
  Resolve(work);
  // Programs making tables at once (a team's first start) take turns: the catalog's and the
  // table's names would otherwise clash on the server.
  std::string sql = "SELECT pg_advisory_xact_lock(" + std::to_string(kCreateLock) + ");" +
                    kCatalog + ";DROP TABLE IF EXISTS " + work.table + ";CREATE TABLE " +
                    work.table + " (vx_pos bigserial PRIMARY KEY";
  for (const FieldDef& f : def_.fields) sql += ", " + Quote(f.name) + " " + ServerColumnType(f);
  sql += ")";
  for (std::size_t k = 0; k < def_.keys.size(); ++k)
    sql += ";" + IndexSql(work, static_cast<int>(k));
  sql += ";INSERT INTO vx_tables VALUES (" + Literal(work.raw_table) + ", " + Literal(Structure()) +
         ", " + Literal(KeysSql(work)) +
         ") ON CONFLICT (name) DO UPDATE SET structure = excluded.structure, keys = excluded.keys";
  // The tables belong to the database's owner, a role every member of the team is granted,
  // so that each person's own log-in reaches the tables whoever made them first.
  sql +=
      ";DO $$ DECLARE owner name := (SELECT pg_get_userbyid(datdba) FROM pg_database WHERE "
      "datname = current_database()); BEGIN IF pg_has_role(owner, 'MEMBER') THEN EXECUTE "
      "format('ALTER TABLE vx_tables OWNER TO %I', owner); EXECUTE format('ALTER TABLE "
      "vx_claims OWNER TO %I', owner); EXECUTE format('ALTER TABLE %I "
      "OWNER TO %I', " +
      Literal(work.raw_table) + ", owner); END IF; END $$";
  return Ddl(work, sql);
}

int ServerTable::Build() {
  TableState work;
  Resolve(work);
  std::string sql;
  for (std::size_t k = 0; k < def_.keys.size(); ++k) {
    sql += "DROP INDEX IF EXISTS " + Quote(Identifier(work.raw_table + "!" + def_.keys[k].name)) +
           ";" + IndexSql(work, static_cast<int>(k)) + ";";
  }
  sql += "UPDATE vx_tables SET keys = " + Literal(KeysSql(work)) +
         " WHERE name = " + Literal(work.raw_table);
  return Ddl(work, sql);
}

int ServerTable::Close() {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  int code = kNoError;
  if (s.streaming) code = Conn().RemoveStreamer(s.name);
  s = TableState{};
  return code == kNoError ? Ok() : code;
}

int ServerTable::StartWalk(int key, int anchor) {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  s.key = key;
  s.anchor = anchor;
  s.anchor_id = 0;
  UseFilter(s, {});
  s.ahead_ids.clear();
  s.ahead_pos = 0;
  if (anchor == kValues) s.anchor_record.assign(Buffer(), Buffer() + def_.record_size);
  return Ok();
}

int ServerTable::SetFromBuffer(int key) { return StartWalk(key, kValues); }

int ServerTable::SetEqual(int key, const std::vector<int>& fields) {
  if (const int code = StartWalk(key, kStart); code != kNoError) return code;
  TableState& s = state_.get();
  UseFilter(s, fields);
  s.equal_record.assign(Buffer(), Buffer() + def_.record_size);
  return Ok();
}

// The walk's query: rows after the bound (the anchor's key values and id) in key order, each
// key component in its direction and the position last. A key whose components all ascend
// compares one row value, which the server answers from the index; any other compares level
// by level (equal up to a component, beyond at it). The batch size is written into the query
// rather than passed: the server plans a LIMIT it cannot see as a tenth of the table, judges
// that plan dearer than one made for the values, and so plans the query again at every run.
// Batch sizes are few (1, then doubling from kFirstBatch), so are the queries.
TableState::Walk& ServerTable::WalkSql(TableState& s, bool back, bool bounded) {
  auto slot = s.walks.try_emplace({s.key, back, bounded, s.filter, s.batch});
  TableState::Walk& walk = slot.first->second;
  if (!slot.second) return walk;
  std::string& sql = walk.sql;
  static const std::vector<int> kNone;
  const std::vector<int>& comps = s.key < 0 ? kNone : comps_[static_cast<std::size_t>(s.key)];
  const bool case_sensitive = s.key < 0 || Key(s.key).case_sensitive;
  const int n = static_cast<int>(comps.size());
  std::vector<std::string> exprs;
  std::vector<bool> up;  // each component's direction in this read
  bool all_up = true;
  for (int i = 0; i < n; ++i) {
    exprs.push_back(Expr(comps[static_cast<std::size_t>(i)], case_sensitive));
    up.push_back(Key(s.key).components[static_cast<std::size_t>(i)].descending == back);
    if (Key(s.key).components[static_cast<std::size_t>(i)].descending) all_up = false;
  }
  exprs.push_back("vx_pos");
  up.push_back(!back);
  std::vector<std::string> where;
  int param = 1;
  if (bounded) {
    if (all_up) {
      std::string cols, marks;
      for (int i = 0; i <= n; ++i) {
        cols += (i ? ", " : "") + exprs[static_cast<std::size_t>(i)];
        marks += (i ? ", $" : "$") + std::to_string(i + 1);
      }
      where.push_back(n == 0 ? "vx_pos " + std::string(back ? "< $1" : "> $1")
                             : "(" + cols + ") " + (back ? "< (" : "> (") + marks + ")");
    } else {
      std::string any;
      for (int level = 0; level <= n; ++level) {
        std::string term;
        for (int i = 0; i < level; ++i)
          term += exprs[static_cast<std::size_t>(i)] + " = $" + std::to_string(i + 1) + " AND ";
        term += exprs[static_cast<std::size_t>(level)] +
                (up[static_cast<std::size_t>(level)] ? " > $" : " < $") + std::to_string(level + 1);
        any += (level ? " OR (" : "(") + term + ")";
      }
      where.push_back("(" + any + ")");
    }
    param = n + 2;
  }
  if (s.key >= 0 && !optional_[static_cast<std::size_t>(s.key)].empty())
    where.push_back(optional_[static_cast<std::size_t>(s.key)]);
  for (int f : s.equal_fields)
    where.push_back(Expr(f, case_sensitive) + " = $" + std::to_string(param++));
  sql = Select(s);
  for (std::size_t i = 0; i < where.size(); ++i) sql += (i ? " AND " : " WHERE ") + where[i];
  sql += " ORDER BY ";
  for (int i = 0; i <= n; ++i)
    sql += std::string(i ? ", " : "") + exprs[static_cast<std::size_t>(i)] +
           (up[static_cast<std::size_t>(i)] ? "" : " DESC");
  sql += " LIMIT " + std::to_string(s.batch);
  return walk;
}

int ServerTable::ReadAhead(TableState& s, int dir) {
  const bool back = dir < 0;
  const bool bounded = s.anchor != kStart;
  std::vector<std::string> params;
  const bool case_sensitive = s.key < 0 || Key(s.key).case_sensitive;
  if (bounded) {
    if (s.key >= 0) {
      for (int f : comps_[static_cast<std::size_t>(s.key)])
        params.push_back(Value(f, s.anchor_record.data(), case_sensitive));
    }
    std::int64_t id = s.anchor_id;
    if (s.anchor == kValues)
      id = back ? std::numeric_limits<std::int64_t>::max()
                : std::numeric_limits<std::int64_t>::min();
    if (s.anchor == kAtRecord) id = back ? s.anchor_id + 1 : s.anchor_id - 1;
    params.push_back(std::to_string(id));
  }
  for (int f : s.equal_fields) params.push_back(Value(f, s.equal_record.data(), case_sensitive));
  ServerConnection& conn = Conn();
  TableState::Walk& walk = WalkSql(s, back, bounded);
  ServerResult r = conn.Run(walk.sql, params, s.name, false, &walk.prepared);
  if (!r.ok()) return ERRORCODE();
  const std::size_t rows = static_cast<std::size_t>(r.rows());
  if (s.ahead.size() < rows * def_.record_size) s.ahead.resize(rows * def_.record_size);
  for (std::size_t i = 0; i < rows; ++i) {
    std::int64_t id = 0;
    std::memcpy(s.ahead.data() + i * def_.record_size, Buffer(), def_.record_size);
    ReadRow(r, static_cast<int>(i), s.ahead.data() + i * def_.record_size, &id);
    s.ahead_ids.push_back(id);
  }
  return kNoError;
}

int ServerTable::Step(int dir) {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  if (s.anchor == (dir > 0 ? kPastEndForward : kPastEndBackward)) return Code(kNoRecord, s.name);
  if (s.anchor == kPastEndForward || s.anchor == kPastEndBackward) {
    s.anchor = kStart;
    s.ahead_ids.clear();
    s.ahead_pos = 0;
  }
  const std::uint64_t generation = s.generation->load(std::memory_order_acquire);
  const bool have_ahead =
      s.ahead_pos < s.ahead_ids.size() && s.ahead_dir == dir && s.ahead_generation == generation;
  if (!have_ahead) {
    if (const int code = Conn().BeforeUse(s.name); code != kNoError) return code;
    // A walk that starts, turns or follows a write reads one row (the due-task check and a
    // GET-like first read need no more); one that goes on reads kFirstBatch rows, then twice
    // as many at each read.
    const bool continuing = s.ahead_dir == dir && s.ahead_pos == s.ahead_ids.size() &&
                            !s.ahead_ids.empty() && s.ahead_generation == generation;
    const std::size_t cap = std::max<std::size_t>(
        1, std::min(kMaxBatch, kMaxBatchBytes / std::max<std::size_t>(1, def_.record_size)));
    s.batch = !continuing ? 1 : std::min(cap, s.batch <= 1 ? kFirstBatch : s.batch * 2);
    s.ahead_ids.clear();
    s.ahead_pos = 0;
    s.ahead_dir = dir;
    s.ahead_generation = generation;
    if (const int code = ReadAhead(s, dir); code != kNoError) return code;
    if (s.ahead_ids.empty()) {
      s.current = 0;
      s.anchor = dir > 0 ? kPastEndForward : kPastEndBackward;
      return Code(kNoRecord, s.name);
    }
  }
  std::memcpy(Buffer(), s.ahead.data() + s.ahead_pos * def_.record_size, def_.record_size);
  TakeCurrent(s, s.ahead_ids[s.ahead_pos]);
  ++s.ahead_pos;
  return Ok();
}

int ServerTable::TakeRow(TableState& s, const ServerResult& r) {
  if (!r.ok()) return ERRORCODE();
  if (r.rows() == 0) {
    s.current = 0;
    return Code(kRecordNotFound, s.name);
  }
  std::int64_t id = 0;
  ReadRow(r, 0, Buffer(), &id);
  TakeCurrent(s, id);
  s.ahead_ids.clear();
  s.ahead_pos = 0;
  return Ok();
}

int ServerTable::Get(int key) {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  ServerConnection& conn = Conn();
  if (const int code = conn.BeforeUse(s.name); code != kNoError) return code;
  std::vector<std::string> params;
  for (int f : comps_[static_cast<std::size_t>(key)])
    params.push_back(Value(f, Buffer(), Key(key).case_sensitive));
  TableState::Walk& get = GetSql(s, key);
  return TakeRow(s, conn.Run(get.sql, params, s.name, false, &get.prepared));
}

int ServerTable::GetPosition(std::int64_t position) {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  ServerConnection& conn = Conn();
  if (const int code = conn.BeforeUse(s.name); code != kNoError) return code;
  TableState::Walk& get = GetSql(s, -1);
  return TakeRow(s, conn.Run(get.sql, {std::to_string(position)}, s.name, false, &get.prepared));
}

int ServerTable::Reset(int key, std::int64_t position) {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  const std::vector<char> buffer(Buffer(), Buffer() + def_.record_size);
  if (const int code = GetPosition(position); code != kNoError) return code;
  s.key = key;
  UseFilter(s, {});
  s.anchor = kAtRecord;
  std::memcpy(Buffer(), buffer.data(), buffer.size());
  return Ok();
}

int ServerTable::FindDuplicateKey(TableState& s, std::int64_t except_id) {
  ServerConnection& conn = Conn();
  for (std::size_t k = 0; k < def_.keys.size(); ++k) {
    if (def_.keys[k].kind == KeyKind::Duplicates) continue;
    std::vector<std::string> params;
    for (int f : comps_[k]) params.push_back(Value(f, Buffer(), def_.keys[k].case_sensitive));
    params.push_back(std::to_string(except_id));
    ServerResult r =
        conn.Run("SELECT 1 FROM " + s.table + " WHERE " + KeyWhere(static_cast<int>(k), 1) +
                     " AND vx_pos <> $" + std::to_string(params.size()) + " LIMIT 1",
                 params, s.name);
    if (r.ok() && r.rows() > 0) return static_cast<int>(k);
  }
  return -1;
}

int ServerTable::Write(TableState& s, const std::string& sql,
                       const std::vector<std::string>& params, std::int64_t except_id,
                       ServerResult* out, bool guarded) {
  ServerConnection& conn = Conn();
  if (const int code = conn.BeforeWrite(s.streaming, s.name); code != kNoError) return code;
  conn.LockWait(file_.LockWaitMs());
  *out = conn.Run(sql, params, s.name, guarded);
  s.generation->fetch_add(1, std::memory_order_acq_rel);
  if (out->ok()) return Ok();
  const int code = ERRORCODE();
  if (code == kDuplicateKey) {
    const int saved_driver = FILEERRORCODE();
    const std::string saved_text = FILEERROR();
    s.duplicate_key = conn.in_transaction() && !guarded ? -1 : FindDuplicateKey(s, except_id);
    SetError(code, s.name, saved_driver, saved_text);
  }
  return code;
}

int ServerTable::Add() {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  s.duplicate_key = -1;
  if (s.read_only) return Code(kAccessDenied, s.name);
  std::string cols, marks;
  std::vector<std::string> params;
  for (std::size_t i = 0; i < def_.fields.size(); ++i) {
    cols += (i ? ", " : "") + Quote(def_.fields[i].name);
    marks += (i ? ", $" : "$") + std::to_string(i + 1);
    params.push_back(Value(static_cast<int>(i), Buffer(), true));
  }
  // A unique key that refuses the record writes nothing and leaves a transaction going.
  ServerResult r;
  const int code = Write(s,
                         "INSERT INTO " + s.table + " (" + cols + ") VALUES (" + marks +
                             ") ON CONFLICT DO NOTHING RETURNING vx_pos",
                         params, 0, &r, false);
  if (code != kNoError) return code;
  if (r.rows() == 0) {
    SetError(kDuplicateKey, s.name, 0, "a unique key holds these values already");
    s.duplicate_key = FindDuplicateKey(s, 0);
    return Code(kDuplicateKey, s.name);
  }
  s.current = std::strtoll(r.value(0, 0), nullptr, 10);
  return code;
}

int ServerTable::Put() {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  s.duplicate_key = -1;
  if (s.read_only) return Code(kAccessDenied, s.name);
  if (s.current == 0) return Code(kNoRecord, s.name);
  std::string sql = "UPDATE " + s.table + " SET ";
  std::vector<std::string> params;
  for (std::size_t i = 0; i < def_.fields.size(); ++i) {
    sql += (i ? ", " : "") + Quote(def_.fields[i].name) + " = $" + std::to_string(i + 1);
    params.push_back(Value(static_cast<int>(i), Buffer(), true));
  }
  params.push_back(std::to_string(s.current));
  sql += " WHERE vx_pos = $" + std::to_string(params.size());
  const bool unique = std::any_of(def_.keys.begin(), def_.keys.end(),
                                  [](const KeyDef& k) { return k.kind != KeyKind::Duplicates; });
  ServerResult r;
  const int code = Write(s, sql, params, s.current, &r, unique);
  if (code != kNoError) return code;
  if (r.NoRowChanged()) return Code(kRecordNotFound, s.name);
  return code;
}

int ServerTable::Delete() {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  if (s.read_only) return Code(kAccessDenied, s.name);
  if (s.current == 0) return Code(kNoRecord, s.name);
  ServerResult r;
  const int code = Write(s, "DELETE FROM " + s.table + " WHERE vx_pos = $1",
                         {std::to_string(s.current)}, 0, &r, false);
  if (code != kNoError) return code;
  s.current = 0;  // the walk's anchor keeps its place, so NEXT reads the record after it
  return r.NoRowChanged() ? Code(kRecordNotFound, s.name) : code;
}

int ServerTable::Empty() {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  if (s.read_only) return Code(kAccessDenied, s.name);
  s.current = 0;
  ServerResult r;
  return Write(s, "DELETE FROM " + s.table, {}, 0, &r, false);
}

std::int64_t ServerTable::Records() {
  TableState& s = state_.get();
  if (!s.open) {
    Code(kNotOpen, Name());
    return 0;
  }
  ServerConnection& conn = Conn();
  if (conn.BeforeUse(s.name) != kNoError) return 0;
  ServerResult r = conn.Run("SELECT count(*) FROM " + s.table, {}, s.name);
  if (!r.ok()) return 0;
  Ok();
  return std::strtoll(r.value(0, 0), nullptr, 10);
}

int ServerTable::Stream() {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  if (!s.streaming) Conn().AddStreamer();
  s.streaming = true;
  return Ok();
}

int ServerTable::Flush() {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  if (!s.streaming) return Ok();
  s.streaming = false;
  const int code = Conn().RemoveStreamer(s.name);
  return code == kNoError ? Ok() : code;
}

int ServerTable::AutoNumber(int key) {
  TableState& s = state_.get();
  if (!s.open) return Code(kNotOpen, Name());
  const std::vector<int>& comps = comps_[static_cast<std::size_t>(key)];
  if (comps.empty() || comps.back() < 0 || IsText(Field(comps.back()).type))
    return Code(kDriverError, s.name);
  ServerConnection& conn = Conn();
  if (const int code = conn.BeforeUse(s.name); code != kNoError) return code;
  // In a transaction the number is the caller's until it ends, as a file's writer lock makes
  // it: other programs numbering the table wait for that end, then number past the record.
  if (conn.in_transaction()) {
    conn.LockWait(file_.LockWaitMs());
    const std::int64_t lock = static_cast<std::int64_t>(std::hash<std::string>{}(s.raw_table));
    if (!conn.Run("SELECT pg_advisory_xact_lock($1)", {std::to_string(lock)}, s.name).ok())
      return ERRORCODE();
  }
  std::string sql = "SELECT max(" + Quote(Field(comps.back()).name) + ") FROM " + s.table;
  std::vector<std::string> params;
  for (std::size_t i = 0; i + 1 < comps.size(); ++i) {
    sql += (i ? " AND " : " WHERE ") + Expr(comps[i], Key(key).case_sensitive) + " = $" +
           std::to_string(i + 1);
    params.push_back(Value(comps[i], Buffer(), Key(key).case_sensitive));
  }
  ServerResult r = conn.Run(sql, params, s.name);
  if (!r.ok()) return ERRORCODE();
  const std::int64_t next = r.null(0, 0) ? 1 : std::strtoll(r.value(0, 0), nullptr, 10) + 1;
  SetFieldInteger(Field(comps.back()), Buffer(), next);
  return Ok();
}

FileState ServerTable::GetState() const {
  const TableState& s = state_.get();
  FileState out;
  out.key = s.key;
  out.anchor = s.anchor;
  out.anchor_id = s.anchor_id;
  out.anchor_record = s.anchor_record;
  out.equal_fields = s.equal_fields;
  out.equal_record = s.equal_record;
  out.current = s.current;
  out.buffer.assign(Buffer(), Buffer() + def_.record_size);
  return out;
}

void ServerTable::RestoreState(const FileState& st) {
  TableState& s = state_.get();
  s.key = st.key;
  s.anchor = st.anchor;
  s.anchor_id = st.anchor_id;
  s.anchor_record = st.anchor_record;
  UseFilter(s, st.equal_fields);
  s.equal_record = st.equal_record;
  s.current = st.current;
  s.ahead_ids.clear();
  s.ahead_pos = 0;
  if (st.buffer.size() == def_.record_size)
    std::memcpy(Buffer(), st.buffer.data(), def_.record_size);
}

}  // namespace

std::string ServerTableName(const std::string& stored_name) {
  const StoredName stored = ParseStoredName(stored_name, Driver::TopSpeed);
  std::string file = stored.path;
  if (const auto slash = file.rfind('/'); slash != std::string::npos) file.erase(0, slash + 1);
  if (const auto dot = file.rfind('.'); dot != std::string::npos && dot > 0) file.erase(dot);
  std::string name = file + "!" + (stored.table.empty() ? "UNNAMED" : stored.table);
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

std::shared_ptr<TableStore> MakeServerStore(const ServerSettings& settings) {
  return std::make_shared<ServerStore>(settings);
}

ServerConnection* InstalledServerConnection() {
  auto* store = dynamic_cast<ServerStore*>(InstalledTableStore());
  return store ? &store->Thread() : nullptr;
}

}  // namespace vx::storage
