#include "program/script_engine/script_tables.h"

#include <limits>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "runtime/storage/errors.h"
#include "runtime/storage/sqlite_session.h"

namespace vx {
namespace {

FileResult Result(int code) { return code == 0 ? FileResult{} : FileResult{code, ERROR()}; }

// Positions the SCRIPTING walk on the first step of task id.
int SetToTask(std::int32_t id) {
  SCR.ID = id;
  SCR.Sequence = std::numeric_limits<std::int32_t>::min();
  return ACCESS_SCRIPTING->file().SetFromBuffer(SCR_KEYID);
}

}  // namespace

ScriptingTableSteps::ScriptingTableSteps() { opened_ = ACCESS_SCRIPTING->Open() == 0; }

ScriptingTableSteps::~ScriptingTableSteps() {
  if (opened_) ACCESS_SCRIPTING->Close();
}

FileResult ScriptingTableSteps::DeleteTaskSteps(std::int32_t id,
                                                const std::function<void()>& deleted) {
  if (!opened_) return {storage::kNotOpen, storage::ErrorText(storage::kNotOpen)};
  ACCESS_SCRIPTING->file().Send("QUICKSCAN=on");
  if (const int code = SetToTask(id); code != 0) return Result(code);
  for (;;) {
    const int code = ACCESS_SCRIPTING->Next();  // a failed read is reported by the manager
    if (code == storage::kNoRecord || (code == 0 && SCR.ID != id)) return {};
    if (code != 0) return Result(code);
    // The manager reports a failed delete, which ends the walk.
    if (const int failed = ACCESS_SCRIPTING->Delete(); failed != 0) return Result(failed);
    if (deleted) deleted();
  }
}

FileResult ScriptingTableSteps::ForEachStep(
    std::int32_t id, const std::function<bool(const SCRIPTING_RECORD&)>& visit) {
  if (!opened_) return {storage::kNotOpen, storage::ErrorText(storage::kNotOpen), true};
  if (const int code = SetToTask(id); code != 0) {
    FileResult result = Result(code);
    result.positioning = true;
    return result;
  }
  for (;;) {
    const int code = ACCESS_SCRIPTING->file().Next();
    if (code == storage::kNoRecord || (code == 0 && SCR.ID != id)) return {};
    if (code != 0) return Result(code);
    const SCRIPTING_RECORD step = SCR;
    if (!visit(step)) return {};
  }
}

bool ScriptingTableSteps::StepExists(std::int32_t id, std::int32_t sequence) {
  if (!opened_) return false;
  SCR.ID = id;
  SCR.Sequence = sequence;
  return ACCESS_SCRIPTING->file().Get(SCR_KEYID) == 0;
}

FileResult ScriptingTableSteps::AddStep(const SCRIPTING_RECORD& step) {
  if (!opened_) return {storage::kNotOpen, storage::ErrorText(storage::kNotOpen)};
  SCR = step;
  // A plain add: the step keeps the sequence it was given (0 included), which the manager's
  // insert would take for "number me".
  return Result(ACCESS_SCRIPTING->file().Add());
}

FileResult ScriptingTableSteps::ChangeSequence(std::int32_t id, std::int32_t from,
                                               std::int32_t to) {
  if (!opened_) return {storage::kNotOpen, storage::ErrorText(storage::kNotOpen)};
  SCR.ID = id;
  SCR.Sequence = from;
  if (const int code = ACCESS_SCRIPTING->file().Get(SCR_KEYID); code != 0) return Result(code);
  SCR.Sequence = to;
  return Result(ACCESS_SCRIPTING->file().Put());
}

FileResult ScriptingTableSteps::BeginChanges() {
  if (!opened_) return {storage::kNotOpen, storage::ErrorText(storage::kNotOpen)};
  return Result(storage::LOGOUT(ACCESS_SCRIPTING->LockRecover));
}

FileResult ScriptingTableSteps::CommitChanges() { return Result(storage::COMMIT()); }

void ScriptingTableSteps::RollbackChanges() { storage::ROLLBACK(); }

void ScriptingTableSteps::BeginBatch() {
  if (opened_) ACCESS_SCRIPTING->file().Stream();
}

void ScriptingTableSteps::EndBatch() {
  if (opened_) ACCESS_SCRIPTING->file().Flush();
}

ExportTableFile::~ExportTableFile() { Close(); }

FileResult ExportTableFile::Open(const std::string& file_name) {
  Close();
  GLO_EXPORTNAME = file_name;
  const int code = ACCESS_EXPORT->Open();
  opened_ = code == 0;
  if (opened_) ACCESS_EXPORT->file().Send("QUICKSCAN=on");
  return Result(code);
}

FileResult ExportTableFile::Create(const std::string& file_name) {
  if (FileResult opened = Open(file_name); !opened.ok()) return opened;
  return Result(ACCESS_EXPORT->file().Empty());  // the file's old lines go
}

FileResult ExportTableFile::AddLine(const EXPORT_RECORD& line) {
  if (!opened_) return {storage::kNotOpen, storage::ErrorText(storage::kNotOpen)};
  EXP = line;
  return Result(ACCESS_EXPORT->file().Add());
}

FileResult ExportTableFile::ForEachLine(const std::function<bool(const EXPORT_RECORD&)>& visit) {
  if (!opened_) return {storage::kNotOpen, storage::ErrorText(storage::kNotOpen)};
  if (const int code = ACCESS_EXPORT->file().Set(); code != 0) return Result(code);
  for (;;) {
    const int code = ACCESS_EXPORT->file().Next();
    if (code == storage::kNoRecord) return {};
    if (code != 0) return Result(code);
    const EXPORT_RECORD line = EXP;
    if (!visit(line)) return {};
  }
}

void ExportTableFile::Close() {
  if (opened_) ACCESS_EXPORT->Close();
  opened_ = false;
}

}  // namespace vx
