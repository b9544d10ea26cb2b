// The storage engine beside a plain SQLite program doing the same work: 100,000 inserts in one
// transaction, and a walk of the first 1,000 records of a 100,000-record table in key order
// (BYTE, LONG, LONG). Compare each Engine figure with its Sqlite twin.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <string>

#include "runtime/fixed_string.h"
#include "runtime/storage/file.h"
#include "runtime/storage/sqlite_session.h"

namespace {

using namespace vx::storage;

constexpr int kRecords = 100000;

struct Rec {
  std::uint8_t Kind;
  std::int32_t Day;
  std::int32_t Seq;
  vx::String<20> Name;
  std::int32_t Value;
};

Rec& Buffer() {
  thread_local Rec rec{};
  return rec;
}

FieldDef Field(const char* name, FieldType type, std::size_t offset, std::size_t size) {
  FieldDef f;
  f.name = name;
  f.type = type;
  f.offset = offset;
  f.size = size;
  return f;
}

TableDef MakeTable(const std::string& stored) {
  TableDef def;
  def.label = "BENCH";
  def.stored_name = stored;
  def.record_size = sizeof(Rec);
  def.fields = {Field("Kind", FieldType::Byte, offsetof(Rec, Kind), 1), Field("Day", FieldType::Long, offsetof(Rec, Day), 4),
                Field("Seq", FieldType::Long, offsetof(Rec, Seq), 4), Field("Name", FieldType::String, offsetof(Rec, Name), 20),
                Field("Value", FieldType::Long, offsetof(Rec, Value), 4)};
  KeyDef key;
  key.name = "KeyKindDaySeq";
  key.components = {{"Kind", false}, {"Day", false}, {"Seq", false}};
  def.keys = {key};
  def.buffer = [] { return static_cast<void*>(&Buffer()); };
  return def;
}

void Fill(int i) {
  Rec& r = Buffer();
  r.Kind = static_cast<std::uint8_t>(i % 3);
  r.Day = 80000 - (i * 7919) % 5000;
  r.Seq = i;
  r.Name = "task";
  r.Value = i;
}

// A scratch folder for the run's files, removed when the program ends.
struct Scratch {
  Scratch() {
    char pattern[] = "/tmp/vx-bench-XXXXXX";
    path = mkdtemp(pattern);
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string path;
};

std::string Folder() {
  static const Scratch scratch;
  return scratch.path;
}

void EngineInsert(File& file) {
  LOGOUT(10);
  for (int i = 0; i < kRecords; ++i) {
    Fill(i);
    file.Add();
  }
  COMMIT();
}

void BM_EngineInsert100k(benchmark::State& state) {
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const TableDef def = MakeTable(Folder() + "/engine" + std::to_string(round++) + ".tps");
    File file(def);
    file.Create();
    file.Open();
    state.ResumeTiming();
    EngineInsert(file);
    state.PauseTiming();
    file.Close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_EngineInsert100k)->Unit(benchmark::kMillisecond);

sqlite3* OpenPlain(const std::string& path) {
  sqlite3* db = nullptr;
  // The same connection flags as the engine (no per-call mutex), so only the work differs.
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
  return db;
}

// Creates the table and its index, then closes, as the engine's CREATE does.
void CreatePlain(const std::string& path) {
  sqlite3* db = OpenPlain(path);
  sqlite3_exec(db, "CREATE TABLE t (Kind INT, Day INT, Seq INT, Name TEXT, Value INT);"
                   "CREATE INDEX k ON t (Kind, Day, Seq)", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

void PlainInsert(sqlite3* db) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v3(db, "INSERT INTO t (Kind, Day, Seq, Name, Value) VALUES (?, ?, ?, ?, ?)", -1,
                     SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
  sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  for (int i = 0; i < kRecords; ++i) {
    Fill(i);
    const Rec& r = Buffer();
    sqlite3_bind_int(stmt, 1, r.Kind);
    sqlite3_bind_int(stmt, 2, r.Day);
    sqlite3_bind_int(stmt, 3, r.Seq);
    const std::string_view name = r.Name.clipped();
    sqlite3_bind_text(stmt, 4, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(stmt, 5, r.Value);
    sqlite3_step(stmt);
    sqlite3_reset(stmt);
  }
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_finalize(stmt);
}

void BM_SqliteInsert100k(benchmark::State& state) {
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = Folder() + "/plain" + std::to_string(round++) + ".db";
    CreatePlain(path);
    sqlite3* db = OpenPlain(path);
    state.ResumeTiming();
    PlainInsert(db);
    state.PauseTiming();
    sqlite3_close(db);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SqliteInsert100k)->Unit(benchmark::kMillisecond);

const TableDef& WalkTable() {
  static const TableDef def = [] {
    TableDef d = MakeTable(Folder() + "/walk.tps");
    File file(d);
    file.Create();
    file.Open();
    EngineInsert(file);
    file.Close();
    return d;
  }();
  return def;
}

void BM_EngineWalk1000(benchmark::State& state) {
  const TableDef& def = WalkTable();
  File file(def);
  file.Open();
  std::int64_t sum = 0;
  for (auto _ : state) {
    file.Set(def.keys[0]);
    for (int i = 0; i < 1000 && file.Next() == 0; ++i) sum += Buffer().Value;
  }
  benchmark::DoNotOptimize(sum);
  file.Close();
}
BENCHMARK(BM_EngineWalk1000)->Unit(benchmark::kMicrosecond);

void BM_SqliteWalk1000(benchmark::State& state) {
  const std::string path = Folder() + "/walk-plain.db";
  if (!std::filesystem::exists(path)) {
    CreatePlain(path);
    sqlite3* db = OpenPlain(path);
    PlainInsert(db);
    sqlite3_close(db);
  }
  sqlite3* db = OpenPlain(path);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v3(db, "SELECT rowid, Kind, Day, Seq, Name, Value FROM t ORDER BY Kind, Day, Seq LIMIT 1000", -1,
                     SQLITE_PREPARE_PERSISTENT,
                     &stmt, nullptr);
  std::int64_t sum = 0;
  for (auto _ : state) {
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      Rec& r = Buffer();
      r.Kind = static_cast<std::uint8_t>(sqlite3_column_int(stmt, 1));
      r.Day = sqlite3_column_int(stmt, 2);
      r.Seq = sqlite3_column_int(stmt, 3);
      r.Name = std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 4)),
                                static_cast<std::size_t>(sqlite3_column_bytes(stmt, 4)));
      r.Value = sqlite3_column_int(stmt, 5);
      sum += r.Value;
    }
    sqlite3_reset(stmt);
  }
  benchmark::DoNotOptimize(sum);
  sqlite3_finalize(stmt);
  sqlite3_close(db);
}
BENCHMARK(BM_SqliteWalk1000)->Unit(benchmark::kMicrosecond);

}  // namespace
