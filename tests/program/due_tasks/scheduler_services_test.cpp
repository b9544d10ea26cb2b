// The scheduler's services of Main's phases 1 and 2 on the real tables: advance warnings (due,
// not due, already warned, skipped, disabled; their text; the external program and its
// fallback), the daily history removal, and the holiday list's upkeep.
#include <gtest/gtest.h>
#include <optional>

#include <cerrno>
#include <map>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "framework/file_manager.h"
#include "program/common/config_store.h"
#include "program/common/external_message.h"
#include "program/common/program_services.h"
#include "program/common/task_log.h"
#include "program/common/task_road_services.h"
#include "program/due_tasks/advance_warnings.h"
#include "program/due_tasks/default_holidays.h"
#include "program/due_tasks/remove_history.h"
#include "program/recurrence/easter.h"
#include "program/script_engine/script_variables.h"
#include "program/shell_fixture.h"
#include "runtime/pictures.h"
#include "tests/fakes/fake_process_launcher.h"

namespace vx {
namespace {

using Strings = std::vector<std::string>;

class SchedulerServicesTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    services_.processes = &processes_;
    services_.messages = &reporter_;
    services_.helper_folder = "/opt/vx/bin";
    services_.add_message_link = AddMessageLinkRecord;
    installed_.emplace(&ProgramServices::task_log,
                       [this](std::string_view text, std::string_view label) {
                         log_.push_back(std::string(label) + ": " + std::string(text));
                       });
    ResetSettings();
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    ASSERT_EQ(ACCESS_HOLIDAYS->Open(), 0);
  }
  void TearDown() override {
    installed_.reset();
    ResetSettings();
    ShellTest::TearDown();
  }

  static void ResetSettings() {
    USEEXTERNALMESSAGE = 0;
    HISTORYEXPIRES = 0;
    CHECKEDHISTORY = 0;
    REMOVEUNCOMPLETED = 0;
    SAVESCRIPTS = 0;
    MULTIUSER = 0;
    GLO_USER = "";
    VARQ.Free();
  }
  std::int32_t Today() const { return DATE(6, 12, 2026); }

  static SCHEDULE_RECORD Task(std::int32_t id, std::int32_t warn_date, std::int32_t warn_time) {
    SCHEDULE_RECORD task;
    task.ID = id;
    task.Description = "Task " + std::to_string(id);
    task.TaskType = "Display Message";
    task.ScheduleType = "Once";
    task.Message = "Message " + std::to_string(id);
    task.Date = DATE(6, 20, 2026);
    task.Time = MakeTime(9, 0) + 1;
    task.AdvanceWarnDate = warn_date;
    task.AdvanceWarnTime = warn_time;
    return task;
  }
  // A task dated `days` from today, with its disabled and completed flags.
  void AddDated(std::int32_t id, std::int32_t days, std::uint8_t disabled, std::uint8_t completed) {
    SCHEDULE_RECORD task = Task(id, 0, 0);
    task.Date = Today() + days;
    task.Disabled = disabled;
    task.Completed = completed;
    Add(task);
  }
  static void Add(const SCHEDULE_RECORD& task) {
    SCH = task;
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  }
  static std::vector<std::int32_t> TaskIds() {
    std::vector<std::int32_t> ids;
    ACCESS_SCHEDULE->Set(SCH_KEYID);
    while (ACCESS_SCHEDULE->Next() == 0) ids.push_back(SCH.ID);
    return ids;
  }
  static void AddStep(std::int32_t task) {
    ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
    SCR = SCRIPTING_RECORD{};
    SCR.ID = task;
    SCR.Action = "Send Keys";
    ASSERT_EQ(ACCESS_SCRIPTING->Insert(), 0);
    ACCESS_SCRIPTING->Close();
  }
  static std::vector<std::int32_t> StepOwners() {
    std::vector<std::int32_t> ids;
    ACCESS_SCRIPTING->Open();
    ACCESS_SCRIPTING->Set(SCR_KEYID);
    while (ACCESS_SCRIPTING->Next() == 0) ids.push_back(SCR.ID);
    ACCESS_SCRIPTING->Close();
    return ids;
  }
  static std::map<std::int32_t, std::string> Holidays() {
    std::map<std::int32_t, std::string> out;
    ACCESS_HOLIDAYS->Set(HOL_KEYHOLIDAYDATE);
    while (ACCESS_HOLIDAYS->Next() == 0)
      out[HOL.HolidayDate] = HOL.Holiday.str() + " | " + HOL.HolidayType.str();
    return out;
  }

