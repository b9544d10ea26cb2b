// The pre-update hook is part of the system's SQLite library; its header declares it only when
// asked to.
#define SQLITE_ENABLE_PREUPDATE_HOOK 1

#include "runtime/storage/change_capture.h"

#include <algorithm>
#include <cstring>

#include "runtime/storage/file_internal.h"

namespace vx::storage {

bool StoredValue::operator==(const StoredValue& other) const {
  if (type != other.type) return false;
  switch (type) {
    case SQLITE_INTEGER:
      return integer == other.integer;
    case SQLITE_FLOAT:
      return std::memcmp(&real, &other.real, sizeof real) == 0;
    case SQLITE_TEXT:
    case SQLITE_BLOB:
      return bytes == other.bytes;
    default:
      return true;
  }
}

namespace {

StoredValue FromParts(int type, std::int64_t integer, double real, const void* data, int size) {
  StoredValue v;
  v.type = type;
  if (type == SQLITE_INTEGER) v.integer = integer;
  if (type == SQLITE_FLOAT) v.real = real;
  if ((type == SQLITE_TEXT || type == SQLITE_BLOB) && data && size > 0) {
    v.bytes.assign(static_cast<const char*>(data), static_cast<std::size_t>(size));
  }
  return v;
}

}  // namespace

StoredValue ValueOf(sqlite3_value* value) {
  const int type = sqlite3_value_type(value);
  // The pointer is taken before the size, as SQLite asks.
  const void* data = type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_value_text(value))
                                         : sqlite3_value_blob(value);
  return FromParts(type, sqlite3_value_int64(value), sqlite3_value_double(value), data,
                   sqlite3_value_bytes(value));
}

StoredValue ColumnValue(sqlite3_stmt* stmt, int column) {
  const int type = sqlite3_column_type(stmt, column);
  const void* data = type == SQLITE_TEXT
                         ? static_cast<const void*>(sqlite3_column_text(stmt, column))
                         : sqlite3_column_blob(stmt, column);
  return FromParts(type, sqlite3_column_int64(stmt, column), sqlite3_column_double(stmt, column),
                   data, sqlite3_column_bytes(stmt, column));
}

int BindValue(sqlite3_stmt* stmt, int parameter, const StoredValue& value) {
  switch (value.type) {
    case SQLITE_INTEGER:
      return sqlite3_bind_int64(stmt, parameter, value.integer);
    case SQLITE_FLOAT:
      return sqlite3_bind_double(stmt, parameter, value.real);
    case SQLITE_TEXT:
      return sqlite3_bind_text(stmt, parameter, value.bytes.data(),
                               static_cast<int>(value.bytes.size()), SQLITE_TRANSIENT);
    case SQLITE_BLOB:
      return sqlite3_bind_blob(stmt, parameter, value.bytes.data(),
                               static_cast<int>(value.bytes.size()), SQLITE_TRANSIENT);
    default:
      return sqlite3_bind_null(stmt, parameter);
  }
}

void ChangeCapture::Start(sqlite3* db) {
  if (db_ == db) return;
  Stop();
  db_ = db;
  sqlite3_preupdate_hook(db_, &ChangeCapture::Hook, this);
}

void ChangeCapture::Stop() {
  if (db_) sqlite3_preupdate_hook(db_, nullptr, nullptr);
  db_ = nullptr;
  tables_.clear();
  before_.clear();
}

std::size_t ChangeCapture::TableIndex(const char* name) {
  for (std::size_t i = 0; i < tables_.size(); ++i) {
    if (tables_[i] == name) return i;
  }
  tables_.emplace_back(name);
  return tables_.size() - 1;
}

// Only a row's first change keeps its values: they are the ones from before the transaction.
void ChangeCapture::Note(std::size_t table, std::int64_t rowid, bool existed) {
  const Key key{table, rowid};
  if (before_.count(key)) return;
  std::optional<RowImage> image;
  if (existed) {
    image.emplace();
    const int columns = sqlite3_preupdate_count(db_);
    image->reserve(static_cast<std::size_t>(columns));
    for (int i = 0; i < columns; ++i) {
      sqlite3_value* value = nullptr;
      sqlite3_preupdate_old(db_, i, &value);
      image->push_back(value ? ValueOf(value) : StoredValue{});
    }
  }
  before_.emplace(key, std::move(image));
}

void ChangeCapture::Hook(void* self, sqlite3* /*db*/, int op, const char* schema, const char* table,
                         sqlite3_int64 old_rowid, sqlite3_int64 new_rowid) {
  if (std::strcmp(schema, "main") != 0 || std::strncmp(table, "sqlite_", 7) == 0) return;
  auto* capture = static_cast<ChangeCapture*>(self);
  const std::size_t index = capture->TableIndex(table);
  if (op == SQLITE_INSERT) {
    capture->Note(index, new_rowid, false);
    return;
  }
  capture->Note(index, old_rowid, true);
  // An update that moves a row to another rowid makes that one, which was free before.
  if (op == SQLITE_UPDATE && new_rowid != old_rowid) capture->Note(index, new_rowid, false);
}

int ChangeCapture::NetChanges(std::vector<TableChanges>* out) const {
  out->clear();
  for (std::size_t t = 0; t < tables_.size(); ++t) {
    TableChanges changes;
    changes.table = tables_[t];
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(
        db_, ("SELECT * FROM " + Quote(changes.table) + " WHERE rowid = ?").c_str(), -1, &stmt,
        nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_finalize(stmt);
      return rc;
    }
    const int columns = sqlite3_column_count(stmt);
    for (int i = 0; i < columns; ++i) changes.columns.emplace_back(sqlite3_column_name(stmt, i));
    for (const auto& [key, before] : before_) {
      if (key.table != t) continue;
      sqlite3_bind_int64(stmt, 1, key.rowid);
      RowChange row{key.rowid, before, std::nullopt};
      rc = sqlite3_step(stmt);
      if (rc == SQLITE_ROW) {
        row.after.emplace();
        for (int i = 0; i < columns; ++i) row.after->push_back(ColumnValue(stmt, i));
        rc = SQLITE_DONE;
      }
      sqlite3_reset(stmt);
      if (rc != SQLITE_DONE) {
        sqlite3_finalize(stmt);
        return rc;
      }
      if (row.before != row.after) changes.rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    std::sort(changes.rows.begin(), changes.rows.end(),
              [](const RowChange& a, const RowChange& b) { return a.rowid < b.rowid; });
    if (!changes.rows.empty()) out->push_back(std::move(changes));
  }
  return SQLITE_OK;
}

}  // namespace vx::storage
