#include "program/common/read_only_database.h"

#include <atomic>
#include <string>

#include "datadll/dictionary/schedule_table.h"
#include "runtime/storage/file.h"
#include "runtime/storage/stored_name.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

std::atomic<bool> gTold{false};

}  // namespace

bool ScheduleCannotBeStored() {
  const storage::TableDef& schedule = SCHEDULE_TABLE();
  if (!storage::DataFileReadOnly(schedule)) return false;
  if (!gTold.exchange(true)) {
    const std::string file = storage::ResolveOnDisk(
        storage::ParseStoredName(schedule.StoredName(), schedule.driver).path);
    MESSAGE("The database " + file +
                " cannot be written, so it is opened read-only: no change can be saved, and the "
                "scheduler "
                "stays inactive until the file can be written again.",
            "Read-Only Database", MessageIcon::Exclamation);
  }
  return true;
}

}  // namespace vx
