// The due-task road's SCHEDULE and MSGLINK operations on the data library's tables, through
// their file and relation managers on the calling thread.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "program/due_tasks/due_task.h"
#include "runtime/window/dialogs.h"

namespace vx {

// In multi-user mode (user_task_state.h) the walk is the current user's VXUSD rows in the order
// of their next runs, each read with its task; writes of the run state go to the user's row.
class DueTaskTableFiles final : public DueTaskTable {
 public:
  DueTaskTableFiles();
  ~DueTaskTableFiles() override;

  int StartDateEnabledWalk() override;
  int Next() override;
  int FetchTask(std::int32_t id) override;
  int TryUpdate() override;
  int Update() override;
  // Through the task's relations, so that its script steps and per-user rows go with it.
  int DeleteTask() override;
  // One transaction (LOGOUT) over the task and script tables. The problems their managers
  // report meanwhile are kept by the table, the first one answered as the reason; other boxes
  // asked for meanwhile are held, shown once the writes are stored and dropped when they are
  // undone (they would come again with each try).
  void BeginWrites() override;
  int EndWrites(bool keep, std::string& reason) override;
  // On a database server, a claim row per user and occurrence; in the data folder's files
  // (which one program holds) always Ours.
  storage::ClaimResult ClaimRun() override;
  // A lock of this program's server session on the occurrence (always Ours without a server).
  storage::ClaimResult ReserveRun() override;
  void ReleaseRun() override;

 private:
  class ProblemWatch;
  // Reads the user's row of task SCH.ID into US and lays it over SCH; 35 when there is none.
  int FetchUserState();
  int WriteUserState(bool report);
  std::unique_ptr<ProblemWatch> watch_;
  std::optional<HeldMessages> held_;
  std::string reserved_;  // the occurrence this program holds, "" none
};

}  // namespace vx
