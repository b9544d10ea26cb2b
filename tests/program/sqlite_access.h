// Direct access to a data file for tests that damage or inspect it behind the storage engine.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

namespace vx::test {

class SqliteDb {
 public:
  explicit SqliteDb(const std::string& path) {
    EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK);
  }
  ~SqliteDb() { sqlite3_close(db_); }
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  void Exec(const std::string& sql) {
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
    sqlite3_free(error);
  }
  // The first column of the first row, as text ("" when none).
  std::string Text(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    std::string out;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
      const unsigned char* t = sqlite3_column_text(stmt, 0);
      if (t) out = reinterpret_cast<const char*>(t);
    }
    sqlite3_finalize(stmt);
    return out;
  }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace vx::test
