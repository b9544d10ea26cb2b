// Shared pieces of the schedule tests: an in-memory stand-in for the task and holiday tables and
// the screen, and small builders for tasks.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "datadll/dictionary/schedule_table.h"
#include "program/recurrence/schedule_services.h"
#include "runtime/dates.h"

namespace vx::test {

// Holds the SCHEDULE file as a map by id, the holiday dates, and every message shown.
class FakeScheduleServices : public ScheduleServices {
 public:
  std::set<std::int32_t> holidays;
  std::map<std::int32_t, SCHEDULE_RECORD> tasks;
  std::vector<std::pair<std::string, std::string>> messages;  // text, title
  int puts = 0;

  bool HolidaysExist() override { return !holidays.empty(); }
  bool IsHoliday(std::int32_t date) override { return holidays.count(date) != 0; }
  // Like PUT, changes only a record that exists.
  void PutTask() override {
    ++puts;
    const auto it = tasks.find(SCH.ID);
    if (it != tasks.end()) it->second = SCH;
  }
  void AddTaskCopy() override {
    SCH.ID = tasks.empty() ? 1 : tasks.rbegin()->first + 1;
    tasks[SCH.ID] = SCH;
  }
  bool LoadTask(std::int32_t id) override {
    const auto it = tasks.find(id);
    if (it == tasks.end()) return false;
    SCH = it->second;
    return true;
  }
  void ShowMessage(std::string_view text, std::string_view title) override {
    messages.emplace_back(std::string(text), std::string(title));
  }
  std::string FormatDate(std::int32_t date) override {
    const YearMonthDay ymd = SplitDate(date);
    return std::to_string(ymd.month) + "/" + std::to_string(ymd.day) + "/" +
           std::to_string(ymd.year);
  }
};

// Installs fresh fakes and clears the SCHEDULE buffer around each test.
class ScheduleTest : public ::testing::Test {
 protected:
  ScheduleTest() : scope_(fake) { SCH = SCHEDULE_RECORD{}; }
  ~ScheduleTest() override { SCH = SCHEDULE_RECORD{}; }

  FakeScheduleServices fake;

 private:
  ScopedScheduleServices scope_;
};

inline SCHEDULE_RECORD MakeTask(std::string_view type, std::int32_t date, std::int32_t time) {
  SCHEDULE_RECORD task;
  task.ScheduleType = type;
  task.Date = date;
  task.Time = time;
  return task;
}

// A task run once at `date` and `time`, with what the task lists show of it: its category, kind
// and description.
inline SCHEDULE_RECORD OnceTask(std::string_view category, std::string_view type, std::int32_t date,
                                std::int32_t time, std::string_view description) {
  SCHEDULE_RECORD task = MakeTask("Once", date, time);
  task.Category = category;
  task.TaskType = type;
  task.Description = description;
  return task;
}

// Ticks the weekday flags given as 0 (Sunday) .. 6 (Saturday).
inline void SetWeekdays(SCHEDULE_RECORD& task, std::initializer_list<int> weekdays) {
  std::uint8_t* flags[] = {&task.Sunday,   &task.Monday, &task.Tuesday, &task.Wednesday,
                           &task.Thursday, &task.Friday, &task.Saturday};
  for (std::uint8_t* f : flags) *f = 0;
  for (int wd : weekdays) *flags[wd] = 1;
}

inline SCHEDULE_RECORD EveryTask(std::int32_t count, std::string_view unit, std::int32_t date,
                                 std::int32_t time) {
  SCHEDULE_RECORD task = MakeTask("Custom", date, time);
  task.Every = count;
  task.EveryType = unit;
  return task;
}

inline constexpr int kSun = 0, kMon = 1, kTue = 2, kWed = 3, kThu = 4, kFri = 5, kSat = 6;

}  // namespace vx::test
