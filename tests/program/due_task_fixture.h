// The due-task road's test bench: the task table as a map shared with the schedule services,
// a frame that records what it is told, and builders for due tasks.
#pragma once

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <sqlite3.h>

#include "datadll/dictionary/message_tables.h"
#include "program/due_tasks/due_task.h"
#include "runtime/pictures.h"
#include "runtime/storage/errors.h"
#include "tests/program/schedule_fixture.h"
#include "tests/program/task_road_fixture.h"

namespace vx::test {

// SCHEDULE as a map by id, walked in (disabled, date, time, id) order like the key.
class FakeDueTaskTable : public DueTaskTable {
 public:
  FakeDueTaskTable(std::map<std::int32_t, SCHEDULE_RECORD>& tasks, FakeScriptSteps& steps)
      : tasks_(tasks), steps_(steps) {}

  int fail_update = 0;              // the error Update and TryUpdate give; 0 writes
  int fail_try_update = 0;          // the error TryUpdate alone gives
  std::set<std::int32_t> fail_ids;  // tasks whose Update fails (with 90) however fail_update is
  int fail_commit = 0;              // the error EndWrites gives when it would commit; 0 commits
  int fail_next = 0;  // the error Next gives (with the driver's code below for 90); 0 reads
  int fail_driver_code = 0;
  int updates = 0, try_updates = 0;
  int reads = 0;  // records Next has read
  int commits = 0, rollbacks = 0;
  std::vector<std::int32_t> deleted;

  // Past the enabled tasks without date and time, like the table's keyed positioning.
  int StartDateEnabledWalk() override {
    order_.clear();
    for (const auto& [id, task] : tasks_) {
      if (std::tie(task.Disabled, task.Date, task.Time) >= std::make_tuple(std::uint8_t{0}, 0, 1))
        order_.push_back(task);
    }
    std::stable_sort(order_.begin(), order_.end(), [](const auto& a, const auto& b) {
      return std::tie(a.Disabled, a.Date, a.Time) < std::tie(b.Disabled, b.Date, b.Time);
    });
    next_ = 0;
    return 0;
  }
  int Next() override {
    if (fail_next != 0) {
      storage::SetError(fail_next, "VX97\\!s", fail_driver_code,
                        fail_driver_code == 0 ? "" : sqlite3_errstr(fail_driver_code));
      return fail_next;
    }
    if (next_ >= order_.size()) return 33;
    ++reads;
    SCH = order_[next_++];
    return 0;
  }
  int FetchTask(std::int32_t id) override {
    const auto it = tasks_.find(id);
    if (it == tasks_.end()) return 35;
    SCH = it->second;
    return 0;
  }
  int TryUpdate() override {
    ++try_updates;
    if (fail_try_update != 0) return fail_try_update;
    return Write();
  }
  int Update() override {
    ++updates;
    return Write();
  }
  int DeleteTask() override {
    deleted.push_back(SCH.ID);
    tasks_.erase(SCH.ID);
    steps_.DeleteTaskSteps(SCH.ID);  // the relations take the steps along
    return 0;
  }
  // What the tasks and steps were when the writes began, put back when they are undone.
  void BeginWrites() override {
    saved_tasks_ = tasks_;
    saved_steps_ = steps_.rows;
  }
  int EndWrites(bool keep, std::string& reason) override {
    const int code = !keep ? 90 : fail_commit;
    if (code == 0) {
      ++commits;
      return 0;
    }
    ++rollbacks;
    tasks_ = saved_tasks_;
    steps_.rows = saved_steps_;
    reason = "disk full";
    return code;
  }

