#include "runtime/storage/data_file_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "runtime/storage/sqlite_session.h"

namespace vx::storage {
namespace {

constexpr std::string_view kMagic{"SQLite format 3\0", 16};
constexpr std::size_t kHeaderSize = 100;

std::uint32_t BigEndian(const unsigned char* at, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | at[i];
  return value;
}

std::string Absolute(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

// What SQLite's header says of the file: why it cannot be a database, or why it has been cut
// off; empty when the header is sound.
std::string HeaderProblem(const unsigned char* header, std::uintmax_t size, bool has_log) {
  std::uint32_t page_size = BigEndian(header + 16, 2);
  if (page_size == 1) page_size = 65536;
  if (page_size < 512 || (page_size & (page_size - 1)) != 0) return "its header is damaged";
  // A write-ahead log left beside it may still hold the pages the file lacks.
  if (has_log) return {};
  // SQLite writes whole pages; the page count in the header holds only when it was written with
  // the change counter (a log-mode file may count fewer pages than it has, never more).
  const std::uint32_t pages = BigEndian(header + 28, 4);
  const bool count_valid = BigEndian(header + 24, 4) == BigEndian(header + 92, 4);
  const std::uintmax_t expected = count_valid ? std::uintmax_t{pages} * page_size : 0;
  if (size % page_size != 0 || size < expected) {
    return "it has been cut off (" + std::to_string(size) + " bytes" +
           (size < expected ? " of " + std::to_string(expected) : std::string()) + ")";
  }
  return {};
}

}  // namespace

bool MeansDamage(int driver_code) {
  return (driver_code & 0xff) == SQLITE_CORRUPT || driver_code == SQLITE_NOTADB;
}

int ReadDataFileOwner(sqlite3* db, DataFileOwner* owner) {
  sqlite3_stmt* id_query = nullptr;
  int rc = sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &id_query, nullptr);
  std::int64_t id = 0;
  if (rc == SQLITE_OK && (rc = sqlite3_step(id_query)) == SQLITE_ROW) {
    id = sqlite3_column_int64(id_query, 0);
    rc = SQLITE_OK;
  }
  sqlite3_finalize(id_query);
  if (rc != SQLITE_OK) return rc;

  // Every row of the schema is read, so a damaged schema shows here rather than at a later write.
  sqlite3_stmt* schema = nullptr;
  rc = sqlite3_prepare_v2(db, "SELECT type, name, tbl_name FROM sqlite_master", -1, &schema,
                          nullptr);
  bool tables = false;
  bool keyed_as_ours = false;
  while (rc == SQLITE_OK && (rc = sqlite3_step(schema)) == SQLITE_ROW) {
    rc = SQLITE_OK;
    const auto text = [&](int column) {
      const unsigned char* value = sqlite3_column_text(schema, column);
      return std::string_view(value ? reinterpret_cast<const char*>(value) : "");
    };
    const std::string_view type = text(0), name = text(1), table = text(2);
    if (type == "table" && !name.starts_with("sqlite_")) tables = true;
    if (type == "index" && name.size() > table.size() + 1 && name.starts_with(table) &&
        name[table.size()] == '!') {
      keyed_as_ours = true;
    }
  }
  sqlite3_finalize(schema);
  if (rc != SQLITE_DONE && rc != SQLITE_OK) return rc;

  if (id == kDataFileApplicationId) {
    *owner = DataFileOwner::Ours;
  } else if (id == 0 && (!tables || keyed_as_ours)) {
    *owner = DataFileOwner::OursUnmarked;
  } else {
    *owner = DataFileOwner::Foreign;
  }
  return SQLITE_OK;
}

DataFileCheck CheckDataFile(const std::string& path) {
  DataFileCheck check;
  check.path = Absolute(path);
  const auto unreadable = [&](std::string reason) {
    check.state = DataFileState::Unreadable;
    check.reason = std::move(reason);
    return check;
  };

  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return check;
    return unreadable(std::strerror(errno));
  }
  if (S_ISDIR(st.st_mode)) {
    check.state = DataFileState::NotAFile;
    check.reason = "a folder stands in its place";
    return check;
  }
  if (!S_ISREG(st.st_mode)) {
    check.state = DataFileState::NotAFile;
    check.reason = "it is not a plain file";
    return check;
  }
  if (st.st_size == 0) {
    check.state = DataFileState::Empty;
    return check;
  }

  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return unreadable(std::strerror(errno));
  unsigned char header[kHeaderSize] = {};
  const ssize_t got = ::pread(fd, header, sizeof header, 0);
  ::close(fd);
  if (got < static_cast<ssize_t>(kMagic.size()) ||
      std::string_view(reinterpret_cast<const char*>(header), kMagic.size()) != kMagic) {
    return unreadable("it is not a database");
  }
  check.sqlite = true;
  if (got < static_cast<ssize_t>(kHeaderSize)) return unreadable("it has been cut off");
  const bool has_log = HasWriteAheadLog(path);
  if (std::string problem = HeaderProblem(header, static_cast<std::uintmax_t>(st.st_size), has_log);
      !problem.empty()) {
    return unreadable(std::move(problem));
  }

  // Read as it stands when no log needs reading with it, so that nothing is made beside it.
  sqlite3* db = nullptr;
  int rc = has_log ? sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr)
                   : sqlite3_open_v2(ImmutableUri(path).c_str(), &db,
                                     SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
  DataFileOwner owner = DataFileOwner::Foreign;
  if (rc == SQLITE_OK) rc = ReadDataFileOwner(db, &owner);
  const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  sqlite3_close_v2(db);
  if (rc != SQLITE_OK) return unreadable(message);
  if (owner == DataFileOwner::Foreign) {
    check.state = DataFileState::Foreign;
    check.reason = kForeignDatabaseText;
    return check;
  }
  check.state = DataFileState::Ours;
  return check;
}

}  // namespace vx::storage
