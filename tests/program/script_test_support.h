// Helpers for script tests: steps built field by field, a readable dump of a step for
// comparisons, and in-memory stand-ins for the script tables and the message boxes.
#pragma once

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "program/script_engine/script_steps.h"
#include "runtime/message_box.h"

namespace vx::test {

// A step with its action and the fields that fill sets.
inline SCRIPTING_RECORD Step(std::string_view action,
                             const std::function<void(SCRIPTING_RECORD&)>& fill = {}) {
  SCRIPTING_RECORD s;
  s.Action = action;
  if (fill) fill(s);
  return s;
}

// Every field of a step that a script uses, one "name=value" per field; blanks shown as is.
inline std::string Dump(const SCRIPTING_RECORD& s) {
  std::ostringstream out;
  out << "ID=" << s.ID << " Sequence=" << s.Sequence << " Action=[" << s.Action.clipped()
      << "] Keystrokes=[" << s.Keystrokes.clipped() << "] SecondsToWait=" << s.SecondsToWait
      << " WaitForWindow=[" << s.WaitForWindow.clipped() << "] FocusOnWindow=["
      << s.FocusOnWindow.clipped() << "] WindowExistance=[" << s.WindowExistance.clipped()
      << "] WindowTitleToCheckFor=[" << s.WindowTitleToCheckFor.clipped() << "] IfTimeElapsed=["
      << s.IfTimeElapsed.clipped() << "] TimeElapsed=" << s.TimeElapsed << " EmailID=" << s.EmailID
      << " Command=[" << s.Command.clipped() << "] Path=[" << s.Path.clipped() << "] DDEType=["
      << s.DDEType.clipped() << "] DDEApplicationName=[" << s.DDEApplicationName.clipped()
      << "] DDEApplicationTopic=[" << s.DDEApplicationTopic.clipped() << "] DDELinkItem=["
      << s.DDELinkItem.clipped() << "] DDECommand=[" << s.DDECommand.clipped() << "]";
  return out.str();
}

class FakeScriptSteps : public ScriptSteps {
 public:
  std::map<std::pair<std::int32_t, std::int32_t>, SCRIPTING_RECORD> rows;
  int fail_add_at_sequence = -1;  // an add of this sequence fails
  bool fail_delete = false;
  int fail_read_after = -1;  // a walk fails after this many rows
  bool fail_set = false;     // a walk cannot be positioned
  int batches_begun = 0, batches_ended = 0;
  std::function<void()> on_delete;  // called after each row deleted

  void Put(const SCRIPTING_RECORD& step) { rows[{step.ID, step.Sequence}] = step; }

  std::vector<SCRIPTING_RECORD> Task(std::int32_t id) const {
    std::vector<SCRIPTING_RECORD> out;
    for (const auto& [key, row] : rows) {
      if (key.first == id) out.push_back(row);
    }
    return out;
  }

  // "sequence action" of each step of task id, in sequence order.
  std::vector<std::string> Summary(std::int32_t id) const {
    std::vector<std::string> out;
    for (const SCRIPTING_RECORD& s : Task(id))
      out.push_back(std::to_string(s.Sequence) + " " + s.Action.str());
    return out;
  }

  using ScriptSteps::DeleteTaskSteps;
  FileResult DeleteTaskSteps(std::int32_t id, const std::function<void()>& deleted) override {
    if (fail_delete) return {90, "Disk full"};
    for (auto it = rows.begin(); it != rows.end();) {
      if (it->first.first != id) {
        ++it;
        continue;
      }
      it = rows.erase(it);
      if (deleted) deleted();
      if (on_delete) on_delete();
    }
    return {};
  }
  FileResult ForEachStep(std::int32_t id,
                         const std::function<bool(const SCRIPTING_RECORD&)>& visit) override {
    if (fail_set) return {35, "Record Not Found", true};
    int read = 0;
    for (const auto& [key, row] : rows) {
      if (key.first != id) continue;
      if (read++ == fail_read_after) return {33, "Record Not Available"};
      if (!visit(row)) break;
    }
    return {};
  }
  bool StepExists(std::int32_t id, std::int32_t sequence) override {
    return rows.contains({id, sequence});
  }
  FileResult AddStep(const SCRIPTING_RECORD& step) override {
    if (step.Sequence == fail_add_at_sequence) return {90, "Disk full"};
    if (rows.contains({step.ID, step.Sequence})) return {40, "Creates Duplicate Key"};
    rows[{step.ID, step.Sequence}] = step;
    return {};
  }
  FileResult ChangeSequence(std::int32_t id, std::int32_t from, std::int32_t to) override {
    if (changes_made++ == fail_change_at) return {90, "Disk full"};
    auto it = rows.find({id, from});
    if (it == rows.end()) return {35, "Record Not Found"};
    if (rows.contains({id, to})) return {40, "Creates Duplicate Key"};
    SCRIPTING_RECORD step = it->second;
    rows.erase(it);
    step.Sequence = to;
    rows[{id, to}] = step;
    return {};
  }
  FileResult BeginChanges() override {
    saved = rows;
    in_changes = true;
    return {};
  }
  FileResult CommitChanges() override {
    in_changes = false;
    ++commits;
    return {};
  }
  void RollbackChanges() override {
    if (in_changes) rows = saved;
    in_changes = false;
    ++rollbacks;
  }
  void BeginBatch() override { ++batches_begun; }
  void EndBatch() override { ++batches_ended; }

  int fail_change_at = -1;  // the change with this number (from 0) fails
  int changes_made = 0;
  int commits = 0, rollbacks = 0;

 private:
  std::map<std::pair<std::int32_t, std::int32_t>, SCRIPTING_RECORD> saved;
  bool in_changes = false;
};

class FakeScriptFile : public ScriptFile {
 public:
  std::map<std::string, std::vector<EXPORT_RECORD>> files;
  std::string open_name;
  bool is_open = false;
  int fail_add_at_line = -1;

  FileResult Create(const std::string& file_name) override {
    files[file_name].clear();
    open_name = file_name;
    is_open = true;
    return {};
  }
  FileResult Open(const std::string& file_name) override {
    if (!files.contains(file_name)) return {2, "File Not Found"};
    open_name = file_name;
    is_open = true;
    return {};
  }
  FileResult AddLine(const EXPORT_RECORD& line) override {
    auto& lines = files[open_name];
    if (static_cast<int>(lines.size()) == fail_add_at_line) {
      fail_add_at_line = -1;
      return {90, "Disk full"};
    }
    lines.push_back(line);
    return {};
  }
  FileResult ForEachLine(const std::function<bool(const EXPORT_RECORD&)>& visit) override {
    for (const EXPORT_RECORD& line : files[open_name]) {
      if (!visit(line)) break;
    }
    return {};
  }
  void Close() override { is_open = false; }
};

// Records every box shown and answers with a chosen button (the default button otherwise).
class RecordingReporter : public MessageReporter {
 public:
  std::vector<MessageBoxRequest> shown;
  unsigned answer = 0;
  unsigned Show(const MessageBoxRequest& box) override {
    shown.push_back(box);
    return answer != 0 ? answer : box.default_button;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& box : shown) out.push_back(box.caption + ": " + box.text);
    return out;
  }
};

}  // namespace vx::test