  test::FakeProcessLauncher processes_;
  TaskRoadServices services_;
  ScopedTaskRoadServices scoped_services_{services_};
  Strings log_;
  std::optional<ScopedProgramServices> installed_;
};

// ---- Advance warnings ----

TEST_F(SchedulerServicesTest, WarningsShowOnceTheirMomentHasPassed) {
  const std::int32_t now = MakeTime(14, 7, 9);
  Add(Task(1, Today() - 1, MakeTime(20, 0)));  // yesterday evening: shown at once
  Add(Task(2, Today(), MakeTime(10, 0)));      // this morning: shown
  Add(Task(3, Today(), MakeTime(15, 0)));      // later today: not yet
  Add(Task(4, 0, 0));                          // no warning at all
  SCHEDULE_RECORD warned = Task(5, Today() - 2, 100);
  warned.AdvanceWarned = 1;
  Add(warned);
  SCHEDULE_RECORD skip = Task(6, Today() - 1, 100);
  skip.SkipNextTime = 1;
  Add(skip);
  SCHEDULE_RECORD copy = Task(7, Today() - 1, 200);  // the history copy of a task just run
  copy.Disabled = 1;
  copy.Completed = 1;
  Add(copy);
  SCHEDULE_RECORD blank = Task(8, Today() - 1, 300);  // not filled in yet
  blank.ScheduleType = "";
  Add(blank);
  Add(Task(9, Today(), now - 100));  // a second ago, behind the blank record in the key

  CheckAdvanceWarnings();
  EXPECT_EQ(Captions(), (Strings{"Advanced Warning: Task 1", "Advanced Warning: Task 2",
                                 "Advanced Warning: Task 9"}));
  EXPECT_EQ(log_, (Strings{"Advanced Warning: Skipped:  Task 6", "Advanced Warning: Task 1",
                           "Advanced Warning: Task 2", "Advanced Warning: Task 9"}));
  const std::map<std::int32_t, int> marked = {{1, 1}, {2, 1}, {3, 0}, {4, 0}, {5, 1},
                                              {6, 1}, {7, 1}, {8, 0}, {9, 1}};
  for (const auto& [id, flag] : marked) EXPECT_EQ(StoredTask(id).AdvanceWarned, flag) << id;

  // Nothing twice; the later one at the first pass after its moment.
  CheckAdvanceWarnings();
  EXPECT_EQ(reporter_.shown.size(), 3u);
  clock_.Set(Today(), MakeTime(15, 0) + 1);
  CheckAdvanceWarnings();
  EXPECT_EQ(Captions().back(), "Advanced Warning: Task 3");
  EXPECT_EQ(reporter_.shown.size(), 4u);
}

// In multi-user mode the current user is warned by their own state of each task: the team's
// state and other users' rows neither show a warning nor are marked by it.
TEST_F(SchedulerServicesTest, EachUserIsWarnedByTheirOwnStateOfATask) {
  clock_.Set(Today(), MakeTime(14, 0));
  ASSERT_EQ(ACCESS_VXUSD->Open(), 0);
  const auto row = [&](const char* user, std::int32_t id, std::int32_t warn_date) -> auto& {
    US = VXUSD_RECORD{};
    US.USER = user;
    US.ID = id;
    US.DATE = Today() + 3;
    US.TIME = MakeTime(8, 0) + 1;
    US.ADVANCEWARNDATE = warn_date;
    US.ADVANCEWARNTIME = MakeTime(9, 0);
    return US;
  };
  // Task 1: the team's warning is far off, ann's has come (with her own next run).
  Add(Task(1, Today() + 5, 100));
  row("ann", 1, Today());
  ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);
  // Task 2: the team's warning and bob's have come, ann's has not.
  Add(Task(2, Today() - 1, 100));
  row("bob", 2, Today() - 1);
  ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);
  row("ann", 2, Today() + 1);
  ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);
  // Task 3: ann's warning has come but she set her next run to be skipped.
  Add(Task(3, Today() + 5, 100));
  row("ann", 3, Today() - 1).SKIPNEXTTIME = 1;
  ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);

  MULTIUSER = 1;
  GLO_USER = "Ann";
  CheckAdvanceWarnings();
  CheckAdvanceWarnings();  // nothing twice
  EXPECT_EQ(Captions(), Strings{"Advanced Warning: Task 1"});
  ASSERT_EQ(reporter_.shown.size(), 1u);
  const std::string due = FORMAT(Today() + 3, "@D3") + " " + FORMAT(MakeTime(8, 0) + 1, "@T3");
  EXPECT_EQ(reporter_.shown[0].text.substr(0, due.size()), due);
  EXPECT_EQ(log_, (Strings{"Advanced Warning: Skipped:  Task 3", "Advanced Warning: Task 1"}));
  const auto warned = [](const char* user, std::int32_t id) {
    US = VXUSD_RECORD{};
    US.USER = user;
    US.ID = id;
    EXPECT_EQ(ACCESS_VXUSD->TryFetch(US_KEYID), 0);
    return static_cast<int>(US.ADVANCEWARNED);
  };
  EXPECT_EQ(warned("ann", 1), 1);
  EXPECT_EQ(warned("ann", 2), 0);
  EXPECT_EQ(warned("bob", 2), 0);
  EXPECT_EQ(warned("ann", 3), 1);
  for (std::int32_t id : {1, 2, 3}) EXPECT_EQ(StoredTask(id).AdvanceWarned, 0) << id;
  ACCESS_VXUSD->Close();
}

