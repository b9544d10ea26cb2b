#include "program/due_tasks/add_schedule_history.h"

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "runtime/storage/errors.h"

namespace vx {
namespace {

// Whether a task with this id is stored; the buffer is left as it was.
bool IdTaken(std::int32_t id) {
  const SCHEDULE_RECORD keep = SCH;
  SCH.ID = id;
  const bool taken = ACCESS_SCHEDULE->TryFetch(SCH_KEYID) == storage::kNoError;
  SCH = keep;
  return taken;
}

}  // namespace

int AddScheduleHistory(const SCHEDULE_RECORD& record, std::string_view message) {
  // Copies first: the record or the message may be the SCHEDULE buffer itself.
  const SCHEDULE_RECORD copy = record;
  const String<4096> memo(message);

  std::int32_t id = 1;
  if (ACCESS_SCHEDULE->Set(SCH_KEYID) == storage::kNoError &&
      ACCESS_SCHEDULE->TryPrevious() == storage::kNoError) {
    id = SCH.ID + 1;
  }
  SCH = copy;
  SCH.Message = memo;
  SCH.ID = id;
  while (IdTaken(SCH.ID)) ++SCH.ID;

  int code = ACCESS_SCHEDULE->file().Add();
  // Another thread may have taken the id since it was looked up: take the next one.
  while (code == storage::kDuplicateKey && ACCESS_SCHEDULE->file().DuplicateKey() == &SCH_KEYID) {
    ++SCH.ID;
    code = ACCESS_SCHEDULE->file().Add();
  }
  if (code != storage::kNoError) ACCESS_SCHEDULE->Report(FileMessage::InsertFailed, code);
  return code;
}

}  // namespace vx
