#include "program/tools/data_maintenance.h"

#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <system_error>

#include "program/tools/data_backup.h"

namespace fs = std::filesystem;

namespace vx {
namespace {

constexpr std::size_t kStepsPerFile = 3;  // check, rebuild keys and check again, compact and count
constexpr int kMessagesKept = 3;          // integrity messages reported per file

bool IsDatabase(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char header[16] = {};
  in.read(header, sizeof header);
  return in && std::string(header, sizeof header) == std::string("SQLite format 3\0", 16);
}

std::uintmax_t SizeOf(const fs::path& file) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  return error ? 0 : size;
}

// The rows of a statement's first column, as text.
std::vector<std::string> Column(sqlite3* db, const std::string& sql, int& rc) {
  std::vector<std::string> rows;
  sqlite3_stmt* statement = nullptr;
  rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
  while (rc == SQLITE_OK || rc == SQLITE_ROW) {
    rc = sqlite3_step(statement);
    if (rc != SQLITE_ROW) break;
    const unsigned char* text = sqlite3_column_text(statement, 0);
    rows.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
  }
  sqlite3_finalize(statement);
  if (rc == SQLITE_DONE) rc = SQLITE_OK;
  return rows;
}

// The integrity check's complaints; empty when the file is sound.
std::vector<std::string> Damage(sqlite3* db, int& rc) {
  std::vector<std::string> rows =
      Column(db, "PRAGMA integrity_check(" + std::to_string(kMessagesKept) + ")", rc);
  if (rc == SQLITE_OK && rows.size() == 1 && rows.front() == "ok") rows.clear();
  return rows;
}

std::string Joined(const std::vector<std::string>& rows) {
  std::string text;
  for (const std::string& row : rows) text += (text.empty() ? "" : "; ") + row;
  return text;
}

std::string Quoted(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// Whether every record of every table reads in file order, past the keys: damage only in the
// keys can then be mended from the records.
bool RecordsRead(sqlite3* db, std::string& why) {
  int rc = SQLITE_OK;
  const std::vector<std::string> tables =
      Column(db, "SELECT name FROM sqlite_master WHERE type = 'table'", rc);
  if (rc != SQLITE_OK) {
    why = sqlite3_errmsg(db);
    return false;
  }
  for (const std::string& table : tables) {
    sqlite3_stmt* statement = nullptr;
    const std::string sql = "SELECT * FROM " + Quoted(table) + " NOT INDEXED";
    rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) rc = sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE) {
      why = "the records of " + table + " cannot be read: " + sqlite3_errmsg(db);
      return false;
    }
  }
  return true;
}

// Keys whose pages are too damaged for REINDEX (it must read a key's pages to empty them) are
// made anew from the records: the keys are taken out of the schema as they are, created again
// from their own definitions, and the pages the old ones held are dropped by compacting (with the
// keys in place, so that compacting keeps every record's id). Only done when every record reads;
// a copy of the damaged file is kept in the folder's backups first. `db` is opened again on the
// way. Answers whether it was done; `why` says what stopped it.
bool RebuildKeysFromRecords(const fs::path& path, sqlite3*& db, std::string& why) {
  if (!RecordsRead(db, why)) return false;
  const BackupOutcome kept = BackUpDataFiles(path.parent_path(), {path.filename().string()});
  if (!kept.ok()) {
    why = "no copy of it could be kept before mending it" +
          (kept.error.empty() ? "" : ": " + kept.error);
    return false;
  }
  int rc = SQLITE_OK;
  const std::vector<std::string> keys =
      Column(db, "SELECT sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL", rc);
  if (rc == SQLITE_OK) {
    rc =
        sqlite3_exec(db,
                     "PRAGMA writable_schema=ON; BEGIN IMMEDIATE; DELETE FROM sqlite_master "
                     "WHERE type = 'index' AND sql IS NOT NULL; COMMIT; PRAGMA writable_schema=OFF",
                     nullptr, nullptr, nullptr);
  }
  if (rc != SQLITE_OK) {
    why = std::string("the keys cannot be taken out: ") + sqlite3_errmsg(db);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  }
  // Opened again, so that the schema without the keys is the one in use. Should this stop
  // half-way, VX rebuilds a missing key itself when it opens the table.
  sqlite3_close(db);
  db = nullptr;
  rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) sqlite3_busy_timeout(db, 10000);
  std::string sql = "BEGIN IMMEDIATE;";
  for (const std::string& key : keys) sql += key + ";";
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, (sql + "COMMIT").c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    why = std::string("the keys cannot be made again: ") + sqlite3_errmsg(db);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  }
  if (sqlite3_exec(db, "VACUUM", nullptr, nullptr, nullptr) != SQLITE_OK) {
    why = std::string("the old keys' pages cannot be given back: ") + sqlite3_errmsg(db);
    return false;
  }
  return true;
}

