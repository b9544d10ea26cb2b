// Data files damaged as a disk or a crash damages them, for tests of what the program then does:
// an index's page scribbled over, a file cut off, its header overwritten, another program's
// database, and an empty database of ours to stand where the program expects one.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "runtime/storage/data_file_check.h"

namespace vx::test {

inline std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs `sql` on the SQLite file at `path` outside the engine; answers SQLite's result.
inline int RunSql(const std::filesystem::path& path, const std::string& sql) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open(path.c_str(), &db);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return rc;
}

// An empty database of ours: the place of a data folder's database that holds no table yet.
inline void MakeEmptyDatabase(const std::filesystem::path& path) {
  RunSql(path, "PRAGMA application_id=" + std::to_string(storage::kDataFileApplicationId));
}

// Overwrites the first page of index `index` (its b-tree header) with bytes no page holds, so
// every read through the index fails as "malformed" while the table's rows stay whole. The file
// must not be open, so that its write-ahead log has gone into it. Answers whether it was found.
inline bool DamageIndex(const std::filesystem::path& path, const std::string& index) {
  sqlite3* db = nullptr;
  long long root = 0, page_size = 0;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* q = nullptr;
    const std::string sql =
        "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_master "
        "WHERE type = 'index' AND name = ?";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &q, nullptr) == SQLITE_OK) {
      sqlite3_bind_text(q, 1, index.c_str(), -1, SQLITE_TRANSIENT);
      if (sqlite3_step(q) == SQLITE_ROW) {
        root = sqlite3_column_int64(q, 0);
        page_size = sqlite3_column_int64(q, 1);
      }
    }
    sqlite3_finalize(q);
  }
  sqlite3_close(db);
  if (root <= 1 || page_size == 0) return false;
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp((root - 1) * page_size);
  const std::string garbage(16, '\xff');
  file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  return static_cast<bool>(file);
}

// Overwrites `bytes` at `offset` of the file.
inline void Scribble(const std::filesystem::path& path, std::streamoff offset,
                     const std::string& bytes) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(offset);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace vx::test
