// The due-task check and run with a fixed clock: which task is next, when it runs, the skip
// rules and questions, the message and program, the next run, the history copy, the log lines
// and the refresh events; runs that cannot be stored, and the clock jumping forward or back.
#include "program/due_tasks/due_task.h"

#include <sqlite3.h>

#include <cerrno>
#include <filesystem>

#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "runtime/pictures.h"
#include "runtime/storage/errors.h"
#include "tests/program/due_task_fixture.h"

namespace vx {
namespace {

using Strings = std::vector<std::string>;
using test::Step;

class DueTaskTest : public test::DueTaskTest {};

constexpr std::int32_t kMinute = 6000;

TEST_F(DueTaskTest, NothingPendingWhenEmptyOrAllDisabled) {
  Tick();
  EXPECT_EQ(frame.status, "No tasks pending");
  EXPECT_EQ(frame.tip, PRODUCTNAME.view());  // the whole field
  AddTask(1, "Run Program", kDay, kNoon).Disabled = 1;
  Tick();
  EXPECT_EQ(frame.status, "No tasks pending");
  EXPECT_TRUE(processes.requests.empty());
}

// The task table cannot be read (its date key damaged): no task runs, the bar never says that
// none is pending, and the damage is told once (not at every check) with the maintenance
// program as the mend, offered there and then; a later fault is told again.
TEST_F(DueTaskTest, ADamagedTaskListIsToldOnceWithItsMendAndNeverAsNothingPending) {
  AddTask(1, "Run Program", kDay, kNoon);
  table.fail_next = storage::kDriverError;
  table.fail_driver_code = SQLITE_CORRUPT;
  for (int tick = 0; tick < 3; ++tick) Tick();
  ASSERT_EQ(messages.shown.size(), 1u);
  const MessageBoxRequest& box = messages.shown[0];
  EXPECT_EQ(box.caption, "Database Damaged");
  const std::string data_file = (std::filesystem::current_path() / "VX97.TPS").string();
  EXPECT_NE(box.text.find(data_file), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("database disk image is malformed (11)"), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("maintenance program"), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("rebuilds its keys"), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("backup"), std::string::npos) << box.text;
  EXPECT_EQ(box.buttons, BUTTON_YES | BUTTON_NO);
  EXPECT_EQ(box.default_button, BUTTON_NO);
  EXPECT_EQ(frame.status, "Tasks cannot be read");
  EXPECT_EQ(frame.tip, "Varnodex - tasks cannot be read");
  for (const std::string& event : frame.events) EXPECT_NE(event, "bar: No tasks pending");
  EXPECT_TRUE(processes.requests.empty());

  // Read again: the task runs; a new fault is told again, and Yes starts the maintenance.
  table.fail_next = 0;
  Tick();
  EXPECT_EQ(Programs(), Strings{"backup-now"});
  table.fail_next = storage::kDriverError;
  messages.answer = BUTTON_YES;
  Tick();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(frame.events.back(), "maintenance");

  // Another read error (the file locked past the wait) is told once too, without the offer and
  // without waiting for an answer.
  table.fail_next = 0;
  Tick();
  table.fail_next = storage::kIsLocked;
  table.fail_driver_code = 0;
  Tick();
  Tick();
  EXPECT_EQ(messages.shown.size(), 2u);
  ASSERT_EQ(frame.notices.size(), 1u);
  EXPECT_EQ(frame.notices[0].caption, "Tasks Cannot Be Read");
  EXPECT_NE(frame.notices[0].text.find("File Is Already Locked (32)"), std::string::npos)
      << frame.notices[0].text;
  EXPECT_EQ(frame.status, "Tasks cannot be read");
}

TEST_F(DueTaskTest, OnceTheOnlyTaskHasRunTheBarSaysSoAndTheTipIsTheBareName) {
  AddTask(1, "Run Program", kDay, kNoon).ScheduleType = "Once";
  Tick();
  EXPECT_EQ(frame.status.substr(0, 6), "Next: ");
  frame.events.clear();
  Tick();
  EXPECT_EQ(frame.status, "No tasks pending");
  EXPECT_EQ(frame.events, Strings{"bar: No tasks pending"})
      << "the bar no longer names the task run";
  EXPECT_EQ(frame.tip, PRODUCTNAME.view());
}

// The bar and the tip say when the next task is due, not what the clock says; a long
// description is cut, never the moment it is due.
TEST_F(DueTaskTest, TheBarAndTheTipShowWhenTheNextTaskIsDueNotTheClock) {
  const std::int32_t nine = 9 * 360000 + 1;
  const struct {
    const char* description;
    const char* shown;
  } cases[] = {
      {"Weekday standup at nine", "Next: Weekday standup at nine"},
      {"Ring the supplier about the late paper", "Next: Ring the supplier about the late p"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.description);
    schedule.tasks.clear();
    AddTask(1, "Run Program", kDay + 3, nine).Description = c.description;
    Tick();
    const std::string due = ", due " + schedule.FormatDate(kDay + 3) + " " + FORMAT(nine, "@T7");
    EXPECT_EQ(frame.status, c.shown + due);
    EXPECT_EQ(frame.tip, std::string("Varnodex - ") + c.description + due);
    for (const std::string& clock : {schedule.FormatDate(kDay), FORMAT(kNoon, "@T7")}) {
      EXPECT_EQ(frame.status.find(clock), std::string::npos) << clock;
      EXPECT_EQ(frame.tip.find(clock), std::string::npos) << clock;
    }
  }
}

TEST_F(DueTaskTest, UndatedTasksArePassedOverAndTheNextIsShown) {
  for (int id = 1; id <= 1200; ++id) AddTask(id, "Run Program", 0, 0);
  AddTask(2000, "Run Program", kDay, kNoon + 10 * kMinute).Description = "Back up the books";
  Tick();
  EXPECT_EQ(table.reads, 1);  // the walk starts behind them
  const std::string status = test::NextTaskStatus("Back up the books", kDay, kNoon + 10 * kMinute);
  EXPECT_EQ(frame.status, status);
  EXPECT_EQ(frame.events, Strings{"bar: " + status});
  EXPECT_EQ(frame.tip, "Varnodex - " + status.substr(6));
  EXPECT_EQ(state.current.ID, 2000);
  EXPECT_TRUE(processes.requests.empty());  // not due yet

  ScriptQueue.buffer = {};
  ScriptQueue.Add();  // while a script runs the status bar keeps its text
  frame.events.clear();
  Tick();
  EXPECT_TRUE(frame.events.empty());
}

TEST_F(DueTaskTest, TimePastTheDayIsCarriedIntoTheDateAndWrittenFirst) {
  AddTask(1, "Run Program", kDay - 1, 8640000 + kNoon);
  Tick();
  EXPECT_EQ(schedule.tasks[1].Date, kDay);
  EXPECT_EQ(schedule.tasks[1].Time, kNoon);
  EXPECT_TRUE(processes.requests.empty());  // runs at the next phase 3

  table.fail_try_update = 90;  // not written: handled at once with the carried moment
  AddTask(2, "Run Program", kDay - 1, 8640000 + kNoon - 1);
  schedule.tasks.erase(1);
  Tick();
  EXPECT_EQ(state.current.Date, kDay);
  EXPECT_FALSE(processes.requests.empty());
}

TEST_F(DueTaskTest, DueTaskRunsMovesOnAndLeavesAHistoryCopy) {
  BROWSESCHEDULETHREADQUEUE.buffer.BROWSESCHEDULETHREAD = 4;
  BROWSESCHEDULETHREADQUEUE.Add();
  BROWSESCHEDULETHREADQUEUE.buffer.BROWSESCHEDULETHREAD = 9;
  BROWSESCHEDULETHREADQUEUE.Add();
  SCHEDULE_RECORD& task = AddTask(1, "Run Program", kDay, kNoon + 30 * 100);  // due this minute
  task.AdvanceWarnDate = kDay - 1;
  task.AdvanceWarnTime = kNoon - 60 * kMinute;
  task.AdvanceWarned = 1;
  steps.Put(Step("Send Keys", [](auto& s) { s.ID = 1; }));

  Tick();
  EXPECT_EQ(Programs(), Strings{"backup-now"});
  EXPECT_EQ(ScriptQueue.Records(), 2);  // the step and its "**End**"
  EXPECT_EQ(log, Strings{"Run Program: backup-now"});

  const SCHEDULE_RECORD& moved = schedule.tasks[1];
  EXPECT_EQ(moved.Date, kDay + 1);
  EXPECT_EQ(moved.Time, kNoon + 30 * 100);
  EXPECT_EQ(moved.AdvanceWarnDate, kDay);  // the warning keeps its distance
  EXPECT_EQ(moved.AdvanceWarnTime, kNoon - 60 * kMinute);
  EXPECT_EQ(moved.AdvanceWarned, 0);
  EXPECT_EQ(moved.LastRunDate, kDay);
  EXPECT_EQ(moved.LastRunTime, kNoon);
  EXPECT_EQ(moved.Disabled, 0);

  const auto copies = CopiesBeyond(1);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].Description, "Task 1");
  EXPECT_EQ(copies[0].Date, kDay);
  EXPECT_EQ(copies[0].Time, kNoon + 30 * 100);
  EXPECT_EQ(copies[0].AdvanceWarnDate, kDay - 1);
  EXPECT_EQ(copies[0].Completed, 1);
  EXPECT_EQ(copies[0].Disabled, 1);
  EXPECT_EQ(copies[0].Skipped, 0);
  EXPECT_EQ(copies[0].Message, "Message 1");
  EXPECT_TRUE(steps.Task(copies[0].ID).empty());  // scripts are not copied unless kept

