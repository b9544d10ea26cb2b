#include "runtime/storage/data_file_copy.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <memory>
#include <system_error>

#include "runtime/storage/stored_name.h"

namespace vx::storage {
namespace {

std::string Quoted(std::string_view name, char quote) {
  std::string out(1, quote);
  for (const char c : name) {
    if (c == quote) out += quote;
    out += c;
  }
  return out + quote;
}

using Connection = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

Connection Open(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  Connection out(db, sqlite3_close);
  if (rc != SQLITE_OK) out.reset();
  return out;
}

bool HasTable(sqlite3* db, const std::string& table) {
  sqlite3_stmt* stmt = nullptr;
  bool found = false;
  if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1", -1,
                         &stmt, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    found = sqlite3_step(stmt) == SQLITE_ROW;
  }
  sqlite3_finalize(stmt);
  return found;
}

std::string TableOf(const TableDef& def) {
  const StoredName stored = ParseStoredName(def.StoredName(), def.driver);
  return stored.table.empty() ? "UNNAMED" : stored.table;
}

}  // namespace

bool CopyDataFileBlanking(const TableDef& table, const std::filesystem::path& target,
                          const std::vector<BlankedFields>& blanked) {
  const StoredName stored = ParseStoredName(table.StoredName(), table.driver);
  const std::string source = ResolveOnDisk(stored.path);
  std::error_code ec;
  if (!std::filesystem::exists(source, ec)) return false;
  std::filesystem::remove(target, ec);
  {
    // VACUUM INTO writes one consistent snapshot, the write-ahead log included.
    Connection from = Open(source, SQLITE_OPEN_READONLY);
    if (!from) return false;
    sqlite3_busy_timeout(from.get(), 10000);
    const std::string sql = "VACUUM INTO " + Quoted(target.string(), '\'');
    if (sqlite3_exec(from.get(), sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return false;
  }
  ::chmod(target.c_str(), 0600);
  Connection copy = Open(target.string(), SQLITE_OPEN_READWRITE);
  if (!copy) return false;
  // Emptied texts must not linger in the file's free pages either.
  sqlite3_exec(copy.get(), "PRAGMA secure_delete = ON", nullptr, nullptr, nullptr);
  for (const BlankedFields& b : blanked) {
    const std::string name = TableOf(*b.table);
    if (!HasTable(copy.get(), name)) continue;
    for (const std::string& field : b.fields) {
      std::string sql = "UPDATE " + Quoted(name, '"') + " SET " + Quoted(field, '"') + " = ''";
      if (!b.where_field.empty()) {
        sql += " WHERE " + Quoted(b.where_field, '"') + " = " + Quoted(b.where_value, '\'') +
               " COLLATE NOCASE";
      }
      if (sqlite3_exec(copy.get(), sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        copy.reset();
        std::filesystem::remove(target, ec);  // never hand out a copy that still holds them
        return false;
      }
    }
  }
  // The copy must be whole in itself (no journal beside it) and compact.
  return sqlite3_exec(copy.get(), "PRAGMA journal_mode = DELETE; VACUUM", nullptr, nullptr,
                      nullptr) == SQLITE_OK;
}

}  // namespace vx::storage
