// Filling the reports' work file from 100,000 weekly tasks whose next runs lie in the first four
// weeks of a four-week range (each gives one to four rows, 250,000 in all), beside a plain-SQLite
// twin that does the same copy: it reads the tasks in date order, steps each one's weeks itself
// and inserts every run in one transaction. Each engine round makes its private run folder and
// file, fills it and removes it; each twin round copies an empty work file with the same keys.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "bench/task_folder.h"
#include "bench/twin.h"
#include "datadll/dictionary/globals.h"
#include "program/reports/create_workfile.h"
#include "program/reports/schedule_work_file.h"
#include "runtime/dates.h"
#include "runtime/storage/record_codec.h"

namespace {

using namespace vx;
using vx::bench::Exec;
using vx::bench::Quoted;

constexpr int kTasks = 100000;
constexpr std::int32_t kWeeks = 4;

struct Setup {
  // Never destroyed (see SharedTaskFolder): at exit the threads' open tables are gone before any
  // static object, so only the folder's files are removed then.
  bench::TaskFolder* folder = nullptr;
  std::string twin_tasks;     // a copy of the task file for the twin
  std::string work_template;  // an empty work file as the engine makes it
  std::int32_t from = 0, to = 0;
};

Setup& Prepared() {
  static Setup setup = [] {
    Setup s;
    const std::int32_t today = DATE(6, 12, 2026);
    s.folder = new bench::TaskFolder(kTasks, today);
    static struct Remover {
      std::string path;
      ~Remover() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
      }
    } remover{s.folder->path};
    s.from = today + 1;
    s.to = s.from + 7 * kWeeks - 1;
    setenv("XDG_CACHE_HOME", (s.folder->path + "/cache").c_str(), 1);
    ACCESS_SCHEDULE->Close();
    const auto [file, table] = bench::StoredFile(SCHEDULE_TABLE());
    sqlite3* db = bench::OpenPlain(file);
    Exec(db, "UPDATE " + Quoted(table) +
                 " SET \"ScheduleType\" = 'Custom', \"Every\" = 1, \"EveryType\" = 'week(s)', "
                 "\"Disabled\" = 0, \"Date\" = " +
                 std::to_string(s.from) + " + \"ID\" % 28");
    sqlite3_close(db);
    s.twin_tasks = s.folder->path + "/twin-tasks.sqlite";
    std::filesystem::copy_file(file, s.twin_tasks);
    {
      ScheduleWorkFile work;
      ACCESS_SCHEDULEWORKFILE->file().Flush();
      s.work_template = s.folder->path + "/work-template.sqlite";
      std::filesystem::copy_file(bench::StoredFile(SCHEDULEWORKFILE_TABLE()).first,
                                 s.work_template);
    }
    GLO_DATEFROM = s.from;
    GLO_DATETO = s.to;
    return s;
  }();
  return setup;
}

std::string Columns(const storage::TableDef& def) {
  std::string out;
  for (const storage::FieldDef& f : def.fields) out += (out.empty() ? "" : ", ") + Quoted(f.name);
  return out;
}

// The twin: the same rows, by plain SQLite and a loop of its own.
std::size_t PlainCopy(const Setup& s, const std::string& work_file) {
  const storage::TableDef& tasks = SCHEDULE_TABLE();
  const storage::TableDef& work = SCHEDULEWORKFILE_TABLE();
  sqlite3* in = bench::OpenPlain(s.twin_tasks);
  sqlite3* out = bench::OpenPlain(work_file);
  const std::string table = bench::StoredFile(tasks).second;
  sqlite3_stmt* select =
      bench::PreparePlain(in, "SELECT " + Columns(tasks) + " FROM " + Quoted(table) +
                                  " WHERE \"Date\" >= 1 AND \"Date\" <= " + std::to_string(s.to) +
                                  " ORDER BY \"Date\", \"Time\"");
  std::string marks;
  for (std::size_t i = 0; i < work.fields.size(); ++i) marks += i == 0 ? "?" : ", ?";
  sqlite3_stmt* insert = bench::PreparePlain(
      out, "INSERT INTO \"UNNAMED\" (" + Columns(work) + ") VALUES (" + marks + ")");
  Exec(out, "BEGIN IMMEDIATE");
  SCHEDULE_RECORD task;
  std::int32_t rows = 0;
  while (sqlite3_step(select) == SQLITE_ROW) {
    char* record = reinterpret_cast<char*>(&task);
    for (std::size_t i = 0; i < tasks.fields.size(); ++i)
      storage::ReadField(select, static_cast<int>(i), tasks.fields[i], record);
    SCHEDULE_RECORD run = task;
    run.Message = "";
    for (std::int32_t date = task.Date; date <= s.to; date += 7) {
      if (date < s.from) continue;
      run.Date = date;
      run.ID = ++rows;
      for (std::size_t i = 0; i < work.fields.size(); ++i)
        storage::BindField(insert, static_cast<int>(i) + 1, work.fields[i],
                           reinterpret_cast<const char*>(&run));
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
  }
  Exec(out, "COMMIT");
  sqlite3_finalize(select);
  sqlite3_finalize(insert);
  sqlite3_close(in);
  sqlite3_close(out);
  return static_cast<std::size_t>(rows);
}

void BM_CreateWorkfile(benchmark::State& state) {
  Setup& s = Prepared();
  std::size_t engine_rows = 0, plain_rows = 0;
  const std::string plain_file = s.folder->path + "/twin-work.sqlite";
  bench::MeasureTwinsTimed(
      state,
      [&] {
        return bench::Seconds([&] {
          ScheduleWorkFile work;
          CreateWorkfile();
          engine_rows = static_cast<std::size_t>(ACCESS_SCHEDULEWORKFILE->file().Records());
        });
      },
      [&] {
        return bench::Seconds([&] {
          std::filesystem::copy_file(s.work_template, plain_file,
                                     std::filesystem::copy_options::overwrite_existing);
          plain_rows = PlainCopy(s, plain_file);
          std::filesystem::remove(plain_file);
        });
      },
      0);
  state.counters["rows"] = static_cast<double>(engine_rows);
  if (engine_rows != plain_rows) state.SkipWithError("the twin wrote other rows");
}
BENCHMARK(BM_CreateWorkfile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