  EXPECT_EQ(frame.events,
            (Strings{"bar: " + test::NextTaskStatus("Task 1", kDay, kNoon + 30 * 100),
                     "post 1090 to 4", "post 1090 to 9", "post 1090 to 4", "post 1090 to 9"}));
}

TEST_F(DueTaskTest, DueOnlyOnceItsMinuteHasCome) {
  AddTask(1, "Run Program", kDay, kNoon + kMinute);
  clock.Set(kDay, kNoon + kMinute - 3000);  // half a minute before
  Tick();
  EXPECT_TRUE(processes.requests.empty());
  clock.Set(kDay, kNoon + kMinute);
  Tick();
  EXPECT_EQ(Programs(), Strings{"backup-now"});
}

TEST_F(DueTaskTest, SkipRules) {
  const struct {
    const char* name;
    std::int32_t late_minutes;
    bool skip_if_missed, skip_if_script, script_running;
    const char* logged;  // empty: runs
  } cases[] = {
      {"eleven minutes late, skip if missed", 11, true, false, false, "Overdue task skipped"},
      {"nine minutes late, skip if missed", 9, true, false, false, ""},
      {"eleven minutes late, not asked to skip", 11, false, false, false, ""},
      {"script running, skip during script", 0, false, true, true, "Task skipped during script"},
      {"no script running", 0, false, true, false, ""},
      {"script running, not asked to skip", 0, false, false, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    schedule.tasks.clear();
    processes.requests.clear();
    sound.played.clear();
    log.clear();
    ScriptQueue.Free();
    if (c.script_running) {
      ScriptQueue.buffer = {};
      ScriptQueue.Add();
    }
    SCHEDULE_RECORD& task = AddTask(1, "Run Program", kDay, kNoon - c.late_minutes * kMinute);
    task.SkipIfMissed = c.skip_if_missed;
    task.SkipIfScriptActive = c.skip_if_script;
    task.Alarm = 1;
    task.AlarmFile = "ring.wav";
    Tick();

    EXPECT_EQ(sound.played.size(), 1u);  // the alarm sounds either way
    const bool skipped = *c.logged != '\0';
    EXPECT_EQ(processes.requests.empty(), skipped);
    const auto copies = CopiesBeyond(1);
    ASSERT_EQ(copies.size(), 1u);
    if (skipped) {
      EXPECT_EQ(log, Strings{std::string(c.logged) + ": Task 1"});
      EXPECT_EQ(copies[0].Description, "(Skipped) Task 1");
      EXPECT_EQ(copies[0].Skipped, 1);
    } else {
      EXPECT_EQ(copies[0].Description, "Task 1");
    }
    EXPECT_EQ(schedule.tasks[1].LastRunDate, kDay);
  }
}

TEST_F(DueTaskTest, MissedTaskFromAnEarlierDayIsMovedOnFromTheStartOfToday) {
  SCHEDULE_RECORD& task = AddTask(1, "Run Program", kDay - 1, kNoon + 60 * kMinute);
  task.SkipIfMissed = 1;
  Tick();
  EXPECT_EQ(log, Strings{"Overdue task skipped: Task 1"});
  // From today at 00:00 the next run is today at one, though that is already past.
  EXPECT_EQ(schedule.tasks[1].Date, kDay);
  EXPECT_EQ(schedule.tasks[1].Time, kNoon + 60 * kMinute);
}

TEST_F(DueTaskTest, Questions) {
  const struct {
    const char* name;
    const char* type;
    std::int32_t days_late, days_passed_setting;
    bool warn, user_skip;
    unsigned answer;
    const char* asked;   // caption of the question, empty: none
    const char* logged;  // empty: runs
  } cases[] = {
      {"two days late asks", "Run Program", 2, 0, true, false, BUTTON_NO, "Missed Task",
       "Missed task skipped"},
      {"two days late, run it", "Run Program", 2, 0, true, false, BUTTON_YES, "Missed Task", ""},
      {"one day late does not ask", "Run Program", 1, 0, true, false, BUTTON_NO, "", ""},
      {"message tasks never ask it", "Display Message", 5, 0, true, false, BUTTON_NO, "", ""},
      {"without the warning flag", "Both", 5, 0, false, false, BUTTON_NO, "", ""},
      {"past the days setting", "Both", 4, 3, true, false, BUTTON_NO, "Missed Task",
       "Missed task skipped"},
      {"within the days setting", "Both", 3, 3, true, false, BUTTON_NO, "", ""},
      {"confirm, no", "Display Message", 0, 0, false, true, BUTTON_NO, "Confirm Task",
       "Task skipped"},
      {"confirm, yes", "Run Program", 0, 0, false, true, BUTTON_YES, "Confirm Task", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    schedule.tasks.clear();
    messages.shown.clear();
    frame.events.clear();
    log.clear();
    processes.requests.clear();
    SKIPIFDAYSPASSED = c.days_passed_setting;
    messages.answer = c.answer;
    SCHEDULE_RECORD& task = AddTask(1, c.type, kDay - c.days_late, kNoon);
    task.Warn = c.warn;
    task.UserSkip = c.user_skip;
    Tick();

    if (*c.asked == '\0') {
      EXPECT_TRUE(messages.shown.empty());
    } else {
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(messages.shown[0].caption, c.asked);
      EXPECT_EQ(messages.shown[0].text,
                std::string("Task 1 ") + (c.asked == std::string("Missed Task")
                                              ? "was not run.  Run it now?"
                                              : "is due to run.  Run it now?"));
      EXPECT_EQ(messages.shown[0].default_button, BUTTON_NO);
    }
    const bool skipped = *c.logged != '\0';
    if (skipped) {
      EXPECT_EQ(log, Strings{std::string(c.logged) + ": Task 1"});
      EXPECT_TRUE(processes.requests.empty());
    }
    const bool message_shown =
        std::any_of(frame.events.begin(), frame.events.end(),
                    [](const std::string& e) { return e.starts_with("thread: "); });
    EXPECT_EQ(message_shown, !skipped && std::string(c.type) != "Run Program");
  }
}

TEST_F(DueTaskTest, SkipNextTimePassesOneRunOverSilently) {
  SCHEDULE_RECORD& task = AddTask(1, "Both", kDay, kNoon);
  task.SkipNextTime = 1;
  task.Alarm = 1;
  task.AlarmFile = "BEEP";
  Tick();
  EXPECT_EQ(sound.beeps, 0);
  EXPECT_TRUE(processes.requests.empty());
  EXPECT_TRUE(CopiesBeyond(1).empty());
  EXPECT_EQ(schedule.tasks[1].SkipNextTime, 0);
  EXPECT_EQ(schedule.tasks[1].Date, kDay + 1);
  EXPECT_EQ(frame.events, (Strings{"bar: " + test::NextTaskStatus("Task 1", kDay, kNoon)}));
}

TEST_F(DueTaskTest, BothShowsTheMessageThenStartsTheProgram) {
  SCHEDULE_RECORD& task = AddTask(1, "Both", kDay, kNoon);
  task.Alarm = 1;
  task.AlarmFile = "beep";
  VARQ.Free();
  VARQ.buffer.NAME = "WHO";
  VARQ.buffer.STRINGVALUE = "Anna";
  VARQ.Add();
  task.Message = "Call [WHO]";
  Tick();
  VARQ.Free();
  EXPECT_EQ(sound.beeps, 1);
  EXPECT_EQ(frame.events[1], "restore");
  EXPECT_EQ(frame.events[2], "thread: Task 1 | Call Anna | beep");
  EXPECT_EQ(Programs(), Strings{"backup-now"});
}

// The thread is handed the message as a value, cut as the message globals cut it; the globals
// stay filled for the bug report and the on-top window's road.
TEST_F(DueTaskTest, MessageThreadIsHandedTheMessageAsTheGlobalsHoldIt) {
  SCHEDULE_RECORD& task = AddTask(1, "Display Message", kDay, kNoon);
  task.Message = std::string(1000, 'a') + std::string(100, 'b');
  Tick();
  const std::string expected =
      "thread: Task 1 | " + std::string(1000, 'a') + std::string(24, 'b') + " | ";
  EXPECT_EQ(std::count(frame.events.begin(), frame.events.end(), expected), 1);
  EXPECT_EQ(GLO_DESCRIPTION, "Task 1");
  EXPECT_EQ(GLO_MESSAGE.str(), std::string(1000, 'a') + std::string(24, 'b'));
}

TEST_F(DueTaskTest, MessageMeans) {
  AddTask(1, "Display Message", kDay, kNoon);
  USEMODALMESSAGE = 1;
  Tick();
  EXPECT_EQ(frame.events.back(), "modal: Task 1 | Message 1 | ");
  EXPECT_EQ(std::count(frame.events.begin(), frame.events.end(), "restore"), 0);

  schedule.tasks.clear();
  AddTask(1, "Display Message", kDay, kNoon);
  THREADCOUNT = 60;  // too many message threads: a plain box here
  Tick();
  EXPECT_EQ(messages.Texts(), Strings{"Task 1: Message 1"});
  THREADCOUNT = 0;

  schedule.tasks.clear();
  AddTask(1, "Display Message", kDay, kNoon).Alarm = 1;
  schedule.tasks[1].AlarmFile = "ring.wav";
  USEEXTERNALMESSAGE = 1;
  frame.events.clear();
  log.clear();
  Tick();
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0], std::make_tuple(std::string("Task 1"), std::string("Message 1"),
                                      std::string("ring.wav")));
  EXPECT_EQ(processes.requests.back().argv, (Strings{"/opt/vx/bin/vx-msg", "ID=1"}));
  EXPECT_EQ(log.front(), "Message: Task 1 ring.wav");
  EXPECT_TRUE(std::none_of(frame.events.begin(), frame.events.end(), [](const std::string& e) {
    return e.starts_with("thread") || e.starts_with("modal");
  }));

  // The message program cannot start: the program shows the message on a thread of its own.
  schedule.tasks.clear();
  AddTask(1, "Display Message", kDay, kNoon);
  processes.SetOutcome("/opt/vx/bin/vx-msg", {ENOENT, 0, false});
  Tick();
  EXPECT_EQ(frame.events.back().substr(0, 7), "thread:");
}

