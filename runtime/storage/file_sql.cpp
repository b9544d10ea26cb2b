#include <algorithm>
#include <cctype>

#include "runtime/storage/data_file_check.h"
#include "runtime/storage/file_internal.h"
#include "runtime/storage/record_codec.h"

namespace vx::storage {

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
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Sets the thread's error from a SQLite result and returns the runtime code.
int Fail(int rc, const std::string& name, sqlite3* db) {
  int code = kDriverError;
  switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      code = kIsLocked;
      break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      code = kAccessDenied;
      break;
    case SQLITE_CONSTRAINT:
      if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
        code = kDuplicateKey;
      break;
    default:
      break;
  }
  const std::string text = rc == kForeignDatabase            ? kForeignDatabaseText
                           : db && sqlite3_errcode(db) == rc ? sqlite3_errmsg(db)
                                                             : sqlite3_errstr(rc);
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

std::string FileOps::ColumnExpr(int field, bool case_sensitive) const {
  const FieldDef& f = def.fields[static_cast<std::size_t>(field)];
  std::string expr = Quote(f.name);
  if (IsText(f.type) && !case_sensitive) expr += " COLLATE NOCASE";
  return expr;
}

int FileOps::FieldIndex(const std::string& name) const {
  for (std::size_t i = 0; i < def.fields.size(); ++i) {
    if (SameNoCase(def.fields[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

std::vector<int> FileOps::Components(const KeyDef& key) const {
  std::vector<int> out;
  for (const KeyComponent& c : key.components) out.push_back(FieldIndex(c.field));
  return out;
}

const std::vector<int>& FileOps::KeyFields(int key_index) {
  return file.KeyFieldIndexes()[static_cast<std::size_t>(key_index)];
}

std::string FileOps::OptionalCondition(const KeyDef& key) const {
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

std::string FileOps::CreateIndexSql(const KeyDef& key) const {
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

std::string FileOps::CreateTableSql() const {
  std::string sql = "CREATE TABLE " + Quote(s.table) + " (";
  for (std::size_t i = 0; i < def.fields.size(); ++i) {
    if (i) sql += ", ";
    sql += Quote(def.fields[i].name) + " " + ColumnType(def.fields[i]);
  }
  return sql + ")";
}

std::string FileOps::SelectColumns() const {
  std::string cols = "SELECT rowid";
  for (const FieldDef& f : def.fields) cols += ", " + Quote(f.name);
  return cols + " FROM " + Quote(s.table);
}

sqlite3_stmt* FileOps::Statement(const StatementKey& k) {
  if (auto it = s.statements.find(k); it != s.statements.end()) return it->second;
  // A walk's filter number is this thread's own: the slot names the filter's fields instead.
  Connection::StatementSlot slot{{k.kind, k.key, k.level, k.backward}, {}};
  if (k.filter >= 0) slot.equal_fields = s.filters[static_cast<std::size_t>(k.filter)];
  sqlite3_stmt* stmt = s.conn->SlotStatement(file.id(), s.table, slot);
  if (!stmt) {
    stmt = s.conn->Prepare(BuildSql(k));
    if (stmt) s.conn->KeepSlotStatement(file.id(), s.table, slot, stmt);
  }
  if (stmt) s.statements.emplace(k, stmt);
  return stmt;
}

std::string FileOps::BuildSql(const StatementKey& k) const {
  switch (k.kind) {
    case kInsert: {
      std::string cols, marks;
      for (std::size_t i = 0; i < def.fields.size(); ++i) {
        if (i) {
          cols += ", ";
          marks += ", ";
        }
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
    case kDeleteById:
      return "DELETE FROM " + Quote(s.table) + " WHERE rowid = ?";
    case kCount:
      return "SELECT count(*) FROM " + Quote(s.table);
    case kGetById:
      return SelectColumns() + " WHERE rowid = ?";
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
      std::string sql = "SELECT max(" +
                        Quote(def.fields[static_cast<std::size_t>(comps.back())].name) + ") FROM " +
                        Quote(s.table);
      for (std::size_t i = 0; i + 1 < comps.size(); ++i) {
        sql += i == 0 ? " WHERE " : " AND ";
        sql += ColumnExpr(comps[i], key.case_sensitive) + " = ?";
      }
      return sql;
    }
    case kWalk:
      return WalkSql(k);
    default:
      return {};
  }
}

bool FileOps::RowValueWalk(int key_index) {
  if (key_index < 0 || s.filter >= 0) return false;
  const KeyDef& key = def.keys[static_cast<std::size_t>(key_index)];
  if (key.optional) return false;
  const std::vector<int>& fields = KeyFields(key_index);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const int f = fields[i];
    if (key.components[i].descending || f < 0 ||
        IsText(def.fields[static_cast<std::size_t>(f)].type))
      return false;
  }
  return true;
}

std::string FileOps::WalkSql(const StatementKey& k) const {
  const bool back = k.backward != 0;
  std::vector<std::string> where;
  std::string order;
  if (k.key < 0) {
    if (k.level >= 0) where.push_back(back ? "rowid < ?" : "rowid > ?");
    order = back ? "rowid DESC" : "rowid";
  } else if (k.level == kRowValueLevel) {
    // One comparison of the components against bound values: a single index search where the
    // key allows it (see RowValueWalk).
    const KeyDef& key = def.keys[static_cast<std::size_t>(k.key)];
    std::string cols, marks;
    for (int f : Components(key)) {
      cols += (cols.empty() ? "" : ", ") + ColumnExpr(f, key.case_sensitive);
      marks += marks.empty() ? "?" : ", ?";
      order += ColumnExpr(f, key.case_sensitive) + (back ? " DESC, " : ", ");
    }
    where.push_back("(" + cols + ") " + (back ? "<=" : ">=") + " (" + marks + ")");
    order += back ? "rowid DESC" : "rowid";
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
    const bool case_sensitive =
        k.key < 0 || def.keys[static_cast<std::size_t>(k.key)].case_sensitive;
    for (int f : s.filters[static_cast<std::size_t>(k.filter)])
      where.push_back(ColumnExpr(f, case_sensitive) + " = ?");
  }
  std::string sql = SelectColumns();
  for (std::size_t i = 0; i < where.size(); ++i) sql += (i == 0 ? " WHERE " : " AND ") + where[i];
  return sql + " ORDER BY " + order + " LIMIT ?";
}

void FileOps::ReadRow(sqlite3_stmt* stmt, char* record, std::int64_t* id) const {
  *id = sqlite3_column_int64(stmt, 0);
  for (std::size_t i = 0; i < def.fields.size(); ++i)
    ReadField(stmt, static_cast<int>(i) + 1, def.fields[i], record);
}

int FileOps::Use() {
  const int rc = s.conn->BeforeUse();
  return rc == SQLITE_OK ? kNoError : Fail(rc, s.name, s.conn->db());
}

}  // namespace vx::storage
