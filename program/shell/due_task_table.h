// The due-task road's SCHEDULE and MSGLINK operations on the data library's tables, through
// their file and relation managers on the calling thread.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "program/shell/due_task.h"
#include "runtime/window/dialogs.h"

namespace vx {

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

 private:
  class ProblemWatch;
  std::unique_ptr<ProblemWatch> watch_;
  std::optional<HeldMessages> held_;
};

}  // namespace vx
