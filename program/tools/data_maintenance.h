// Maintenance of the data folder's databases while no program uses them: the integrity check of
// every data file, its keys (indexes) rebuilt, its free space given back, and the records of each
// table counted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vx {

struct TableRecords {
  std::string file;   // the data file's name ("VX97.TPS")
  std::string table;  // the table inside it
  std::int64_t records = 0;
};

struct MaintenanceReport {
  std::vector<std::string> files;     // the data files found, sorted
  std::vector<TableRecords> tables;   // by file, then table
  std::vector<std::string> repaired;  // "VX97.TPS: ..." damage the rebuilt keys mended
  std::vector<std::string> problems;  // "VX97.TPS: ..." what is still wrong, or could not be done
  std::uintmax_t bytes_before = 0, bytes_after = 0;
  bool ok() const { return problems.empty(); }
};

// The databases directly in the folder (files that begin as SQLite databases do), sorted by name.
std::vector<std::filesystem::path> DataFiles(const std::filesystem::path& data);

// Told before each step: steps done of all steps, and what comes now.
using MaintenanceProgress =
    std::function<void(std::size_t done, std::size_t total, const std::string& what)>;

// Checks each data file, rebuilds its keys (and checks again when the first check found damage),
// compacts it and counts its tables' records. A file that cannot be opened or compacted is a
// problem of the report; the other files are still done.
MaintenanceReport MaintainDataFiles(const std::filesystem::path& data,
                                    const MaintenanceProgress& progress = {});

// One line for the user: what was done and whether everything is sound.
std::string MaintenanceSummary(const MaintenanceReport& report);

}  // namespace vx