TEST_F(DueTaskTest, TaskWithoutFurtherRunIsDoneInPlaceOrRemoved) {
  SCHEDULE_RECORD& once = AddTask(1, "Run Program", kDay, kNoon);
  once.ScheduleType = "Once";
  steps.Put(Step("Send Keys", [](auto& s) { s.ID = 1; }));
  Tick();
  EXPECT_EQ(schedule.tasks[1].Completed, 1);
  EXPECT_EQ(schedule.tasks[1].Disabled, 1);
  EXPECT_EQ(schedule.tasks[1].Date, kDay);
  EXPECT_EQ(schedule.tasks[1].Time, kNoon);
  EXPECT_TRUE(CopiesBeyond(1).empty());
  EXPECT_TRUE(steps.Task(1).empty());  // its script goes unless scripts are kept

  schedule.tasks.clear();
  SCHEDULE_RECORD& gone = AddTask(1, "Run Program", kDay, kNoon);
  gone.ScheduleType = "Once";
  gone.NoHistory = 1;
  steps.Put(Step("Send Keys", [](auto& s) { s.ID = 1; }));
  Tick();
  EXPECT_EQ(table.deleted, std::vector<std::int32_t>{1});
  EXPECT_TRUE(schedule.tasks.empty());
  EXPECT_TRUE(steps.Task(1).empty());
}

