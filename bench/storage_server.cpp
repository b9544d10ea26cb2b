// The storage engine on a database server (the program's local PostgreSQL cluster) beside plain
// libpq doing the same work in the same run, on a table with a numeric key (BYTE, LONG, LONG)
// and a case-insensitive text key: 20,000 inserts in one transaction, a GET by key, a PUT, the
// first record of a walk from the buffer's values, a page of 20 and a walk of 1,000 records in
// key order. Each benchmark's time is the engine's; the counters give libpq's (sqlite_us, the
// twin's time whatever its library) and the ratio. Goal: a ratio within 1.3. Both sides run
// prepared statements whose plans the server keeps (no parameter it must plan each run for).
//
// BM_CheckNextTask_Server: phase 3 of the tick on the server with 100,000 tasks, none due,
// beside libpq reading the row the check finds.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_table.h"
#include "bench/twin.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "program/due_tasks/due_task.h"
#include "program/due_tasks/due_task_table.h"
#include "program/due_tasks/table_schedule_services.h"
#include "runtime/fixed_string.h"
#include "runtime/storage/file.h"
#include "runtime/storage/record_codec.h"
#include "runtime/storage/server_store.h"
#include "runtime/storage/sqlite_session.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/local_pg_cluster.h"

namespace {

using namespace vx::storage;
using vx::bench::MeasureTwins;
using vx::bench::MeasureTwinsTimed;
using vx::bench::Seconds;

constexpr int kRecords = 20000;
constexpr const char* kDatabase = "vx_bench";

using Rec = vx::bench::BenchRec;

Rec& Buffer() { return vx::bench::BenchBuffer(); }

TableDef MakeTable(const std::string& stored) { return vx::bench::MakeBenchTable(stored, true); }

void Fill(int i) {
  Rec& r = Buffer();
  r.Kind = static_cast<std::uint8_t>(i % 3);
  r.Day = 80000 - (i * 7919) % 5000;
  r.Seq = i;
  r.Name = (i % 2 ? "Task " : "task ") + std::to_string(i % 977);
  r.Value = i;
}

vx::test::LocalPgCluster& Cluster() {
  static vx::test::LocalPgCluster* cluster = [] {
    vx::test::LocalPgCluster* c = vx::test::LocalPgCluster::Get();
    if (!c || !c->FreshDatabase(kDatabase)) throw std::runtime_error("no cluster");
    InstallTableStore(MakeServerStore(c->Settings(kDatabase)));
    return c;
  }();
  return *cluster;
}

// Plain libpq on a connection of its own, statements prepared once.
class Plain {
 public:
  Plain() {
    const ServerSettings s = Cluster().Settings(kDatabase);
    const std::string info = "host=" + s.host + " port=" + s.port + " dbname=" + s.dbname +
                             " user=" + s.user + " password=" + s.password;
    conn_ = PQconnectdb(info.c_str());
    if (PQstatus(conn_) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(conn_));
  }
  ~Plain() { PQfinish(conn_); }
  void Exec(const char* sql) { PQclear(PQexec(conn_, sql)); }
  void Prepare(const char* name, const std::string& sql) {
    PQclear(PQprepare(conn_, name, sql.c_str(), 0, nullptr));
  }
  PGresult* Run(const char* name, const std::vector<std::string>& params) {
    std::vector<const char*> values;
    for (const std::string& p : params) values.push_back(p.c_str());
    return PQexecPrepared(conn_, name, static_cast<int>(values.size()), values.data(), nullptr,
                          nullptr, 0);
  }
  // Decodes row `row` (vx_pos, Kind, Day, Seq, Name, Value) into the buffer.
  static void Read(PGresult* r, int row) {
    Rec& rec = Buffer();
    rec.Kind = static_cast<std::uint8_t>(std::atoi(PQgetvalue(r, row, 1)));
    rec.Day = std::atoi(PQgetvalue(r, row, 2));
    rec.Seq = std::atoi(PQgetvalue(r, row, 3));
    rec.Name =
        std::string_view(PQgetvalue(r, row, 4), static_cast<std::size_t>(PQgetlength(r, row, 4)));
    rec.Value = std::atoi(PQgetvalue(r, row, 5));
  }
  static std::vector<std::string> Record() {
    const Rec& r = Buffer();
    return {std::to_string(r.Kind), std::to_string(r.Day), std::to_string(r.Seq),
            std::string(r.Name.clipped()), std::to_string(r.Value)};
  }

