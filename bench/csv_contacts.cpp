// The comma-delimited export and import of 100,000 contacts (every field, notes of a few hundred
// characters with commas, quotes and line breaks), each timed beside the sqlite3 shell's own CSV
// export (".mode csv" with headers) and ".import" of the same table in the same run, the shell
// started as a program as a user would; its import reads the file into a table of its own and
// copies the rows into the contacts table with its keys, as ours fills it. Our runs go through the
// progress window on the headless test driver while a second runtime thread's timer (every
// hundredth of a second) measures the longest time it went without a turn ("stall_ms"), as Main's
// tick would. Aim: the export within 2x of the shell's, the import within 3x, with stalls of a
// tenth of a second or less.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench/task_folder.h"
#include "bench/twin.h"
#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "program/import_export/csv_export.h"
#include "program/import_export/csv_file.h"
#include "program/import_export/csv_import.h"
#include "runtime/events.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"

namespace {

using namespace vx;

constexpr int kContacts = 100000;

std::atomic<double> g_longest_stall{0};
std::atomic<bool> g_metering{false};

void StallMeter() {
  Window w("Stall meter");
  w.Timer(1);
  auto last = std::chrono::steady_clock::now();
  while (w.Accept() && g_metering) {
    if (EVENT() != EVENT_Timer) continue;
    const auto now = std::chrono::steady_clock::now();
    const double gap = std::chrono::duration<double>(now - last).count();
    if (gap > g_longest_stall) g_longest_stall = gap;
    last = now;
  }
}

// Runs `work` on a runtime thread of a headless driver beside the stall meter; its seconds.
template <class Work>
double OnDriver(Work work) {
  TestDriver ui(std::chrono::minutes(10));
  double seconds = 0;
  ui.Start([&] {
    g_metering = true;
    START(StallMeter);
    YIELD();
    seconds = bench::Seconds(work);
    g_metering = false;
  });
  ui.Finish();
  return seconds;
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

// A scratch data folder, made current, with the contact table filled.
struct ContactFolder {
  ContactFolder() {
    char pattern[] = "/tmp/vx-bench-csv-XXXXXX";
    path = mkdtemp(pattern);
    std::filesystem::current_path(path);
    VX_Files_Load();
    ACCESS_CONTACT->Open();
    storage::LOGOUT(10);
    for (int i = 1; i <= kContacts; ++i) {
      ACCESS_CONTACT->PrimeRecord();
      const std::string n = std::to_string(i);
      C_.LastName = "Lastname" + n;
      C_.FirstName = "First";
      C_.AddressLine1 = n + " High Street, Flat 2";
      C_.AddressLine2 = "Springfield";
      C_.PostalCode = "SP1 " + n.substr(0, 3);
      C_.WorkDayPhone = "+44 20 7946 " + n;
      C_.Email = "person" + n + "@example.org";
      C_.Website = "https://example.org/~" + n;
      C_.ContactCategory = i % 3 ? "Friends" : "Work";
      C_.Notes = "Met at the \"Spring\" fair, 2024; likes tea, not coffee.\r\nCall after six. " +
                 std::string(200, static_cast<char>('a' + i % 26));
      ACCESS_CONTACT->TryInsert();
    }
    storage::COMMIT();
    ACCESS_CONTACT->Close();
    const auto [file, table] = bench::StoredFile(CONTACT_TABLE());
    twin = path + "/twin.sqlite";
    std::filesystem::copy_file(file, twin, std::filesystem::copy_options::overwrite_existing);
    twin_table = table;
    for (const CsvExportEntry& entry : OfferedExportFields(ContactCsvTable())) {
      const std::string field = CsvFieldDef(CONTACT_TABLE(), entry.name)->name;
      columns += (columns.empty() ? "" : ", ") + bench::Quoted(field);
    }
  }
  ~ContactFolder() {
    std::filesystem::current_path("/");
    VX_Files_Unload();
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string path, twin, twin_table, columns;
};

ContactFolder& Folder() {
  static ContactFolder folder;
  return folder;
}

void BM_ExportContacts(benchmark::State& state) {
  ContactFolder& folder = Folder();
  const std::string ours = folder.path + "/ours.csv";
  const std::string theirs = folder.path + "/theirs.csv";
  const std::string shell = "sqlite3 -csv -header '" + folder.twin + "' 'SELECT " + folder.columns +
                            " FROM " + bench::Quoted(folder.twin_table) + "' > '" + theirs + "'";
  double stall = 0;
  bench::MeasureTwinsTimed(
      state,
      [&] {
        const double s = OnDriver([&] {
          RunCsvExport(ContactCsvTable(), OfferedExportFields(ContactCsvTable()), true, ours);
        });
        stall = std::max(stall, g_longest_stall.load());
        return s;
      },
      [&] { return bench::Seconds([&] { Shell(shell); }); }, 1);
  state.counters["stall_ms"] = stall * 1000;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(ours));
}
BENCHMARK(BM_ExportContacts)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportContacts(benchmark::State& state) {
  ContactFolder& folder = Folder();
  const std::string file = folder.path + "/ours.csv";
  if (!std::filesystem::exists(file))
    OnDriver([&] {
      RunCsvExport(ContactCsvTable(), OfferedExportFields(ContactCsvTable()), true, file);
    });
  const std::string target = folder.path + "/imported.sqlite";
  double stall = 0;
  std::int64_t added = 0;
  bench::MeasureTwinsTimed(
      state,
      [&] {
        ACCESS_CONTACT->Open();
        ACCESS_CONTACT->file().Empty();
        ACCESS_CONTACT->Close();
        const double s = OnDriver([&] {
          CsvOpenImportFile(file);
          std::vector<CsvImportColumn> columns = ReadImportColumns();
          CsvAssignment assignment;
          AutoAssign(ContactCsvTable(), columns, assignment);
          added = RunCsvImport(ContactCsvTable(), columns, assignment, true).added;
          CsvCloseImportFile();
        });
        stall = std::max(stall, g_longest_stall.load());
        return s;
      },
      [&] {
        // The shell fills the same table, its keys and all, emptied as ours is: the file is
        // read into a table of its own and its rows copied, numbered, into the contacts.
        std::filesystem::copy_file(folder.twin, target,
                                   std::filesystem::copy_options::overwrite_existing);
        Shell("sqlite3 '" + target + "' 'DELETE FROM " + bench::Quoted(folder.twin_table) + "'");
        const std::string script = folder.path + "/import.sql";
        std::ofstream(script) << ".import --csv " << file << " incoming\n"
                              << "INSERT INTO " << bench::Quoted(folder.twin_table)
                              << " (\"ClientID\", " << folder.columns
                              << ") SELECT rowid, * FROM incoming;\nDROP TABLE incoming;\n";
        return bench::Seconds([&] { Shell("sqlite3 '" + target + "' < '" + script + "'"); });
      },
      1);
  state.counters["stall_ms"] = stall * 1000;
  state.counters["added"] = static_cast<double>(added);
}
BENCHMARK(BM_ImportContacts)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