TEST_F(DueTaskTest, KeptScriptsGoWithTheHistoryCopy) {
  SAVESCRIPTS = 1;
  AddTask(1, "Run Program", kDay, kNoon);
  steps.Put(Step("Send Keys", [](auto& s) {
    s.ID = 1;
    s.Sequence = 1;
    s.Keystrokes = "a";
  }));
  steps.Put(Step("Wait", [](auto& s) {
    s.ID = 1;
    s.Sequence = 2;
  }));
  Tick();
  SAVESCRIPTS = 0;
  const auto copies = CopiesBeyond(1);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(steps.Summary(copies[0].ID), (Strings{"1 Send Keys", "2 Wait"}));
  EXPECT_EQ(steps.Summary(1), (Strings{"1 Send Keys", "2 Wait"}));
}

TEST_F(DueTaskTest, CompletedFlagOfAReenabledTaskIsClearedBeforeItsNextRun) {
  SCHEDULE_RECORD& task = AddTask(1, "Run Program", kDay, kNoon);
  task.Completed = 1;  // done once, then enabled again with runs ahead
  Tick();
  EXPECT_EQ(schedule.tasks[1].Completed, 0);
  EXPECT_EQ(schedule.tasks[1].Disabled, 0);
  EXPECT_EQ(schedule.tasks[1].Date, kDay + 1);
}

