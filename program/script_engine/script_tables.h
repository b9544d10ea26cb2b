// The script tables of the data library as the script routines use them: the task steps
// through ACCESS_SCRIPTING and script files through ACCESS_EXPORT. Both work on the calling
// thread's record buffers (SCR, EXP) and keep their table open while they live.
#pragma once

#include "program/script_engine/script_steps.h"

namespace vx {

class ScriptingTableSteps : public ScriptSteps {
 public:
  ScriptingTableSteps();
  ~ScriptingTableSteps() override;
  ScriptingTableSteps(const ScriptingTableSteps&) = delete;
  ScriptingTableSteps& operator=(const ScriptingTableSteps&) = delete;

  using ScriptSteps::DeleteTaskSteps;
  FileResult DeleteTaskSteps(std::int32_t id, const std::function<void()>& deleted) override;
  FileResult ForEachStep(std::int32_t id,
                         const std::function<bool(const SCRIPTING_RECORD&)>& visit) override;
  bool StepExists(std::int32_t id, std::int32_t sequence) override;
  FileResult AddStep(const SCRIPTING_RECORD& step) override;
  FileResult ChangeSequence(std::int32_t id, std::int32_t from, std::int32_t to) override;
  FileResult BeginChanges() override;
  FileResult CommitChanges() override;
  void RollbackChanges() override;
  void BeginBatch() override;
  void EndBatch() override;

 private:
  bool opened_ = false;
};

// The comma-delimited script file; the file's name is GLO_EXPORTNAME, set by Create and Open.
class ExportTableFile : public ScriptFile {
 public:
  ~ExportTableFile() override;

  FileResult Create(const std::string& file_name) override;
  FileResult Open(const std::string& file_name) override;
  FileResult AddLine(const EXPORT_RECORD& line) override;
  FileResult ForEachLine(const std::function<bool(const EXPORT_RECORD&)>& visit) override;
  void Close() override;

 private:
  bool opened_ = false;
};

}  // namespace vx
