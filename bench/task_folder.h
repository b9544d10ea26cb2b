// A scratch data folder for benchmarks, made current, with the data library loaded and the
// task table filled: `dated` future tasks (a quarter of them switched off) and `undated`
// enabled tasks with neither date nor time, which come first in the tick's walk. The table is
// left open on the calling thread. Removed again when the object goes.
//
// SharedTaskFolder keeps one folder for the program's benchmarks, so that a table of a
// million tasks is filled once and only the undated tasks change between benchmarks.
//
// `twin` is a copy of the data file for plain-SQLite twins: on the same file, a plain reader
// would share the read locks the engine's walks hold, and skip the lock calls it pays alone.
#pragma once

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "runtime/storage/stored_name.h"

namespace vx::bench {

// The data file of a stored table and the table inside it.
inline std::pair<std::string, std::string> StoredFile(const storage::TableDef& def) {
  const storage::StoredName stored = storage::ParseStoredName(def.StoredName(), def.driver);
  return {storage::ResolveOnDisk(stored.path), stored.table};
}

inline std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

inline void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string text = error ? error : "?";
    sqlite3_free(error);
    throw std::runtime_error(text + " in " + sql);
  }
}

struct TaskFolder {
  TaskFolder(int dated, std::int32_t today, int undated = 0) : dated(dated) {
    char pattern[] = "/tmp/vx-bench-tasks-XXXXXX";
    path = mkdtemp(pattern);
    std::filesystem::current_path(path);
    VX_Files_Load();
    // One task through the engine makes the file and its keys as the program has them; the
    // rest are copies of it made by SQL, with the keys built once at the end, so that a
    // million tasks take seconds rather than minutes.
    ACCESS_SCHEDULE->Open();
    SCH = SCHEDULE_RECORD{};
    SCH.TaskType = "Run Program";
    SCH.ScheduleType = "Day of Week";
    ACCESS_SCHEDULE->Insert();
    ACCESS_SCHEDULE->Close();
    Fill(dated, today);
    Copy();
    ACCESS_SCHEDULE->Open();
    SetUndated(undated);
  }
  ~TaskFolder() {
    ACCESS_SCHEDULE->Close();
    std::filesystem::current_path("/");
    VX_Files_Unload();
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  TaskFolder(const TaskFolder&) = delete;
  TaskFolder& operator=(const TaskFolder&) = delete;

  // Makes the undated tasks `count` enabled tasks with ids after the dated ones.
  void SetUndated(int count) {
    if (count == undated) return;
    ACCESS_SCHEDULE->Close();
    const auto [file, table] = StoredFile(SCHEDULE_TABLE());
    sqlite3* db = Open(file);
    Exec(db, "BEGIN IMMEDIATE; DELETE FROM " + Quoted(table) + " WHERE \"ID\" > " +
                 std::to_string(dated));
    if (count > 0) {
      Exec(db, "WITH RECURSIVE n(i) AS (SELECT " + std::to_string(dated + 1) +
                   " UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(dated + count) +
                   ") " + Copies(table, "t.\"ID\" = 1", "0", "0", "0"));
    }
    Exec(db, "COMMIT");
    sqlite3_close(db);
    undated = count;
    Copy();
    ACCESS_SCHEDULE->Open();
  }

  std::string path;
  std::string twin;
  const int dated;
  int undated = 0;

 private:
  // Copies the data file, closed by every connection so that it holds all that was written.
  void Copy() {
    twin = path + "/twin.sqlite";
    std::filesystem::copy_file(StoredFile(SCHEDULE_TABLE()).first, twin,
                               std::filesystem::copy_options::overwrite_existing);
  }

  static sqlite3* Open(const std::string& file) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      sqlite3_close(db);
      throw std::runtime_error("cannot open " + file);
    }
    return db;
  }

  // Replaces the one record by `dated` tasks with ids 1..dated.
  static void Fill(int dated, std::int32_t today) {
    const auto [file, table] = StoredFile(SCHEDULE_TABLE());
    sqlite3* db = Open(file);
    Exec(db, "PRAGMA synchronous=OFF; BEGIN IMMEDIATE");
    std::vector<std::string> keys;
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(db, "SELECT sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ?",
                       -1, &q, nullptr);
    sqlite3_bind_text(q, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(q) == SQLITE_ROW)
      keys.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(q, 0)));
    sqlite3_finalize(q);
    for (const storage::KeyDef& key : SCHEDULE_TABLE().keys)
      Exec(db, "DROP INDEX " + Quoted(table + "!" + key.name));

    const std::string copy = Copies(table, "t.rowid = 1", "(n.i % 4 = 0)",
                                    std::to_string(today + 1) + " + (n.i * 7919) % 3650",
                                    "1 + (n.i * 104729) % 8640000");
    Exec(db, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                 std::to_string(dated) + ") " + copy);
    Exec(db, "DELETE FROM " + Quoted(table) + " WHERE rowid = 1");
    for (const std::string& sql : keys) Exec(db, sql);
    Exec(db, "COMMIT");
    sqlite3_close(db);
  }

  // INSERT ... SELECT of copies of the record that `model` picks (as t), one per row of n(i),
  // with the given expressions for the switch, the date and the time.
  static std::string Copies(const std::string& table, const std::string& model,
                            const std::string& disabled, const std::string& date,
                            const std::string& time) {
    std::string columns, values;
    for (const storage::FieldDef& field : SCHEDULE_TABLE().fields) {
      std::string value = "t." + Quoted(field.name);
      if (field.name == "ID") value = "n.i";
      if (field.name == "Disabled") value = disabled;
      if (field.name == "Date") value = date;
      if (field.name == "Time") value = time;
      if (field.name == "Description") value = "'Task ' || n.i";
      columns += (columns.empty() ? "" : ", ") + Quoted(field.name);
      values += (values.empty() ? "" : ", ") + value;
    }
    return "INSERT INTO " + Quoted(table) + " (" + columns + ") SELECT " + values + " FROM n, " +
           Quoted(table) + " AS t WHERE " + model;
  }
};

// The program's one task folder with `dated` tasks and `undated` in front of them; a folder of
// another size replaces it. The last one is never destroyed, since at exit the threads' open
// tables are gone before any static object: only its files are removed then.
inline TaskFolder& SharedTaskFolder(int dated, std::int32_t today, int undated) {
  struct Remover {
    std::string path;
    ~Remover() {
      std::error_code ec;
      if (!path.empty()) std::filesystem::remove_all(path, ec);
    }
  };
  static Remover remover;
  static TaskFolder* folder = nullptr;
  if (!folder || folder->dated != dated) {
    delete folder;
    folder = new TaskFolder(dated, today);
    remover.path = folder->path;
  }
  folder->SetUndated(undated);
  return *folder;
}

}  // namespace vx::bench