TEST_F(SchedulerServicesTest, WarningTextFollowsTheTaskType) {
  const std::string head =
      FORMAT(DATE(6, 20, 2026), "@D3") + " " + FORMAT(MakeTime(9, 0) + 1, "@T3") + "\r\n\r\n";
  struct Case {
    const char* type;
    const char* message;
    const char* command;
    std::string expected;
  };
  const Case cases[] = {
      {"Display Message", "Bring the slides", "deck.sh", "Bring the slides"},
      {"Run Program", "ignored", "backup.sh", "Command:  backup.sh"},
      {"Both", "Backing up", "backup.sh", "Backing up\r\n\r\nCommand: backup.sh"},
      {"Both", "", "backup.sh", "\r\n\r\nCommand: backup.sh"},
      {"Reminder", "Call Anna", "dial.sh", "Call Anna\r\n\r\nCommand: dial.sh"},
      {"Reminder", "  Call Anna", "", "Call Anna"},
  };
  for (const Case& c : cases) {
    SCH = Task(1, Today(), 100);
    SCH.TaskType = c.type;
    SCH.Message = c.message;
    SCH.Command = c.command;
    EXPECT_EQ(AdvanceWarningText(), head + c.expected) << c.type << " / " << c.message;
  }
}

TEST_F(SchedulerServicesTest, ExternalProgramGetsTheWarningWithVariablesExpanded) {
  USEEXTERNALMESSAGE = 1;
  SetScriptVariable("Anna", "WHO");
  SCHEDULE_RECORD task = Task(1, Today() - 1, 100);
  task.Description = "Call [WHO]";
  task.Message = "Ask [WHO] about the budget";
  task.Alarm = 1;
  task.AlarmFile = "ring.wav";
  Add(task);

  CheckAdvanceWarnings();
  EXPECT_TRUE(reporter_.shown.empty());
  ASSERT_EQ(processes_.requests.size(), 1u);
  EXPECT_EQ(processes_.requests[0].argv, (Strings{"/opt/vx/bin/vx-msg", "ID=1"}));
  ASSERT_EQ(ACCESS_MSGLINK->Open(), 0);
  ML = MSGLINK_RECORD{};
  ML.ID = 1;
  ASSERT_EQ(ACCESS_MSGLINK->Fetch(ML_K_ID), 0);
  EXPECT_EQ(ML.Title, "Advanced Warning: Call Anna");
  EXPECT_NE(ML.Message.str().find("\r\n\r\nAsk Anna about the budget"), std::string::npos);
  EXPECT_EQ(ML.AlarmFile, "ring.wav");
  ACCESS_MSGLINK->Close();
}

TEST_F(SchedulerServicesTest, MissingExternalProgramFallsBackToAMessageBox) {
  USEEXTERNALMESSAGE = 1;
  processes_.SetOutcome("/opt/vx/bin/vx-msg", {ENOENT, 0, false});
  Add(Task(1, Today() - 1, 100));
  CheckAdvanceWarnings();
  ASSERT_EQ(reporter_.shown.size(), 1u);
  EXPECT_EQ(reporter_.shown[0].caption, "Advanced Warning: Task 1");
  EXPECT_NE(reporter_.shown[0].text.find("Message 1"), std::string::npos);
  EXPECT_EQ(StoredTask(1).AdvanceWarned, 1);
}

