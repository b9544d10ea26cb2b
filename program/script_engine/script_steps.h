// The tables the script routines work on, behind narrow interfaces: the SCRIPTING rows of a task
// and a comma-delimited script file (the EXPORT table). The program reaches them through the
// data library's file managers; tests use in-memory doubles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "datadll/dictionary/export_table.h"
#include "datadll/dictionary/scripting_table.h"

namespace vx {

// What a file call gave: 0, or the runtime error code with its text.
struct FileResult {
  int code = 0;
  std::string text;
  bool positioning = false;  // a walk failed before its first read (it could not be positioned)
  bool ok() const { return code == 0; }
};

// The SCRIPTING rows of tasks, keyed by task id and sequence.
class ScriptSteps {
 public:
  virtual ~ScriptSteps() = default;
  // Deletes every step of task id, calling deleted (when given) after each row. A failed delete
  // has been reported through the framework's error handling when this returns; the result
  // tells the caller to stop.
  virtual FileResult DeleteTaskSteps(std::int32_t id, const std::function<void()>& deleted) = 0;
  FileResult DeleteTaskSteps(std::int32_t id) { return DeleteTaskSteps(id, {}); }
  // Gives each step of task id in sequence order to visit until visit returns false; a failed
  // read ends the walk and is returned.
  virtual FileResult ForEachStep(std::int32_t id,
                                 const std::function<bool(const SCRIPTING_RECORD&)>& visit) = 0;
  virtual bool StepExists(std::int32_t id, std::int32_t sequence) = 0;
  // How many steps task id has (what a progress window counts up to).
  std::size_t CountSteps(std::int32_t id) {
    std::size_t count = 0;
    ForEachStep(id, [&](const SCRIPTING_RECORD&) {
      ++count;
      return true;
    });
    return count;
  }
  virtual FileResult AddStep(const SCRIPTING_RECORD& step) = 0;
  // Gives step (id, from) the sequence `to`; fails when there is no such step or `to` is taken.
  virtual FileResult ChangeSequence(std::int32_t id, std::int32_t from, std::int32_t to) = 0;
  // Changes between BeginChanges and CommitChanges are kept or lost together: RollbackChanges
  // undoes every one of them.
  virtual FileResult BeginChanges() { return {}; }
  virtual FileResult CommitChanges() { return {}; }
  virtual void RollbackChanges() {}
  // Many adds in a row are batched between these two (stream mode, then flush).
  virtual void BeginBatch() {}
  virtual void EndBatch() {}
};

// A script file: one EXPORT record per line, in line order.
class ScriptFile {
 public:
  virtual ~ScriptFile() = default;
  // Replaces any file of that name by an empty one and opens it.
  virtual FileResult Create(const std::string& file_name) = 0;
  virtual FileResult Open(const std::string& file_name) = 0;
  virtual FileResult AddLine(const EXPORT_RECORD& line) = 0;
  // Gives each line to visit in file order until visit returns false.
  virtual FileResult ForEachLine(const std::function<bool(const EXPORT_RECORD&)>& visit) = 0;
  // How many lines the open file has.
  std::size_t CountLines() {
    std::size_t count = 0;
    ForEachLine([&](const EXPORT_RECORD&) {
      ++count;
      return true;
    });
    return count;
  }
  virtual void Close() = 0;
};

}  // namespace vx
