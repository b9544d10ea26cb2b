// Measuring an engine operation beside its plain-SQLite twin in the same run.
//
// The two run alternately, one of each per iteration, so that both see the same caches, clock
// speed and neighbours. The benchmark's time is the engine's (manual time: register with
// UseManualTime()); the counters are the twin's time and the ratio engine / twin.
#pragma once

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/storage/record_codec.h"
#include "runtime/storage/table_def.h"

namespace vx::bench {

template <class Fn>
double Seconds(Fn&& fn) {
  const auto start = std::chrono::steady_clock::now();
  fn();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double>& values) {
  if (values.empty()) return 0;
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

// `engine` and `plain` each answer the seconds their measured part took (see Seconds), so
// that set-up around it stays out of the figures. `warm_up` rounds of both run first,
// unmeasured, so that the first figures do not pay for cold caches.
//
// "ratio" divides the means. On a shared machine one rare stall (the thread preempted, a
// neighbour's burst) inside a microsecond operation outweighs thousands of normal ones and
// swings the ratio of means either way from run to run; "median_ratio" divides the medians of
// the single figures, which such stalls do not move.
template <class Engine, class Plain>
void MeasureTwinsTimed(benchmark::State& state, Engine engine, Plain plain, int warm_up = 100) {
  for (int i = 0; i < warm_up; ++i) {
    engine();
    plain();
  }
  double engine_total = 0, plain_total = 0;
  std::vector<double> engine_each, plain_each;
  for (auto _ : state) {
    const double e = engine();
    const double p = plain();
    plain_total += p;
    engine_total += e;
    engine_each.push_back(e);
    plain_each.push_back(p);
    state.SetIterationTime(e);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["sqlite_us"] = plain_total * 1e6 / n;
  state.counters["ratio"] = plain_total > 0 ? engine_total / plain_total : 0;
  const double plain_median = Median(plain_each);
  state.counters["median_ratio"] = plain_median > 0 ? Median(engine_each) / plain_median : 0;
}

// The same for operations measured whole.
template <class Engine, class Plain>
void MeasureTwins(benchmark::State& state, Engine engine, Plain plain) {
  MeasureTwinsTimed(
      state, [&] { return Seconds(engine); }, [&] { return Seconds(plain); });
}

// A plain SQLite connection as the engine opens one (WAL, full sync, no per-call mutex).
inline sqlite3* OpenPlain(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot open " + path);
  }
  sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
  return db;
}

inline sqlite3_stmt* PreparePlain(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) !=
      SQLITE_OK) {
    throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " in " + sql);
  }
  return stmt;
}

// Plain SQLite reading the first row of a query over every column of a table into a record,
// as a program of its own would: prepared once, stepped, each column decoded, reset. The
// columns are decoded with the engine's codec, so the ratio is what the engine adds to SQLite.
class PlainFirstRow {
 public:
  // `rest`: the query after "SELECT rowid, <columns> FROM <table>".
  PlainFirstRow(const std::string& path, const std::string& table, const storage::TableDef& def,
                const std::string& rest)
      : def_(def), db_(OpenPlain(path)) {
    std::string sql = "SELECT rowid";
    for (const storage::FieldDef& f : def.fields) sql += ", \"" + f.name + "\"";
    stmt_ = PreparePlain(db_, sql + " FROM \"" + table + "\" " + rest);
  }
  ~PlainFirstRow() {
    sqlite3_finalize(stmt_);
    sqlite3_close(db_);
  }
  PlainFirstRow(const PlainFirstRow&) = delete;
  PlainFirstRow& operator=(const PlainFirstRow&) = delete;

  sqlite3_stmt* statement() { return stmt_; }

  // The row's id, 0 when there is none.
  std::int64_t Read(char* record) {
    std::int64_t id = 0;
    if (sqlite3_step(stmt_) == SQLITE_ROW) {
      id = sqlite3_column_int64(stmt_, 0);
      for (std::size_t i = 0; i < def_.fields.size(); ++i)
        storage::ReadField(stmt_, static_cast<int>(i) + 1, def_.fields[i], record);
    }
    sqlite3_reset(stmt_);
    return id;
  }

 private:
  const storage::TableDef& def_;
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace vx::bench
