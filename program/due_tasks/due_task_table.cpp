#include "program/due_tasks/due_task_table.h"

#include <sqlite3.h>

#include <utility>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/relation_manager.h"
#include "program/due_tasks/user_task_state.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/storage/table_backend.h"
#include "runtime/text_functions.h"

namespace vx {

// Stands in for the error sinks of the task and script tables while writes are open: keeps the
// first problem instead of showing it. A stored structure that differs still goes to the
// table's own sink, which stops the program.
class DueTaskTableFiles::ProblemWatch final : public FileErrorSink {
 public:
  ProblemWatch() {
    for (FileManager* table : {ACCESS_SCHEDULE, ACCESS_SCRIPTING, ACCESS_VXUSD}) {
      watched_.emplace_back(table, table->errors());
      table->SetErrors(this);
    }
  }
  ~ProblemWatch() override {
    for (auto& [table, sink] : watched_) table->SetErrors(sink);
  }
  ProblemWatch(const ProblemWatch&) = delete;
  ProblemWatch& operator=(const ProblemWatch&) = delete;

  int TakeFileProblem(const FileProblem& problem) override {
    if (problem.message == FileMessage::StructureDiffers) {
      for (auto& [table, sink] : watched_) {
        if (table->def().label == problem.label && sink) return sink->TakeFileProblem(problem);
      }
      return 0;
    }
    if (code_ == 0) {
      code_ = problem.code != 0 ? problem.code : storage::kDriverError;
      reason_ = problem.error_text.empty() ? problem.caption : problem.error_text;
    }
    return 0;
  }
  int code() const { return code_; }
  const std::string& reason() const { return reason_; }