// ---- History removal ----

TEST_F(SchedulerServicesTest, HistoryRemovalByAgeAndCompletion) {
  struct Case {
    std::int32_t expires;
    std::uint8_t uncompleted_too;
    std::vector<std::int32_t> kept;
  };
  // Tasks: 1..5 completed copies dated 10 days ago, 3 days ago, today, tomorrow and in five
  // days; 6 disabled but not completed, 10 days ago; 7 enabled, 10 days ago.
  const Case cases[] = {
      {3, 0, {3, 4, 5, 6, 7}},
      {3, 1, {3, 4, 5, 7}},
      {-1, 0, {6, 7}},  // at once: whatever the date
      {30, 0, {1, 2, 3, 4, 5, 6, 7}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(ACCESS_SCHEDULE->file().Empty(), 0);
    const std::int32_t offsets[] = {-10, -3, 0, 1, 5};
    for (std::int32_t i = 0; i < 5; ++i) AddDated(i + 1, offsets[i], 1, 1);
    AddDated(6, -10, 1, 0);
    AddDated(7, -10, 0, 1);

    HISTORYEXPIRES = c.expires;
    REMOVEUNCOMPLETED = c.uncompleted_too;
    CHECKEDHISTORY = 0;
    EXPECT_TRUE(RemoveHistory());
    EXPECT_EQ(TaskIds(), c.kept) << c.expires << " " << int(c.uncompleted_too);
  }
  EXPECT_TRUE(reporter_.shown.empty());
}

TEST_F(SchedulerServicesTest, HistoryPassRunsOnceADayAndNeverWhenOff) {
  AddDated(1, -10, 1, 1);

  EXPECT_FALSE(RemoveHistory());  // HISTORYEXPIRES 0: nothing, not even the holidays
  EXPECT_EQ(TaskIds(), std::vector<std::int32_t>{1});
  EXPECT_TRUE(Holidays().empty());
  EXPECT_EQ(GetConfigValue("DEFHOL"), "");
  EXPECT_TRUE(log_.empty());

  HISTORYEXPIRES = 1;
  EXPECT_TRUE(RemoveHistory());
  EXPECT_EQ(CHECKEDHISTORY, Today());
  EXPECT_TRUE(TaskIds().empty());
  EXPECT_EQ(log_, Strings{"History: Checked for tasks needing removal"});

  AddDated(1, -10, 1, 1);
  EXPECT_FALSE(RemoveHistory());  // once a day
  EXPECT_EQ(TaskIds(), std::vector<std::int32_t>{1});
  clock_.Set(Today() + 1, 100);
  EXPECT_TRUE(RemoveHistory());
  EXPECT_TRUE(TaskIds().empty());
}

TEST_F(SchedulerServicesTest, RemovedTaskTakesItsScriptAndUserRowsWhateverSaveScripts) {
  for (const std::uint8_t save : {0, 1}) {
    ASSERT_EQ(ACCESS_SCHEDULE->file().Empty(), 0);
    ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
    ASSERT_EQ(ACCESS_SCRIPTING->file().Empty(), 0);
    ACCESS_SCRIPTING->Close();
    AddDated(1, -10, 1, 1);
    AddDated(2, -10, 1, 0);
    AddStep(1);
    AddStep(1);
    AddStep(2);
    ASSERT_EQ(ACCESS_VXUSD->Open(), 0);
    US = VXUSD_RECORD{};
    US.USER = "anna";
    US.ID = 1;
    ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);

    SAVESCRIPTS = save;
    HISTORYEXPIRES = 5;
    CHECKEDHISTORY = 0;
    EXPECT_TRUE(RemoveHistory());
    EXPECT_EQ(TaskIds(), std::vector<std::int32_t>{2}) << int(save);
    EXPECT_EQ(StepOwners(), std::vector<std::int32_t>{2}) << int(save);
    ACCESS_VXUSD->Set();
    EXPECT_NE(ACCESS_VXUSD->Next(), 0) << int(save);
    ACCESS_VXUSD->Close();
  }
}

// ---- Holidays ----