 private:
  PGconn* conn_ = nullptr;
};

const char* kPlainTable =
    "CREATE TABLE IF NOT EXISTS plain (vx_pos bigserial PRIMARY KEY, \"Kind\" bigint, \"Day\" "
    "bigint, \"Seq\" bigint, \"Name\" text COLLATE \"C\", \"Value\" bigint);"
    "CREATE INDEX IF NOT EXISTS plain_k ON plain (\"Kind\", \"Day\", \"Seq\", vx_pos);"
    "CREATE INDEX IF NOT EXISTS plain_n ON plain (lower(\"Name\"), vx_pos)";
const char* kPlainColumns =
    "SELECT vx_pos, \"Kind\", \"Day\", \"Seq\", \"Name\", \"Value\" FROM plain ";

void EngineInsert(File& file) {
  LOGOUT(10);
  for (int i = 0; i < kRecords; ++i) {
    Fill(i);
    file.Add();
  }
  COMMIT();
}

void PlainInsert(Plain& plain) {
  plain.Prepare("ins",
                "INSERT INTO plain (\"Kind\", \"Day\", \"Seq\", \"Name\", \"Value\") VALUES "
                "($1, $2, $3, $4, $5) RETURNING vx_pos");
  plain.Exec("BEGIN");
  for (int i = 0; i < kRecords; ++i) {
    Fill(i);
    PQclear(plain.Run("ins", Plain::Record()));
  }
  plain.Exec("COMMIT");
}

void BM_Insert20k_Server(benchmark::State& state) {
  Cluster();
  int round = 0;
  MeasureTwinsTimed(
      state,
      [&] {
        const TableDef def = MakeTable("ins" + std::to_string(round) + "\\!bench");
        File file(def);
        file.Create();
        file.Open();
        const double seconds = Seconds([&] { EngineInsert(file); });
        file.Close();
        return seconds;
      },
      [&] {
        ++round;
        Plain plain;
        plain.Exec("DROP TABLE IF EXISTS plain");
        plain.Exec(kPlainTable);
        return Seconds([&] { PlainInsert(plain); });
      },
      0);
}
BENCHMARK(BM_Insert20k_Server)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

// The read benchmarks' table, filled once, both ways.
const TableDef& ReadTable() {
  static const TableDef def = [] {
    Cluster();
    TableDef d = MakeTable("read\\!bench");
    File file(d);
    file.Create();
    file.Open();
    EngineInsert(file);
    file.Close();
    Plain plain;
    plain.Exec("DROP TABLE IF EXISTS plain");
    plain.Exec(kPlainTable);
    PlainInsert(plain);
    plain.Exec("ANALYZE");
    return d;
  }();
  return def;
}

void BM_GetByKey_Server(benchmark::State& state) {
  const TableDef& def = ReadTable();
  File file(def);
  file.Open();
  Plain plain;
  plain.Prepare("get", std::string(kPlainColumns) +
                           "WHERE \"Kind\" = $1 AND \"Day\" = $2 AND \"Seq\" = $3 "
                           "ORDER BY vx_pos LIMIT 1");
  int i = 0;
  MeasureTwins(
      state,
      [&] {
        Fill(i * 37 % kRecords);
        file.Get(def.keys[0]);
      },
      [&] {
        Fill(i++ * 37 % kRecords);
        const Rec& r = Buffer();
        PGresult* res = plain.Run(
            "get", {std::to_string(r.Kind), std::to_string(r.Day), std::to_string(r.Seq)});
        if (PQntuples(res) > 0) Plain::Read(res, 0);
        PQclear(res);
      });
  file.Close();
}
BENCHMARK(BM_GetByKey_Server)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_Put_Server(benchmark::State& state) {
  const TableDef& def = ReadTable();
  File file(def);
  file.Open();
  Fill(100);
  file.Get(def.keys[0]);
  Plain plain;
  plain.Prepare("put",
                "UPDATE plain SET \"Kind\" = $1, \"Day\" = $2, \"Seq\" = $3, \"Name\" = $4, "
                "\"Value\" = $5 WHERE vx_pos = $6");
  int i = 0;
  MeasureTwins(
      state,
      [&] {
        Buffer().Value = ++i;
        file.Put();
      },
      [&] {
        std::vector<std::string> params = Plain::Record();
        params.push_back("101");
        PQclear(plain.Run("put", params));
      });
  file.Close();
}
BENCHMARK(BM_Put_Server)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A walk from the buffer's values: `rows` records read, in key order.
void WalkFromValues(benchmark::State& state, int rows) {
  const TableDef& def = ReadTable();
  File file(def);
  file.Open();
  Plain plain;
  // One statement per batch size, its limit written in: a limit passed as a parameter makes the
  // server plan the statement again at every run.
  std::set<int> prepared;
  const auto walk = [&](int batch) {
    const std::string name = "walk" + std::to_string(batch);
    if (prepared.insert(batch).second) {
      plain.Prepare(name.c_str(),
                    std::string(kPlainColumns) +
                        "WHERE (\"Kind\", \"Day\", \"Seq\", vx_pos) > ($1, $2, $3, $4) "
                        "ORDER BY \"Kind\", \"Day\", \"Seq\", vx_pos LIMIT " +
                        std::to_string(batch));
    }
    return name;
  };
  int i = 0;
  MeasureTwins(
      state,
      [&] {
        Fill(i * 53 % kRecords);
        file.SetFromBuffer(def.keys[0]);
        for (int n = 0; n < rows && file.Next() == 0; ++n) benchmark::DoNotOptimize(Buffer().Seq);
      },
      [&] {
        Fill(i++ * 53 % kRecords);
        const Rec& r = Buffer();
        // The engine reads a walk in growing batches; its twin reads them in the same sizes.
        std::vector<std::string> bound = {std::to_string(r.Kind), std::to_string(r.Day),
                                          std::to_string(r.Seq), "-9223372036854775808"};
        int read = 0;
        for (int batch = 1; read < rows; batch = std::min(batch <= 1 ? 8 : batch * 2, 512)) {
          PGresult* res = plain.Run(walk(batch).c_str(), bound);
          const int n = PQntuples(res);
          for (int k = 0; k < n && read < rows; ++k, ++read) Plain::Read(res, k);
          if (n > 0) {
            bound = {PQgetvalue(res, n - 1, 1), PQgetvalue(res, n - 1, 2),
                     PQgetvalue(res, n - 1, 3), PQgetvalue(res, n - 1, 0)};
          }
          PQclear(res);
          if (n < batch) break;
        }
      });
  file.Close();
}

void BM_FirstOfWalk_Server(benchmark::State& state) { WalkFromValues(state, 1); }
BENCHMARK(BM_FirstOfWalk_Server)->UseManualTime()->Unit(benchmark::kMicrosecond);
void BM_PageOf20_Server(benchmark::State& state) { WalkFromValues(state, 20); }
BENCHMARK(BM_PageOf20_Server)->UseManualTime()->Unit(benchmark::kMicrosecond);
void BM_Walk1000_Server(benchmark::State& state) { WalkFromValues(state, 1000); }
BENCHMARK(BM_Walk1000_Server)->UseManualTime()->Unit(benchmark::kMillisecond);

class BenchServices final : public vx::TableScheduleServices {
 public:
  void AddTaskCopy() override {}
  void ShowMessage(std::string_view, std::string_view) override {}
  std::string FormatDate(std::int32_t date) override { return std::to_string(date); }
};

class QuietFrame final : public vx::DueTaskFrame {
 public:
  void SetStatusText(std::string_view text, bool) override {
    benchmark::DoNotOptimize(text.size());
  }
  void SetTrayTip(std::string_view tip) override { benchmark::DoNotOptimize(tip.size()); }
  void RestoreFrame() override {}
  void StartTaskMessageThread(const vx::TaskMessage&) override {}
  void ShowModalMessage() override {}
  void PostEvent(int, std::int32_t) override {}
  void ShowNotice(const vx::MessageBoxRequest&) override {}
};

void BM_CheckNextTask_Server(benchmark::State& state) {
  constexpr std::int32_t kToday = 80000;
  static const bool filled = [] {
    Cluster();
    vx::VX_Files_Load();
    vx::ACCESS_SCHEDULE->Open();
    LOGOUT(10);
    for (int i = 1; i <= 100000; ++i) {
      vx::SCH = vx::SCHEDULE_RECORD{};
      vx::SCH.ID = i;
      vx::SCH.Description = "Task " + std::to_string(i);
      vx::SCH.Date = kToday + 1 + i % 3000;
      vx::SCH.Time = (i % 1440) * 6000 + 1;
      vx::SCH.Disabled = i % 4 == 0 ? 1 : 0;
      vx::ACCESS_SCHEDULE->TryInsert();
    }
    COMMIT();
    return true;
  }();
  benchmark::DoNotOptimize(filled);
  vx::test::FixedClock clock(kToday, 12 * 360000 + 1);
  vx::test::ScopedClock scoped_clock(clock);
  BenchServices services;
  vx::ScopedScheduleServices scoped_services(services);
  vx::DueTaskTableFiles table;
  QuietFrame frame;
  vx::DueTaskState due;
  Plain plain;
  plain.Prepare("next",
                "SELECT * FROM \"VX97!S\" WHERE (\"Disabled\", \"Date\", \"Time\", vx_pos) "
                "> (0, 0, 1, -9223372036854775808) ORDER BY \"Disabled\", \"Date\", "
                "\"Time\", vx_pos LIMIT 1");
  // Every column decoded into a record, as a program of its own would.
  const TableDef& def = vx::SCHEDULE_TABLE();
  auto row = std::make_unique<vx::SCHEDULE_RECORD>();
  MeasureTwins(
      state, [&] { vx::CheckNextTask(due, table, frame); },
      [&] {
        PGresult* res = plain.Run("next", {});
        if (PQntuples(res) > 0) {
          char* record = reinterpret_cast<char*>(row.get());
          for (std::size_t i = 0; i < def.fields.size(); ++i) {
            const FieldDef& f = def.fields[i];
            const int column = static_cast<int>(i) + 1;
            if (IsText(f.type)) {
              SetFieldText(f, record,
                           std::string_view(PQgetvalue(res, 0, column),
                                            static_cast<std::size_t>(PQgetlength(res, 0, column))));
            } else {
              SetFieldInteger(f, record, std::atoll(PQgetvalue(res, 0, column)));
            }
          }
        }
        PQclear(res);
      });
  state.counters["next_id"] = due.current.ID;
  state.counters["plain_id"] = row->ID;
}
BENCHMARK(BM_CheckNextTask_Server)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