 private:
  std::vector<std::pair<FileManager*, FileErrorSink*>> watched_;
  int code_ = 0;
  std::string reason_;
};

DueTaskTableFiles::DueTaskTableFiles() = default;

DueTaskTableFiles::~DueTaskTableFiles() {
  if (watch_) {
    std::string reason;
    EndWrites(false, reason);
  }
  ReleaseRun();
}

int DueTaskTableFiles::FetchUserState() {
  US = VXUSD_RECORD{};
  US.ID = SCH.ID;
  US.USER = TaskStateUser();
  const int code = ACCESS_VXUSD->TryFetch(US_KEYID);
  if (code == 0) OverlayUserState(US, SCH);
  return code;
}

int DueTaskTableFiles::WriteUserState(bool report) {
  const SCHEDULE_RECORD task = SCH;
  US = VXUSD_RECORD{};
  US.ID = task.ID;
  US.USER = TaskStateUser();
  if (const int code = ACCESS_VXUSD->TryFetch(US_KEYID); code != 0) return code;
  TakeUserState(task, US);
  return report ? ACCESS_VXUSD->Update() : ACCESS_VXUSD->TryUpdate();
}

int DueTaskTableFiles::StartDateEnabledWalk() {
  if (PerUserTaskState()) {
    // The user's rows that are neither completed nor disabled, from the first with a time.
    ACCESS_VXUSD->UseFile();
    US = VXUSD_RECORD{};
    US.USER = TaskStateUser();
    US.TIME = 1;
    return ACCESS_VXUSD->SetFromBuffer(US_KEYUSER);
  }
  // From the key's next value after (enabled, no date, no time): enabled, no date, time 1.
  // The buffer keeps the record it holds.
  const std::uint8_t disabled = SCH.Disabled;
  const std::int32_t date = SCH.Date;
  const std::int32_t time = SCH.Time;
  SCH.Disabled = 0;
  SCH.Date = 0;
  SCH.Time = 1;
  const int code = ACCESS_SCHEDULE->SetFromBuffer(SCH_KEYDATEENABLED);
  SCH.Disabled = disabled;
  SCH.Date = date;
  SCH.Time = time;
  return code;
}

// Quiet: a read that fails is told once by the check, not in a box at every tick.
int DueTaskTableFiles::Next() {
  if (!PerUserTaskState()) return ACCESS_SCHEDULE->TryNext();
  const std::string user = UPPER(TaskStateUser());
  for (;;) {
    if (const int code = ACCESS_VXUSD->TryNext(); code != 0) return code;
    if (UPPER(CLIP(US.USER.str())) != user || US.COMPLETED != 0 || US.DISABLED != 0) {
      storage::SetError(storage::kNoRecord, ACCESS_VXUSD->def().StoredName());
      return storage::kNoRecord;
    }
    const VXUSD_RECORD row = US;
    SCH.ID = row.ID;
    const int code = ACCESS_SCHEDULE->TryFetch(SCH_KEYID);
    if (code == storage::kRecordNotFound) continue;  // a row of a task gone meanwhile
    if (code != 0) return code;
    OverlayUserState(row, SCH);
    return 0;
  }
}

int DueTaskTableFiles::FetchTask(std::int32_t id) {
  SCH.ID = id;
  const int code = ACCESS_SCHEDULE->TryFetch(SCH_KEYID);
  if (code == 0 && PerUserTaskState()) FetchUserState();
  return code;
}

int DueTaskTableFiles::TryUpdate() {
  return PerUserTaskState() ? WriteUserState(false) : ACCESS_SCHEDULE->TryUpdate();
}

int DueTaskTableFiles::Update() {
  return PerUserTaskState() ? WriteUserState(true) : ACCESS_SCHEDULE->Update();
}

namespace {

// The name of the occurrence in SCH among the claims: the task, the user and the moment.
std::string RunName() {
  return "run " + std::to_string(SCH.ID) + " " + UPPER(TaskStateUser()) + " " +
         std::to_string(SCH.Date) + " " + std::to_string(SCH.Time);
}

}  // namespace

storage::ClaimResult DueTaskTableFiles::ClaimRun() {
  return storage::ClaimOnce(RunName(), ACCESS_SCHEDULE->LockRecover * 1000);
}

storage::ClaimResult DueTaskTableFiles::ReserveRun() {
  ReleaseRun();
  const std::string name = RunName();
  const storage::ClaimResult result = storage::ReserveOnce(name);
  if (result == storage::ClaimResult::Ours) reserved_ = name;
  return result;
}

void DueTaskTableFiles::ReleaseRun() {
  if (reserved_.empty()) return;
  storage::ReleaseOnce(reserved_);
  reserved_.clear();
}

int DueTaskTableFiles::DeleteTask() {
  if (PerUserTaskState()) {
    // The task is done for this user alone: their row goes, the team's task stays.
    US = VXUSD_RECORD{};
    US.ID = SCH.ID;
    US.USER = TaskStateUser();
    const int code = ACCESS_VXUSD->TryFetch(US_KEYID);
    return code != 0 ? code : ACCESS_VXUSD->Delete();
  }
  RELATE_SCHEDULE->Open();
  const int deleted = RELATE_SCHEDULE->Delete(false);
  RELATE_SCHEDULE->Close();
  return deleted;
}

void DueTaskTableFiles::BeginWrites() {
  held_.emplace();
  watch_ = std::make_unique<ProblemWatch>();
  storage::LOGOUT(ACCESS_SCHEDULE->LockRecover);
}

int DueTaskTableFiles::EndWrites(bool keep, std::string& reason) {
  int code = 0;
  if (keep && watch_->code() == 0) {
    code = storage::COMMIT();  // a failed commit has undone the whole of it
    // A server's commit answers a runtime code with the server's text.
    if (code != 0) reason = storage::InstalledTableStore() ? FILEERROR() : sqlite3_errstr(code);
  } else {
    storage::ROLLBACK();
    code = watch_->code() != 0 ? watch_->code() : storage::kDriverError;
    reason = watch_->code() != 0 ? watch_->reason() : std::string("a record could not be written");
  }
  watch_.reset();
  if (code == 0) {
    held_->ShowHeld();
  } else {
    held_->Discard();
  }
  held_.reset();
  return code;
}

}  // namespace vx