TEST_F(SchedulerServicesTest, NextHolidayDateByType) {
  struct Case {
    std::int32_t date;
    const char* type;
    std::int32_t expected;
  };
  const Case cases[] = {
      {DATE(9, 7, 1998), "Day of Month", DATE(9, 6, 1999)},      // first Monday of September
      {DATE(11, 26, 1998), "Day of Month", DATE(11, 25, 1999)},  // fourth Thursday of November
      {DATE(12, 25, 2025), "Annual", DATE(12, 25, 2026)},
      {DATE(3, 14, 2025), "Birthday", DATE(3, 14, 2026)},
      {EasterSunday(2025), "Easter", EasterSunday(2026)},
      {EasterSunday(2025) - 2, "Easter", EasterSunday(2026) - 2},  // Good Friday
      {DATE(5, 1, 2025), "Once", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(NextHolidayDate(c.date, c.type), c.expected) << c.type;
}

TEST_F(SchedulerServicesTest, PastHolidaysMoveToTheirNextYear) {
  SetConfigValue("DEFHOL", "Y");                               // the common list is not wanted here
  AddHoliday(DATE(7, 4, 2020), "Independence Day", "Annual");  // six years behind
  AddHoliday(DATE(3, 14, 2025), "Anna's birthday", "Birthday");
  AddHoliday(DATE(5, 1, 2026), "Open house", "Once");
  AddHoliday(DATE(9, 7, 1998), "Labour Day", "Day of Month");
  AddHoliday(DATE(12, 24, 2026), "Christmas Eve", "Annual");  // still ahead
  AddHoliday(DATE(12, 24, 2026), "Not added", "Annual");      // the date is taken

  AddDefaultHolidaysOnce();
  const std::map<std::int32_t, std::string> expected = {
      {DATE(7, 4, 2026), "Independence Day | Annual"},
      {DATE(3, 14, 2027), "Anna's birthday | Annual"},
      {DATE(9, 7, 2026), "Labour Day | Day of Month"},  // first Monday of September 2026
      {DATE(12, 24, 2026), "Christmas Eve | Annual"},
  };
  EXPECT_EQ(Holidays(), expected);
  EXPECT_TRUE(reporter_.shown.empty());
}

TEST_F(SchedulerServicesTest, AHolidayMeetingATakenDateGoesOnToTheYearAfter) {
  SetConfigValue("DEFHOL", "Y");
  AddHoliday(DATE(7, 1, 2020), "Canada Day", "Annual");
  AddHoliday(DATE(7, 1, 2022), "Company day", "Annual");  // the first one runs into it
  AddDefaultHolidaysOnce();
  const std::map<std::int32_t, std::string> holidays = Holidays();
  ASSERT_EQ(holidays.size(), 2u);
  EXPECT_EQ(holidays.begin()->first, DATE(7, 1, 2026));
  EXPECT_EQ(holidays.rbegin()->first, DATE(7, 1, 2027));
  EXPECT_NE(holidays.begin()->second, holidays.rbegin()->second);
}

TEST_F(SchedulerServicesTest, CommonHolidaysAreAddedOnceAndBroughtForward) {
  HISTORYEXPIRES = 30;
  EXPECT_TRUE(RemoveHistory());
  EXPECT_EQ(GetConfigValue("DEFHOL"), "Y");
  const std::map<std::int32_t, std::string> holidays = Holidays();
  EXPECT_EQ(holidays.size(), 16u);  // Veteran's Day and Remembrance Day share their date
  EXPECT_GE(holidays.begin()->first, Today());
  EXPECT_EQ(holidays.at(DATE(9, 7, 2026)), "Labor Day/Labour Day) | Day of Month");
  EXPECT_EQ(holidays.at(DATE(12, 25, 2026)), "Christmas Day | Annual");
  EXPECT_EQ(holidays.at(DATE(1, 1, 2027)), "New Year's Day | Annual");
  EXPECT_EQ(holidays.at(DATE(7, 1, 2026)), "Canada Day (Canada) | Annual");
  EXPECT_EQ(holidays.at(EasterSunday(2027)), "Easter | Easter");  // Easter 2026 is over
  EXPECT_EQ(holidays.at(EasterSunday(2027) - 2), "Good Friday | Easter");

  // Deleted by the user, they stay deleted.
  ASSERT_EQ(ACCESS_HOLIDAYS->file().Empty(), 0);
  clock_.Set(Today() + 1, 100);
  EXPECT_TRUE(RemoveHistory());
  EXPECT_TRUE(Holidays().empty());
  EXPECT_TRUE(reporter_.shown.empty());
}

}  // namespace
}  // namespace vx
