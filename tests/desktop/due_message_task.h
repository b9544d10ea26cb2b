// A data folder for the desktop tests that start the built VX: its one task shows a message or
// runs a program now.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>

#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "program/common/config_store.h"
#include "runtime/dates.h"
#include "runtime/storage/file.h"
#include "tests/support/damaged_files.h"

namespace vx::test {

// Open files belong to the thread and outlive the data library's unload: a table left open by an
// earlier test of this process would take this test's reads and writes to that test's folder.
inline void CloseDataFiles() {
  for (const storage::TableDef* table : DictionaryTables()) {
    storage::File& file = storage::File::For(*table);
    while (file.IsOpen()) file.Close();
  }
}

// The event log of the current folder ("VX98EVNT.LOG", whatever the letter case); empty if none.
inline std::string EventLogText() {
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    std::string name = entry.path().filename().string();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name != "VX98EVNT.LOG") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return {};
}

// Stores settings in the current folder's database. The store is closed on this thread before
// the data library goes: left open, it would stay bound to this folder's database, and the next
// test's settings (in a new folder) would be written to this one after it had been removed.
inline void StoreSettings(std::initializer_list<std::pair<const char*, const char*>> settings) {
  VX_Files_Load();
  for (const auto& [key, value] : settings) SetConfigValue(key, value);
  while (ACCESS_CONFIGURATION->Opened() > 0) ACCESS_CONFIGURATION->Close();
  VX_Files_Unload();
}

// Stores task 1, due now once, of this type and description, with what fill adds, while the
// data files are loaded.
inline void InsertTaskDueNow(const char* type, const char* description,
                             const std::function<void(SCHEDULE_RECORD&)>& fill) {
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  SCH = SCHEDULE_RECORD{};
  SCH.ID = 1;
  SCH.TaskType = type;
  SCH.ScheduleType = "Once";
  SCH.Description = description;
  fill(SCH);
  SCH.Date = TODAY();
  SCH.Time = CLOCK();
  ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  ACCESS_SCHEDULE->Close();
}

// Stores a "Display Message" task due now in the current folder, shown by the external message
// program or by the program's own window.
inline void AddDueMessageTask(const char* description, const char* message, bool external) {
  StoreSettings({{"UseVXMsg", external ? "1" : "0"}});
  VX_Files_Load();
  InsertTaskDueNow("Display Message", description,
                   [&](SCHEDULE_RECORD& task) { task.Message = message; });
  VX_Files_Unload();
  if (!std::filesystem::exists("VX97.TPS")) test::MakeEmptyDatabase("VX97.TPS");
}

// Stores a "Run Program" task due now with this command ("N/A": only its script runs), while
// the data files are loaded.
inline void AddDueProgramTask(const char* description, const std::string& command) {
  InsertTaskDueNow("Run Program", description,
                   [&](SCHEDULE_RECORD& task) { task.Command = command; });
}

}  // namespace vx::test