 private:
  int Write() {
    if (fail_ids.contains(SCH.ID)) return 90;
    if (fail_update != 0) return fail_update;
    tasks_[SCH.ID] = SCH;
    return 0;
  }
  std::map<std::int32_t, SCHEDULE_RECORD>& tasks_;
  FakeScriptSteps& steps_;
  std::vector<SCHEDULE_RECORD> order_;
  std::size_t next_ = 0;
  std::map<std::int32_t, SCHEDULE_RECORD> saved_tasks_;
  decltype(FakeScriptSteps::rows) saved_steps_;
};

// The status bar's text for the next task: its description and when it is due.
inline std::string NextTaskStatus(std::string_view description, std::int32_t date,
                                  std::int32_t time) {
  return "Next: " + std::string(description) + ", due " +
         CurrentScheduleServices().FormatDate(date) + " " + FORMAT(time, "@T7");
}

// Records what the road tells Main's frame, in one sequence of "what: detail" lines.
class RecordingFrame : public DueTaskFrame {
 public:
  std::string status;
  std::string tip;
  std::vector<std::string> events;
  std::vector<MessageBoxRequest> notices;

  void SetStatusText(std::string_view text, bool in_status_bar) override {
    status = text;
    if (in_status_bar) events.push_back("bar: " + std::string(text));
  }
  void SetTrayTip(std::string_view text) override { tip = text; }
  void RestoreFrame() override { events.push_back("restore"); }
  void StartTaskMessageThread(const TaskMessage& message) override {
    events.push_back("thread: " + message.title + " | " + message.text + " | " +
                     message.alarm_file);
  }
  void ShowModalMessage() override {
    events.push_back("modal: " + ML.Title.str() + " | " + ML.Message.str() + " | " +
                     ML.AlarmFile.str());
  }
  void PostEvent(int event, std::int32_t thread) override {
    events.push_back("post " + std::to_string(event) + " to " + std::to_string(thread));
  }
  void ShowNotice(const MessageBoxRequest& box) override { notices.push_back(box); }
  void StartMaintenance() override { events.push_back("maintenance"); }
};

class DueTaskTest : public TaskRoadTest {
 protected:
  void SetUp() override {
    TaskRoadTest::SetUp();
    SCH = SCHEDULE_RECORD{};
    BROWSESCHEDULETHREADQUEUE.Free();
    USEEXTERNALMESSAGE = USEMODALMESSAGE = MAXIMIZEONRUN = SAVESCRIPTS = 0;
    SKIPIFDAYSPASSED = 0;
    THREADCOUNT = 0;
    PRODUCTNAME = "Varnodex";
    GLO_LASTCHECKDATE = 0;  // no date seen yet: no clock jump to warn of
  }
  void TearDown() override {
    TaskRoadTest::TearDown();
    BROWSESCHEDULETHREADQUEUE.Free();
    SCH = SCHEDULE_RECORD{};
  }

  // A daily task of the given type due at (date, time).
  SCHEDULE_RECORD& AddTask(std::int32_t id, std::string_view type, std::int32_t date,
                           std::int32_t time) {
    SCHEDULE_RECORD task = MakeTask("Day of Week", date, time);
    SetWeekdays(task, {kSun, kMon, kTue, kWed, kThu, kFri, kSat});
    task.ID = id;
    task.TaskType = type;
    task.Description = "Task " + std::to_string(id);
    task.Command = "backup-now";
    task.Message = "Message " + std::to_string(id);
    return schedule.tasks[id] = task;
  }

  // The tasks other than those given, i.e. the history copies.
  std::vector<SCHEDULE_RECORD> CopiesBeyond(std::int32_t last_id) const {
    std::vector<SCHEDULE_RECORD> out;
    for (const auto& [id, task] : schedule.tasks) {
      if (id > last_id) out.push_back(task);
    }
    return out;
  }

  void Tick() { CheckNextTask(state, table, frame); }

  FakeScheduleServices schedule;
  ScopedScheduleServices scoped_schedule{schedule};
  FakeDueTaskTable table{schedule.tasks, steps};
  RecordingFrame frame;
  DueTaskState state;
};

}  // namespace vx::test
