// A data folder for the desktop tests that start the built VX: its one task shows a message now.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "program/shell/config_store.h"
#include "runtime/dates.h"

namespace vx::test {

// Stores a "Display Message" task due now in the current folder, shown by the external message
// program or by the program's own window.
inline void AddDueMessageTask(const char* description, const char* message, bool external) {
  VX_Files_Load();
  SetConfigValue("UseVXMsg", external ? "1" : "0");
  ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
  SCH = SCHEDULE_RECORD{};
  SCH.ID = 1;
  SCH.TaskType = "Display Message";
  SCH.ScheduleType = "Once";
  SCH.Description = description;
  SCH.Message = message;
  SCH.Date = TODAY();
  SCH.Time = CLOCK();
  ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  ACCESS_SCHEDULE->Close();
  VX_Files_Unload();
  if (!std::filesystem::exists("VX97.TPS")) std::ofstream("VX97.TPS").close();
}

}  // namespace vx::test
