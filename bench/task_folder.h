// A scratch data folder for benchmarks, made current, with the data library loaded and the
// task table filled with future tasks (a quarter of them switched off); the table is left open
// on the calling thread. Removed again when the object goes.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "runtime/storage/sqlite_session.h"

namespace vx::bench {

struct TaskFolder {
  TaskFolder(int tasks, std::int32_t today) {
    char pattern[] = "/tmp/vx-bench-tasks-XXXXXX";
    path = mkdtemp(pattern);
    std::filesystem::current_path(path);
    VX_Files_Load();
    ACCESS_SCHEDULE->Open();
    storage::LOGOUT(10);
    for (int i = 0; i < tasks; ++i) {
      SCH = SCHEDULE_RECORD{};
      SCH.ID = i + 1;
      SCH.TaskType = "Run Program";
      SCH.ScheduleType = "Day of Week";
      SCH.Description = "Task " + std::to_string(i + 1);
      SCH.Disabled = static_cast<std::uint8_t>(i % 4 == 0);
      SCH.Date = today + 1 + static_cast<std::int32_t>((i * 7919LL) % 3650);
      SCH.Time = 1 + static_cast<std::int32_t>((i * 104729LL) % 8640000);
      ACCESS_SCHEDULE->Insert();
    }
    storage::COMMIT();
  }
  ~TaskFolder() {
    ACCESS_SCHEDULE->Close();
    std::filesystem::current_path("/");
    VX_Files_Unload();
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  TaskFolder(const TaskFolder&) = delete;
  TaskFolder& operator=(const TaskFolder&) = delete;
  std::string path;
};

}  // namespace vx::bench