// A run that cannot be stored does not start: started, the task would run again for the same
// moment after a restart. It waits, asks nothing twice, and starts once, when its run is stored.
// The user is told once per fault, in a box that leaves the tick going.
TEST_F(DueTaskTest, RunThatCannotBeStoredStartsOnlyOnceItIsStored) {
  const struct {
    const char* name;
    bool at_commit;  // every write succeeds, the commit fails
  } cases[] = {{"a write fails", false}, {"the commit fails", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    schedule.tasks.clear();
    processes.requests.clear();
    messages.shown.clear();
    frame.notices.clear();
    sound.played.clear();
    state = DueTaskState{};
    SCHEDULE_RECORD& task = AddTask(1, "Run Program", kDay, kNoon);
    task.UserSkip = 1;  // "Confirm Task"
    task.Alarm = 1;
    task.AlarmFile = "ring.wav";
    AddTask(2, "Run Program", kDay + 3, kNoon).Description = "Later";
    messages.answer = BUTTON_YES;
    (c.at_commit ? table.fail_commit : table.fail_update) = 90;
    for (int tick = 0; tick < 4; ++tick) Tick();
    EXPECT_TRUE(processes.requests.empty());
    EXPECT_EQ(schedule.tasks[1].Date, kDay);  // still due, nothing of the run kept
    EXPECT_EQ(schedule.tasks[1].LastRunDate, 0);
    EXPECT_TRUE(CopiesBeyond(2).empty());
    EXPECT_EQ(frame.status, test::NextTaskStatus("Task 1", kDay, kNoon));
    ASSERT_EQ(frame.notices.size(), 1u);
    EXPECT_EQ(frame.notices[0].caption, "Task Not Started");
    EXPECT_EQ(
        frame.notices[0].text.rfind("Task 1 is due, but it was not started: its run could not be "
                                    "stored (disk full).",
                                    0),
        0u)
        << frame.notices[0].text;
    EXPECT_EQ(messages.shown.size(), 1u);  // the question was asked once
    EXPECT_EQ(sound.played.size(), 1u);

    table.fail_update = table.fail_commit = 0;  // space again
    for (int tick = 0; tick < 4; ++tick) Tick();
    EXPECT_EQ(Programs(), Strings{"backup-now"});
    EXPECT_EQ(schedule.tasks[1].Date, kDay + 1);
    EXPECT_EQ(schedule.tasks[1].LastRunDate, kDay);
    EXPECT_EQ(CopiesBeyond(2).size(), 1u);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(frame.notices.size(), 1u);

    // The fault was over; a new one is told again.
    AddTask(3, "Run Program", kDay, kNoon).Description = "Third";
    table.fail_update = 90;
    Tick();
    ASSERT_EQ(frame.notices.size(), 2u);
    EXPECT_EQ(frame.notices[1].text.substr(0, 6), "Third ");
    table.fail_update = 0;
    Tick();
    EXPECT_EQ(processes.requests.size(), 2u);
  }
}

// A task whose run cannot be stored holds up no other: the tasks behind it run, and it is tried
// again whenever no other task is due, the one tried longest ago first.
TEST_F(DueTaskTest, OtherTasksRunWhileOneCannotBeStored) {
  AddTask(1, "Run Program", kDay, kNoon - 3 * kMinute).Command = "one";
  AddTask(2, "Run Program", kDay, kNoon - 2 * kMinute).Command = "two";
  AddTask(3, "Run Program", kDay, kNoon - kMinute).Command = "three";
  AddTask(4, "Run Program", kDay + 1, kNoon).Description = "Tomorrow";
  table.fail_ids = {1, 2};
  Tick();  // 1 waits
  Tick();  // 2 waits
  Tick();  // 3 runs
  EXPECT_EQ(Programs(), Strings{"three"});
  EXPECT_EQ(frame.notices.size(), 1u);
  EXPECT_EQ(state.waiting.size(), 2u);

  table.fail_ids = {1};
  Tick();  // 1 tried again, still waits
  EXPECT_EQ(frame.status, test::NextTaskStatus("Task 1", kDay, kNoon - 3 * kMinute));
  Tick();  // 2, tried longest ago, runs
  EXPECT_EQ(Programs(), (Strings{"three", "two"}));
  table.fail_ids.clear();
  Tick();
  Tick();
  EXPECT_EQ(Programs(), (Strings{"three", "two", "one"}));
  EXPECT_EQ(schedule.tasks[1].Date, kDay + 1);
  EXPECT_EQ(frame.notices.size(), 1u);
  EXPECT_TRUE(state.waiting.empty());
}

// A task waiting for its run to be stored that is changed meanwhile is a new occurrence: the
// wait ends, and its new moment decides.
TEST_F(DueTaskTest, WaitEndsWhenTheTaskIsChanged) {
  AddTask(1, "Run Program", kDay, kNoon);
  table.fail_update = 90;
  Tick();
  ASSERT_EQ(state.waiting.size(), 1u);
  table.fail_update = 0;
  schedule.tasks[1].Date = kDay + 2;  // moved on by hand
  Tick();
  EXPECT_TRUE(state.waiting.empty());
  EXPECT_TRUE(processes.requests.empty());
}

// Past a jump of the date the warning and its backup come before any task the jump made due.
TEST_F(DueTaskTest, ForwardJumpIsWarnedOfBeforeTheFirstOverdueTaskRuns) {
  GLO_LASTCHECKDATE = kDay - 5;
  AddTask(1, "Run Program", kDay - 4, kNoon);
  Tick();
  EXPECT_EQ(Programs(), (Strings{"/opt/vx/bin/vx-backup", "backup-now"}));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Warning");
  EXPECT_EQ(GLO_LASTCHECKDATE, kDay);
  Tick();
  EXPECT_EQ(messages.shown.size(), 1u);
}

// The clock set back an hour: a task every five minutes that ran at noon waits for 12:05 no
// more, but runs at 11:05; tasks whose next run is already their first after the clock's
// moment, one-time tasks and tasks already due keep their moments.
TEST_F(DueTaskTest, ClockSetBackRedatesTheTasksStillToCome) {
  const std::int32_t eleven = kNoon - 60 * kMinute;
  SCHEDULE_RECORD& every = AddTask(1, "Run Program", kDay, kNoon);
  every.ScheduleType = "Custom";
  every.Every = 5;
  every.EveryType = "minute(s)";
  every.AdvanceWarnTime = kNoon - kMinute;  // a minute before each run
  every.Command = "five";
  AddTask(2, "Run Program", kDay + 1, kNoon - 3 * 60 * kMinute);  // tomorrow at nine
  AddTask(3, "Run Program", kDay, kNoon + 30 * kMinute).ScheduleType = "Once";
  Tick();  // noon
  EXPECT_EQ(Programs(), Strings{"five"});
  ASSERT_EQ(schedule.tasks[1].Time, kNoon + 5 * kMinute);
  const SCHEDULE_RECORD before[] = {schedule.tasks[2], schedule.tasks[3]};
  AddTask(4, "Run Program", kDay, eleven - 30 * kMinute);  // a daily task at half past ten

  clock.Set(kDay, eleven);
  Tick();  // 4 runs: its moment lies before the clock's
  EXPECT_EQ(schedule.tasks[1].Date, kDay);
  EXPECT_EQ(schedule.tasks[1].Time, eleven + 5 * kMinute);
  EXPECT_EQ(schedule.tasks[1].AdvanceWarnTime, eleven + 4 * kMinute);
  EXPECT_EQ(schedule.tasks[2].Time, before[0].Time);
  EXPECT_EQ(schedule.tasks[2].Date, before[0].Date);
  EXPECT_EQ(schedule.tasks[3].Time, before[1].Time);
  EXPECT_EQ(Programs(), (Strings{"five", "backup-now"}));
  EXPECT_NE(std::find(log.begin(), log.end(), "Clock Set Back: Tasks re-dated: 1"), log.end());

  clock.Set(kDay, eleven + 5 * kMinute);
  Tick();
  EXPECT_EQ(Programs(), (Strings{"five", "backup-now", "five"}));
  EXPECT_EQ(schedule.tasks[1].Time, eleven + 10 * kMinute);

  clock.Set(kDay, eleven + 5 * kMinute + 30 * 100);  // a few seconds on: nothing moves
  const std::size_t lines = log.size();
  Tick();
  EXPECT_EQ(log.size(), lines);
}

}  // namespace
}  // namespace vx