void Maintain(const fs::path& path, MaintenanceReport& report, std::size_t& step, std::size_t total,
              const MaintenanceProgress& progress) {
  const std::string name = path.filename().string();
  const auto problem = [&](const std::string& what) {
    report.problems.push_back(name + ": " + what);
  };
  const auto tell = [&](const std::string& what) {
    if (progress) progress(step, total, what + " " + name);
    ++step;
  };
  sqlite3* db = nullptr;
  const std::size_t first_step = step;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    problem(std::string("cannot be opened: ") + sqlite3_errmsg(db));
    sqlite3_close(db);
    step = first_step + kStepsPerFile;
    return;
  }
  sqlite3_busy_timeout(db, 10000);
  int rc = SQLITE_OK;
  tell("Checking");
  const std::vector<std::string> damage = Damage(db, rc);
  if (rc != SQLITE_OK) problem(std::string("cannot be checked: ") + sqlite3_errmsg(db));

  tell("Rebuilding the keys of");
  const bool checked = rc == SQLITE_OK;
  std::string reindex_error;
  if (checked && sqlite3_exec(db, "REINDEX", nullptr, nullptr, nullptr) != SQLITE_OK) {
    reindex_error = sqlite3_errmsg(db);
  }
  bool sound = checked && damage.empty() && reindex_error.empty();
  if (checked && !sound) {
    const std::vector<std::string> found =
        damage.empty() ? std::vector<std::string>{reindex_error} : damage;
    std::vector<std::string> left = reindex_error.empty() ? Damage(db, rc) : found;
    std::string why;
    if (rc == SQLITE_OK && !left.empty() && RebuildKeysFromRecords(path, db, why)) {
      left = Damage(db, rc);
    }
    if (rc == SQLITE_OK && left.empty()) {
      report.repaired.push_back(name + ": " + Joined(found));
      sound = true;
    } else if (rc == SQLITE_OK) {
      problem("damaged: " + Joined(left) + (why.empty() ? "" : "; " + why));
    } else {
      problem(std::string("cannot be checked: ") + sqlite3_errmsg(db));
    }
  }

  tell("Compacting");
  // A damaged file is left as it is: compacting copies it, and what it cannot read it would lose.
  if (sound && sqlite3_exec(db, "VACUUM", nullptr, nullptr, nullptr) != SQLITE_OK) {
    problem(std::string("cannot be compacted: ") + sqlite3_errmsg(db));
  }
  const std::vector<std::string> tables =
      Column(db,
             "SELECT name FROM sqlite_master WHERE type = 'table' AND "
             "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name",
             rc);
  for (const std::string& table : tables) {
    const std::vector<std::string> count = Column(db, "SELECT count(*) FROM " + Quoted(table), rc);
    if (rc != SQLITE_OK || count.empty()) {
      problem("the records of " + table + " cannot be counted");
      continue;
    }
    report.tables.push_back({name, table, std::stoll(count.front())});
  }
  sqlite3_close(db);
  step = first_step + kStepsPerFile;
}

}  // namespace

std::vector<fs::path> DataFiles(const fs::path& data) {
  std::vector<fs::path> files;
  std::error_code error;
  for (fs::directory_iterator it(data, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error) && IsDatabase(it->path())) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

MaintenanceReport MaintainDataFiles(const fs::path& data, const MaintenanceProgress& progress) {
  MaintenanceReport report;
  const std::vector<fs::path> files = DataFiles(data);
  const std::size_t total = files.size() * kStepsPerFile;
  std::size_t step = 0;
  for (const fs::path& file : files) {
    report.files.push_back(file.filename().string());
    report.bytes_before += SizeOf(file);
    Maintain(file, report, step, total, progress);
    report.bytes_after += SizeOf(file);
  }
  if (progress) progress(total, total, "Done");
  return report;
}

std::string MaintenanceSummary(const MaintenanceReport& report) {
  if (report.files.empty()) return "There are no data files in this folder.";
  const std::string files = std::to_string(report.files.size()) +
                            (report.files.size() == 1 ? " data file" : " data files");
  if (!report.ok()) {
    return "Problems were found in the " + files + ": " + Joined(report.problems) +
           ".  Restore a backup (File, Backup/Restore in VX) if VX cannot read its data.";
  }
  std::string text = (report.files.size() == 1 ? "The data file is" : "All " + files + " are") +
                     " sound: keys rebuilt, " + ByteSize(report.bytes_before) + " compacted to " +
                     ByteSize(report.bytes_after) + ".";
  if (!report.repaired.empty())
    text += "  Rebuilding the keys mended " + Joined(report.repaired) + ".";
  return text;
}

}  // namespace vx
