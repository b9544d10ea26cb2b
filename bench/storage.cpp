// The storage engine beside a plain SQLite program doing the same work in the same run, on a
// table of 100,000 records with a (BYTE, LONG, LONG) key: 100,000 inserts in one transaction,
// the first record of a key walk, a GET by key, a PUT, a page of 20 records from the buffer's
// values and a walk of the first 1,000 records in key order; and a transaction adding a record
// to each of two files, which the engine commits in both or in neither while SQLite's twin
// commits the two files one after the other. Each benchmark's time is the engine's; the
// counters give the twin's (sqlite_us) and the ratio.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/bench_table.h"
#include "bench/twin.h"
#include "runtime/fixed_string.h"
#include "runtime/storage/file.h"
#include "runtime/storage/sqlite_session.h"

namespace {

using namespace vx::storage;
using vx::bench::MeasureTwins;
using vx::bench::MeasureTwinsTimed;
using vx::bench::Seconds;

constexpr int kRecords = 100000;

using Rec = vx::bench::BenchRec;

Rec& Buffer() { return vx::bench::BenchBuffer(); }

TableDef MakeTable(const std::string& stored) { return vx::bench::MakeBenchTable(stored); }

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

// Creates the plain table and its index, then closes, as the engine's CREATE does.
void CreatePlain(const std::string& path) {
  sqlite3* db = vx::bench::OpenPlain(path);
  sqlite3_exec(db,
               "CREATE TABLE t (Kind INT, Day INT, Seq INT, Name TEXT, Value INT);"
               "CREATE INDEX k ON t (Kind, Day, Seq)",
               nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

void BindRecord(sqlite3_stmt* stmt, const Rec& r) {
  sqlite3_bind_int(stmt, 1, r.Kind);
  sqlite3_bind_int(stmt, 2, r.Day);
  sqlite3_bind_int(stmt, 3, r.Seq);
  const std::string_view name = r.Name.clipped();
  sqlite3_bind_text(stmt, 4, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int(stmt, 5, r.Value);
}

void PlainInsert(sqlite3* db) {
  sqlite3_stmt* stmt = vx::bench::PreparePlain(
      db, "INSERT INTO t (Kind, Day, Seq, Name, Value) VALUES (?, ?, ?, ?, ?)");
  sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  for (int i = 0; i < kRecords; ++i) {
    Fill(i);
    BindRecord(stmt, Buffer());
    sqlite3_step(stmt);
    sqlite3_reset(stmt);
  }
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_finalize(stmt);
}

// Reads a plain row (rowid, Kind, Day, Seq, Name, Value) into the buffer.
void ReadPlain(sqlite3_stmt* stmt) {
  Rec& r = Buffer();
  r.Kind = static_cast<std::uint8_t>(sqlite3_column_int(stmt, 1));
  r.Day = sqlite3_column_int(stmt, 2);
  r.Seq = sqlite3_column_int(stmt, 3);
  r.Name = std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 4)),
                            static_cast<std::size_t>(sqlite3_column_bytes(stmt, 4)));
  r.Value = sqlite3_column_int(stmt, 5);
}

// Binds the buffer's key values to the first three parameters.
void BindKey(sqlite3_stmt* stmt) {
  const Rec& r = Buffer();
  sqlite3_bind_int(stmt, 1, r.Kind);
  sqlite3_bind_int(stmt, 2, r.Day);
  sqlite3_bind_int(stmt, 3, r.Seq);
}

constexpr const char* kColumns = "SELECT rowid, Kind, Day, Seq, Name, Value FROM t ";

void BM_Insert100k(benchmark::State& state) {
  int round = 0;
  MeasureTwinsTimed(
      state,
      [&] {
        const TableDef def = MakeTable(Folder() + "/engine" + std::to_string(round) + ".tps");
        File file(def);
        file.Create();
        file.Open();
        const double seconds = Seconds([&] { EngineInsert(file); });
        file.Close();
        return seconds;
      },
      [&] {
        const std::string path = Folder() + "/plain" + std::to_string(round++) + ".db";
        CreatePlain(path);
        sqlite3* db = vx::bench::OpenPlain(path);
        const double seconds = Seconds([&] { PlainInsert(db); });
        sqlite3_close(db);
        return seconds;
      },
      0);
}
BENCHMARK(BM_Insert100k)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The read benchmarks' table, filled once, both ways.
const TableDef& ReadTable() {
  static const TableDef def = [] {
    TableDef d = MakeTable(Folder() + "/read.tps");
    File file(d);
    file.Create();
    file.Open();
    EngineInsert(file);
    file.Close();
    return d;
  }();
  return def;
}

sqlite3* ReadPlainDb() {
  const std::string path = Folder() + "/read-plain.db";
  if (!std::filesystem::exists(path)) {
    CreatePlain(path);
    sqlite3* db = vx::bench::OpenPlain(path);
    PlainInsert(db);
    sqlite3_close(db);
  }
  return vx::bench::OpenPlain(path);
}

// A read benchmark: the engine's file and the plain connection open around it.
template <class Engine, class Plain>
void ReadTwins(benchmark::State& state, const char* plain_sql, Engine engine, Plain plain) {
  const TableDef& def = ReadTable();
  File file(def);
  file.Open();
  sqlite3* db = ReadPlainDb();
  sqlite3_stmt* stmt = vx::bench::PreparePlain(db, std::string(kColumns) + plain_sql);
  MeasureTwins(
      state, [&] { engine(file, def.keys[0]); }, [&] { plain(stmt); });
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  file.Close();
}

void BM_FirstRecordOfKeyWalk(benchmark::State& state) {
  ReadTwins(
      state, "ORDER BY Kind, Day, Seq, rowid LIMIT 1",
      [](File& file, const KeyDef& key) {
        file.Set(key);
        file.Next();
      },
      [](sqlite3_stmt* stmt) {
        if (sqlite3_step(stmt) == SQLITE_ROW) ReadPlain(stmt);
        sqlite3_reset(stmt);
      });
}
BENCHMARK(BM_FirstRecordOfKeyWalk)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Records looked up by their whole key, a different one each time.
void BM_GetByKey(benchmark::State& state) {
  int i = 0;
  ReadTwins(
      state, "WHERE Kind = ? AND Day = ? AND Seq = ? ORDER BY rowid LIMIT 1",
      [&](File& file, const KeyDef& key) {
        Fill(i * 7 % kRecords);
        file.Get(key);
      },
      [&](sqlite3_stmt* stmt) {
        Fill(i++ * 7 % kRecords);
        BindKey(stmt);
        if (sqlite3_step(stmt) == SQLITE_ROW) ReadPlain(stmt);
        sqlite3_reset(stmt);
      });
}
BENCHMARK(BM_GetByKey)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A list page: 20 records from the buffer's values on.
void BM_PageOf20FromValues(benchmark::State& state) {
  int i = 0;
  ReadTwins(
      state, "WHERE (Kind, Day, Seq) >= (?, ?, ?) ORDER BY Kind, Day, Seq, rowid LIMIT 20",
      [&](File& file, const KeyDef& key) {
        Fill(i * 7 % kRecords);
        file.SetFromBuffer(key);
        for (int n = 0; n < 20 && file.Next() == 0; ++n) benchmark::DoNotOptimize(Buffer().Value);
      },
      [&](sqlite3_stmt* stmt) {
        Fill(i++ * 7 % kRecords);
        BindKey(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) ReadPlain(stmt);
        sqlite3_reset(stmt);
      });
}
BENCHMARK(BM_PageOf20FromValues)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_Walk1000(benchmark::State& state) {
  std::int64_t sum = 0;
  ReadTwins(
      state, "ORDER BY Kind, Day, Seq, rowid LIMIT 1000",
      [&](File& file, const KeyDef& key) {
        file.Set(key);
        for (int n = 0; n < 1000 && file.Next() == 0; ++n) sum += Buffer().Value;
      },
      [&](sqlite3_stmt* stmt) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
          ReadPlain(stmt);
          sum += Buffer().Value;
        }
        sqlite3_reset(stmt);
      });
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_Walk1000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// PUT of a record read before (untimed), each write committed and synced; each side on a
// table of its own.
void BM_Put(benchmark::State& state) {
  const TableDef def = MakeTable(Folder() + "/put.tps");
  File file(def);
  file.Create();
  file.Open();
  LOGOUT(10);
  for (int i = 0; i < 1000; ++i) {
    Fill(i);
    file.Add();
  }
  COMMIT();
  const std::string path = Folder() + "/put-plain.db";
  CreatePlain(path);
  sqlite3* db = vx::bench::OpenPlain(path);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = vx::bench::PreparePlain(
      db, "INSERT INTO t (Kind, Day, Seq, Name, Value) VALUES (?, ?, ?, ?, ?)");
  for (int i = 0; i < 1000; ++i) {
    Fill(i);
    BindRecord(insert, Buffer());
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_stmt* update = vx::bench::PreparePlain(
      db, "UPDATE t SET Kind = ?, Day = ?, Seq = ?, Name = ?, Value = ? WHERE rowid = ?");
  int i = 0;
  MeasureTwinsTimed(
      state,
      [&] {
        Fill(i * 7 % 1000);
        file.Get(def.keys[0]);
        Buffer().Value += 1;
        return Seconds([&] { file.Put(); });
      },
      [&] {
        const int n = i++ * 7 % 1000;
        Fill(n);
        Buffer().Value += 1;
        return Seconds([&] {
          BindRecord(update, Buffer());
          sqlite3_bind_int64(update, 6, n + 1);
          sqlite3_step(update);
          sqlite3_reset(update);
        });
      });
  sqlite3_finalize(update);
  sqlite3_close(db);
  file.Close();
}
BENCHMARK(BM_Put)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(300);

// One record added to each of two files in one transaction, committed and synced; the twin
// commits the same two records, one file after the other.
void BM_TwoFileCommit(benchmark::State& state) {
  const TableDef first = MakeTable(Folder() + "/span-a.tps");
  const TableDef second = MakeTable(Folder() + "/span-b.tps");
  File a(first);
  File b(second);
  for (File* file : {&a, &b}) {
    file->Create();
    file->Open();
  }
  sqlite3* plain[2] = {};
  sqlite3_stmt* insert[2] = {};
  for (int f = 0; f < 2; ++f) {
    const std::string path = Folder() + "/span-plain" + std::to_string(f) + ".db";
    CreatePlain(path);
    plain[f] = vx::bench::OpenPlain(path);
    insert[f] = vx::bench::PreparePlain(
        plain[f], "INSERT INTO t (Kind, Day, Seq, Name, Value) VALUES (?, ?, ?, ?, ?)");
  }
  int i = 0;
  int j = 0;
  MeasureTwins(
      state,
      [&] {
        Fill(i++);
        LOGOUT(10);
        a.Add();
        b.Add();
        COMMIT();
      },
      [&] {
        Fill(j++);
        for (int f = 0; f < 2; ++f) {
          sqlite3_exec(plain[f], "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        }
        for (int f = 0; f < 2; ++f) {
          BindRecord(insert[f], Buffer());
          sqlite3_step(insert[f]);
          sqlite3_reset(insert[f]);
        }
        for (int f = 0; f < 2; ++f) sqlite3_exec(plain[f], "COMMIT", nullptr, nullptr, nullptr);
      });
  for (int f = 0; f < 2; ++f) {
    sqlite3_finalize(insert[f]);
    sqlite3_close(plain[f]);
  }
  a.Close();
  b.Close();
}
BENCHMARK(BM_TwoFileCommit)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(300);

}  // namespace
