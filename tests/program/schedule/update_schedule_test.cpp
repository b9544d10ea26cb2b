// The task form driven as a user would, on real tables: each task type with each schedule type
// typed in and read back, change, view, delete, copy, special events, the wizard pages, the
// field reactions, and the rule that a cancelled new task leaves nothing behind.
#include "program/schedule/update_schedule.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "framework/request_globals.h"
#include "program/admin/admin_windows.h"
#include "program/admin/load_settings.h"
#include "program/common/config_store.h"
#include "program/common/main_procedures.h"
#include "program/due_tasks/program_schedule_services.h"
#include "program/schedule/task_form_rules.h"
#include "runtime/dates.h"
#include "runtime/ini_file.h"
#include "runtime/locale_formats.h"
#include "runtime/pictures.h"
#include "runtime/storage/sqlite_session.h"
#include "tests/program/window_fixture.h"
#include "tests/runtime/faulty_vfs.h"
#include "tests/support/fixed_clock.h"

namespace vx {
namespace {

using test::Shown;

class UpdateScheduleTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    for (const char* name : {"General", "Home", "Work"}) AddCategory(name);
    GLO_PRIMETASKTYPE.clear();
    GLO_SCH_ID = 0;
    GLO_DATETOUSE.clear();
    // Other engineers' windows are left out unless a test stands in for them.
    RegisterMainProcedure("BrowseScripting", {});
    RegisterMainProcedure("UpdateVXUSD", {});
  }
  void TearDown() override {
    RegisterMainProcedure("BrowseScripting", {});
    RegisterMainProcedure("UpdateVXUSD", {});
    WindowTest::TearDown();
  }

  static void AddCategory(const char* name) {
    ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
    CAT.Category = name;
    ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
    ACCESS_CATEGORIES->Close();
  }
  static void AddUser(const char* name) {
    ASSERT_EQ(ACCESS_USERS->Open(), 0);
    U_ = USERS_RECORD{};
    U_.USER = name;
    ASSERT_EQ(ACCESS_USERS->Insert(), 0);
    ACCESS_USERS->Close();
  }
  // A stored task: a weekly message unless `prepare` says otherwise.
  static std::int32_t AddTask(std::int32_t id,
                              const std::function<void(SCHEDULE_RECORD&)>& prepare = {}) {
    EXPECT_EQ(ACCESS_SCHEDULE->Open(), 0);
    SCH = SCHEDULE_RECORD{};
    SCH.ID = id;
    SCH.TaskType = "Display Message";
    SCH.Category = "Home";
    SCH.Description = "Water the ferns";
    SCH.Message = "They are thirsty.";
    SCH.ScheduleType = "Day of Week";
    SCH.Monday = 1;
    SCH.Date = DATE(6, 15, 2026);
    SCH.Time = MakeTime(9, 0);
    if (prepare) prepare(SCH);
    EXPECT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    ACCESS_SCHEDULE->Close();
    return id;
  }
  static void AddStep(std::int32_t id, std::int32_t sequence, const char* action = "Wait") {
    EXPECT_EQ(ACCESS_SCRIPTING->Open(), 0);
    SCR = SCRIPTING_RECORD{};
    SCR.ID = id;
    SCR.Sequence = sequence;
    SCR.Action = action;
    EXPECT_EQ(ACCESS_SCRIPTING->file().Add(), 0);
    ACCESS_SCRIPTING->Close();
  }
  static std::vector<std::int32_t> Steps(std::int32_t id) {
    std::vector<std::int32_t> out;
    EXPECT_EQ(ACCESS_SCRIPTING->Open(), 0);
    ACCESS_SCRIPTING->Set(SCR_KEYID);
    while (ACCESS_SCRIPTING->TryNext() == 0) {
      if (SCR.ID == id) out.push_back(SCR.Sequence);
    }
    ACCESS_SCRIPTING->Close();
    return out;
  }
  static std::size_t UserRows() {
    std::size_t rows = 0;
    EXPECT_EQ(ACCESS_VXUSD->Open(), 0);
    ACCESS_VXUSD->Set(US_KEYID);
    while (ACCESS_VXUSD->TryNext() == 0) ++rows;
    ACCESS_VXUSD->Close();
    return rows;
  }

  // One opening of the form: its request, and what loads the buffer first.
  struct Run {
    long request = 0;
    std::function<void()> prepare;
  };
  // Runs the form once for each run, one after the other, on the program's thread.
  void StartRuns(std::vector<Run> runs) {
    ui_.Start([this, runs = std::move(runs)] {
      for (const Run& run : runs) {
        SCH = SCHEDULE_RECORD{};
        if (run.prepare) run.prepare();
        SetCurrentRequest(run.request);
        UpdateSchedule();
        response_ = CurrentResponse();
        responses_.push_back(response_);
      }
      wizards_after_ = WIZARDTHREADCOUNT;
    });
  }
  DriverWindow Open(std::string_view title, long request = 0, std::function<void()> prepare = {}) {
    StartRuns({{request, std::move(prepare)}});
    return ui_.WaitWindow(title);
  }
  static std::function<void()> Fetch(std::int32_t id) {
    return [id] {
      SCH.ID = id;
      ACCESS_SCHEDULE->Fetch(SCH_KEYID);
    };
  }
  void Finish(const DriverWindow& w) {
    ui_.WaitClosed(w);
    ui_.Finish();
  }
  // The fields of the Scheduling tab that the driver cannot name by their own prompt.
  static DriverControl StartTime(const DriverWindow& w) {
    return w.ControlNumber(w.Control("&Start:").Number() + 2);
  }
  static DriverControl EndTime(const DriverWindow& w) {
    return w.ControlNumber(w.Control("&End (blank=never):").Number() + 2);
  }

  // A tab by its text (radios share some tab names).
  static DriverControl Tab(const DriverWindow& w, std::string_view text) {
    for (int n = 1;; ++n) {
      const DriverControl c = w.ControlNumber(n);
      if (c.Kind() == ControlType::Tab && Plain(c.Text()) == text) return c;
    }
  }
  // The shown field with this prompt or text (the task's message has an entry on two tabs).
  static DriverControl Field(const DriverWindow& w, std::string_view text) {
    for (int n = 1;; ++n) {
      DriverControl c = w.ControlNumber(n);
      if (Plain(c.Text()) != text || c.Kind() == ControlType::Radio || c.Kind() == ControlType::Tab)
        continue;
      if (c.Kind() == ControlType::Prompt) {
        int field = n + 1;
        while (w.ControlNumber(field).Kind() == ControlType::Region) ++field;
        c = w.ControlNumber(field);
      }
      if (!c.Hidden()) return c;
    }
  }
  static std::string Plain(std::string text) {
    std::erase(text, '&');
    if (!text.empty() && text.back() == ':') text.pop_back();
    return text;
  }

  ScopedLocaleFormats layouts_{LocaleFormats{}};  // times as %H:%M
  ProgramScheduleServices services_;
  ScopedScheduleServices scoped_services_{services_};
  long response_ = 0;
  std::vector<long> responses_;
  std::int32_t wizards_after_ = -1;
};

TEST_F(UpdateScheduleTest, ANewTaskOpensOnWeekdaysFiveMinutesAheadInTheLastCategoryOfItsType) {
  SetConfigValue("VXCATBoth", "Work");
  DriverWindow w = Open("New Task");
  EXPECT_EQ(w.Title(), "New Task  (Days: Mon, Tue, Wed, Thu, Fri)");
  EXPECT_EQ(w.Control("Task Type").Choice(), 3);  // "Both"
  EXPECT_EQ(w.Control("Category").Value(), "Work");
  Tab(w, "Scheduling").Press();
  EXPECT_EQ(w.Control("Perform").Choice(), 2);  // "Day of Week"
  EXPECT_EQ(w.Control("&Start:").Value(), Shown(DATE(6, 12, 2026)));
  EXPECT_EQ(StartTime(w).Value(), "14:12");
  for (const char* day : {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday"})
    EXPECT_EQ(w.Control(day).Value(), "1");
  EXPECT_EQ(w.Control("Sunday").Value(), "0");
  EXPECT_EQ(w.Control("Saturday").Value(), "0");
  EXPECT_TRUE(w.Control("Last performed").Hidden());  // a new task never ran
  EXPECT_TRUE(w.Control("Back").Hidden());            // the tabbed form is no wizard
  EXPECT_FALSE(Tab(w, "Start Program").Hidden());
  EXPECT_FALSE(Tab(w, "Display Message").Hidden());
  EXPECT_TRUE(w.Control("Special Event").Hidden());
  w.Control("Cancel").Press();
  Finish(w);
  EXPECT_EQ(response_, RequestCancelled);
  EXPECT_TRUE(StoredTasks().empty());
  EXPECT_EQ(wizards_after_, 0);
}

// Each task type with a schedule type, typed in and read back with its description and
// defaults.
TEST_F(UpdateScheduleTest, EachTaskTypeWithEachScheduleTypeIsStoredWithItsDefaults) {
  struct Case {
    const char* type;     // radio text
    const char* stored;   // SCH.TaskType
    const char* perform;  // radio text of the schedule type
    std::function<void(DriverWindow&)> fill;
    const char* description;  // stored description
    const char* command;
    const char* schedule;  // stored schedule type
    std::int32_t time;     // stored time (0: as primed)
  };
  const std::vector<Case> cases = {
      {"Display &Message", "Display Message", "Once",
       [](DriverWindow& w) {
         Tab(w, "Display Message").Press();
         Field(w, "Message").Type("Call the plumber about the leak");
       },
       "Call the plumber about the leak", "N/A", "Once", 0},
      {"&Start Program", "Run Program", "Day of Month",
       [](DriverWindow& w) {
         Tab(w, "Start Program").Press();
         w.Control("&Program or document to start (include command-line parameters if necessary)")
             .Type("/usr/bin/true --quiet");
         Tab(w, "Scheduling").Press();
         w.Control("1st").Tick();
         w.Control("Last").Tick(false);
       },
       "Program: /usr/bin/true --quiet", "/usr/bin/true --quiet", "Day of Month", 0},
      {"&Start Program", "Run Program", "Every...",
       [](DriverWindow& w) {
         Tab(w, "Scheduling").Press();
         DriverControl count = Field(w, "Every...");
         count.Type("90");
         w.ControlNumber(count.Number() + 1).Choose("minute(s)");  // the unit after the count
       },
       "Script: JUN 12,2026", "N/A", "Custom", 0},
      {"&Both", "Both", "Monthly",
       [](DriverWindow& w) {
         Tab(w, "Display Message").Press();
         Field(w, "Message").Type("Pay the rent");
         Tab(w, "Scheduling").Press();
         w.Control("Repeat (Per Month)").Choose("Twice - 1st, 15th");
         w.Control("Days to Offset").Type("-2");
       },
       "Pay the rent", "N/A", "Monthly", 0},
      {"&None", "None", "Yearly",
       [](DriverWindow& w) {
         Tab(w, "Display Message").Press();
         Field(w, "Message").Type("Mother's birthday");
       },
       "Mother's birthday", "N/A", "Yearly", 8639500},
      {"&Both", "Both", "Day of Week",
       [](DriverWindow& w) {
         Tab(w, "Display Message").Press();
         Field(w, "Message").Type("Back up the photos");
         w.Control("Description").Type("");  // a blank description is made on saving
       },
       "Message/Run Program", "N/A", "Day of Week", 0},
  };
  StartRuns(std::vector<Run>(cases.size()));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.stored) + " / " + c.perform);
    DriverWindow w = ui_.WaitWindow("New Task");
    w.Control("Task Type").Choose(c.type);
    Tab(w, "Scheduling").Press();
    w.Control("Perform").Choose(c.perform);
    c.fill(w);
    w.Control("OK").Press();
    ui_.WaitClosed(w);
  }
  ui_.Finish();
  EXPECT_EQ(responses_, std::vector<long>(cases.size(), RequestCompleted));
  const std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(std::string(c.stored) + " / " + c.perform);
    const SCHEDULE_RECORD& t = tasks[i];
    EXPECT_EQ(t.TaskType.str(), c.stored);
    EXPECT_EQ(t.ScheduleType.str(), c.schedule);
    EXPECT_EQ(t.Description.str(), c.description);
    EXPECT_EQ(t.Command.str(), c.command);
    EXPECT_EQ(t.Category.str(), "General");  // the first category; nothing used before
    EXPECT_EQ(t.Date, DATE(6, 12, 2026));
    EXPECT_EQ(t.Time, c.time != 0 ? c.time : MakeTime(14, 12));
    EXPECT_EQ(t.Disabled, 0);
    EXPECT_EQ(t.OriginalID, t.ID);
    EXPECT_EQ(t.LastChangeDate, DATE(6, 12, 2026));
  }
  EXPECT_EQ(tasks[1].Every1st, 1);
  EXPECT_EQ(tasks[1].EveryLast, 0);
  EXPECT_EQ(tasks[2].Every, 90);
  EXPECT_EQ(tasks[2].EveryType.str(), "minute(s)");
  EXPECT_EQ(tasks[2].NoHistory, 1);  // minute intervals keep no history
  EXPECT_EQ(tasks[3].MonthRepeat.str(), "Twice - 1st, 15th");
  EXPECT_EQ(tasks[3].Offset, -2);
}

TEST_F(UpdateScheduleTest, ChangeStoresTheFieldsAndViewStoresNothing) {
  AddTask(7);
  StartRuns({{ChangeRecord, Fetch(7)}, {ViewRecord, Fetch(7)}});
  DriverWindow w = ui_.WaitWindow("Edit Task");
  EXPECT_EQ(w.Title(), "Edit Task  (Days: Mon)");
  EXPECT_FALSE(w.Control("Last performed").Hidden());
  w.Control("Description").Type("Water the orchids");
  Tab(w, "Scheduling").Press();
  w.Control("Wednesday").Tick();
  EXPECT_EQ(w.Title(), "Edit Task  (Days: Mon, Wed)");
  w.Control("OK").Press();
  ui_.WaitClosed(w);
  SCHEDULE_RECORD t = StoredTasks().at(0);
  EXPECT_EQ(t.Description.str(), "Water the orchids");
  EXPECT_EQ(t.Wednesday, 1);

  w = ui_.WaitWindow("View Task");
  EXPECT_TRUE(w.Control("Description").Disabled());
  EXPECT_TRUE(w.Control("OK").Hidden());
  EXPECT_EQ(w.Control("Close").Text(), "Cl&ose");
  w.Control("Close").Press();
  Finish(w);
  EXPECT_EQ(StoredTasks().size(), 1u);
  EXPECT_EQ(responses_, (std::vector<long>{RequestCompleted, RequestCancelled}));
}

TEST_F(UpdateScheduleTest, DeleteRemovesTheTaskWithItsScriptAndUserRows) {
  AddTask(7, [](SCHEDULE_RECORD& t) { t.TaskType = "Both"; });
  AddTask(8);
  AddStep(7, 1);
  AddStep(7, 2);
  AddStep(8, 1);
  AddUser("ann");
  ASSERT_EQ(ACCESS_VXUSD->Open(), 0);
  US = VXUSD_RECORD{};
  US.USER = "ann";
  US.ID = 7;
  ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);
  ACCESS_VXUSD->Close();
  ui_.AnswerMessage(BUTTON_YES);  // "Are you sure...?"
  DriverWindow w = Open("Delete Task", DeleteRecord, [] {
    SCH.ID = 7;
    ACCESS_SCHEDULE->Fetch(SCH_KEYID);
  });
  EXPECT_TRUE(w.Control("Description").Disabled());
  Tab(w, "Start Program").Press();
  EXPECT_EQ(w.Control("&Scripting").Disabled(), true);
  w.Control("OK").Press();
  Finish(w);
  const std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0].ID, 8);
  EXPECT_TRUE(Steps(7).empty());
  EXPECT_EQ(Steps(8).size(), 1u);
  EXPECT_EQ(UserRows(), 0u);
}

TEST_F(UpdateScheduleTest, CancellingANewTaskRemovesTheUserRowsItsButtonsWrote) {
  AddUser("ann");
  AddUser("bob");
  AddTask(3);
  // The users buttons write rows for the reserved task at once.
  DriverWindow w = Open("New Task");
  Tab(w, "Users").Press();
  w.Control("Add All >>").Press();
  EXPECT_EQ(UserRows(), 2u);
  EXPECT_EQ(w.ControlNumber(w.Control("Users for this Task").Number() + 1).Rows(), 2u);
  w.Control("Cancel").Press();
  Finish(w);
  EXPECT_EQ(UserRows(), 0u);
  EXPECT_EQ(StoredTasks().size(), 1u);
}

// A copy gets the script of the task it copies when it opens; Cancel takes it away again.
TEST_F(UpdateScheduleTest, CancellingACopyRemovesTheScriptItGot) {
  AddTask(3, [](SCHEDULE_RECORD& t) { t.TaskType = "Both"; });
  AddStep(3, 1);
  AddStep(3, 2);
  GLO_SCH_ID = 3;
  DriverWindow w = Open("New Task", InsertRecord, Fetch(3));
  const std::vector<SCHEDULE_RECORD> during = StoredTasks();
  ASSERT_EQ(during.size(), 2u);  // the reserved copy
  EXPECT_EQ(during[1].Disabled, 1);
  EXPECT_EQ(Steps(during[1].ID), (std::vector<std::int32_t>{1, 2}));
  w.Control("Cancel").Press();
  Finish(w);
  EXPECT_EQ(StoredTasks().size(), 1u);
  EXPECT_TRUE(Steps(during[1].ID).empty());
  EXPECT_EQ(Steps(3).size(), 2u);
}

TEST_F(UpdateScheduleTest, ACopyIsSavedWithTheScriptOfItsOriginal) {
  AddTask(3, [](SCHEDULE_RECORD& t) {
    t.Disabled = 1;
    t.TaskType = "Both";
  });
  AddStep(3, 1, "Wait");
  AddStep(3, 2, "Send Keys");
  GLO_SCH_ID = 3;
  DriverWindow w = Open("New Task", InsertRecord, [] {
    SCH.ID = 3;
    ACCESS_SCHEDULE->Fetch(SCH_KEYID);
  });
  EXPECT_EQ(w.Control("Description").Value(), "Water the ferns");  // primed by the caller, kept
  Tab(w, "Start Program").Press();
  DriverControl steps = w.Control("Script steps");
  EXPECT_EQ(steps.Rows(), 2u);
  EXPECT_EQ(steps.Cell(2, 2), "Send Keys");
  w.Control("Description").Type("Water the ferns (copy)");
  w.Control("OK").Press();
  Finish(w);
  const std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 2u);
  EXPECT_EQ(tasks[1].Description.str(), "Water the ferns (copy)");
  EXPECT_EQ(tasks[1].Disabled, 0);  // a new task starts enabled
  EXPECT_EQ(Steps(tasks[1].ID), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(Steps(3), (std::vector<std::int32_t>{1, 2}));
}

TEST_F(UpdateScheduleTest, CopyModeNamesIdsThatCannotBeCopied) {
  EXPECT_EQ(CopyIdsMessage(4, 4), "Schedule IDs should not match.");
  EXPECT_EQ(CopyIdsMessage(4, 0), "Unassigned new schedule ID.");
  EXPECT_EQ(CopyIdsMessage(0, 5), "Unassigned original schedule ID.");
  EXPECT_EQ(CopyIdsMessage(4, 5), "");

  AddTask(3);
  GLO_SCH_ID = 0;  // the caller forgot to say which task is copied
  ui_.Start([this] {
    SCH.ID = 3;
    ACCESS_SCHEDULE->Fetch(SCH_KEYID);
    SetCurrentRequest(InsertRecord);
    UpdateSchedule();
    response_ = CurrentResponse();
  });
  const SeenRequest box = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.text, "Unassigned original schedule ID.");
  EXPECT_EQ(box.caption, "Internal Error");
  DriverWindow w = ui_.WaitWindow("New Task");
  w.Control("Cancel").Press();
  Finish(w);
}

// A script copy that fails half-way keeps none of the steps it made.
TEST_F(UpdateScheduleTest, AScriptCopyThatFailsLeavesNoPartialCopy) {
  AddStep(1, 1);
  AddStep(1, 2);
  // Task 2 has every sequence from 2 on that the copy could shift step 2 to.
  storage::LOGOUT(10);
  ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
  for (std::int32_t sequence = 2; sequence <= 5003; ++sequence) {
    SCR = SCRIPTING_RECORD{};
    SCR.ID = 2;
    SCR.Sequence = sequence;
    ASSERT_EQ(ACCESS_SCRIPTING->file().Add(), 0);
  }
  ACCESS_SCRIPTING->Close();
  ASSERT_EQ(storage::COMMIT(), 0);
  bool failed_copy = true, copy = false, same = false;
  ui_.AnswerMessage(BUTTON_OK);  // "Error adding script record:"
  ui_.AnswerMessage(BUTTON_OK);  // the copy is taken back
  ui_.Start([&] {
    failed_copy = CopyTaskScript(1, 2);
    copy = CopyTaskScript(1, 9);
    same = CopyTaskScript(9, 9);  // nothing to do
  });
  ui_.Finish();
  EXPECT_FALSE(failed_copy);
  const std::vector<SeenRequest> boxes = ui_.Messages();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text.rfind("Error adding script record:", 0), 0u) << boxes[0].text;
  EXPECT_EQ(boxes[1].text,
            "The script of the task could not be copied; the copy has no script steps.");
  const std::vector<std::int32_t> steps = Steps(2);
  EXPECT_EQ(steps.size(), 5002u);
  EXPECT_EQ(steps.front(), 2);  // step 1 was added and taken back

  EXPECT_TRUE(copy);
  EXPECT_EQ(Steps(9), (std::vector<std::int32_t>{1, 2}));
  EXPECT_TRUE(same);
}

// The program's services with a disk that fails from the moment the exception copy is written:
// the rest of the save, and its commit, cannot be written.
class DiskFailsAfterExceptionCopy final : public ProgramScheduleServices {
 public:
  explicit DiskFailsAfterExceptionCopy(test::FaultyVfs& vfs) : vfs_(vfs) {}
  void AddTaskCopy() override {
    ProgramScheduleServices::AddTaskCopy();
    ++copies;
    vfs_.Arm(test::Fault::Write, 1);
  }
  int copies = 0;

 private:
  test::FaultyVfs& vfs_;
};

// A copy whose save fails half-way (its weekend exception has written the shifted copy) keeps
// nothing: no exception copy, the reserved record as it was, the source untouched; the user is
// told once the transaction is over, and Cancel then leaves only the source and its script.
TEST_F(UpdateScheduleTest, ACopyWhoseSaveFailsHalfWayLeavesNothingOfIt) {
  test::FaultyVfs vfs;  // before the form's thread opens the task file
  std::int32_t saturday = TODAY() + 7;
  while (WeekDay(saturday) != 6) ++saturday;
  AddTask(3, [saturday](SCHEDULE_RECORD& t) {
    t.TaskType = "Both";
    t.ScheduleType = "Custom";
    t.Every = 1;
    t.EveryType = "week(s)";
    t.Date = saturday;
    t.ExceptWeekends = 1;
    t.ShiftType = "Next day";
  });
  AddStep(3, 1);
  const SCHEDULE_RECORD source = StoredTasks().at(0);
  DiskFailsAfterExceptionCopy services(vfs);
  ScopedScheduleServices scoped(services);
  GLO_SCH_ID = 3;
  DriverWindow w = Open("New Task", InsertRecord, Fetch(3));
  w.Control("Description").Type("Water the ferns (copy)");
  w.Control("OK").Press();
  const SeenRequest box = ui_.WaitMessage(BUTTON_OK);
  vfs.Clear();
  EXPECT_EQ(services.copies, 1);
  EXPECT_GT(vfs.failures(), 0);
  EXPECT_EQ(box.text, "The task could not be stored; nothing of it was saved.");
  std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 2u) << "no exception copy is kept";
  EXPECT_EQ(tasks[1].Disabled, 1);  // still the reserved record
  EXPECT_EQ(tasks[1].ExceptionLink, 0);
  EXPECT_EQ(tasks[1].SkipNextTime, 0);
  EXPECT_NE(tasks[1].Description.str(), "Water the ferns (copy)");
  EXPECT_EQ(w.Control("Description").Value(),
            "Water the ferns (copy)");  // the form keeps what was typed
  w.Control("Cancel").Press();
  Finish(w);
  tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0].ID, 3);
  EXPECT_EQ(tasks[0].Date, source.Date);
  EXPECT_EQ(tasks[0].SkipNextTime, 0);
  EXPECT_EQ(tasks[0].ExceptionLink, 0);
  EXPECT_EQ(tasks[0].Description.str(), "Water the ferns");
  EXPECT_EQ(Steps(3), (std::vector<std::int32_t>{1}));
  EXPECT_TRUE(Steps(tasks[0].ID + 1).empty());
}

TEST_F(UpdateScheduleTest, ASpecialEventIsAOnceCopyAndMovesTheSkipOntoItsTask) {
  AddTask(5, [](SCHEDULE_RECORD& t) { t.SkipNextTime = 0; });
  AddStep(5, 1);
  GLO_PRIMETASKTYPE = "Reschedule";
  DriverWindow w = Open("New Task", InsertRecord, [] {
    SCH.ID = 5;
    ACCESS_SCHEDULE->Fetch(SCH_KEYID);
  });
  EXPECT_FALSE(w.Control("Special Event").Hidden());
  EXPECT_TRUE(w.Control("Scheduling").Hidden());
  EXPECT_FALSE(w.Control("Next").Hidden());                       // paged as a wizard
  w.Control("N&ext occurrence:").Type(Shown(DATE(6, 20, 2026)));  // a Saturday: no warning here
  w.Control("&Skip next regular occurrence of this task").Tick();
  w.Control("OK").Press();
  Finish(w);
  EXPECT_TRUE(GLO_PRIMETASKTYPE.blank());
  const std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 2u);
  EXPECT_EQ(tasks[0].SkipNextTime, 1);  // the regular task skips its next run
  EXPECT_EQ(tasks[1].ScheduleType.str(), "Once");
  EXPECT_EQ(tasks[1].SkipNextTime, 0);
  EXPECT_EQ(tasks[1].Date, DATE(6, 20, 2026));
  EXPECT_EQ(Steps(tasks[1].ID), (std::vector<std::int32_t>{1}));
}

TEST_F(UpdateScheduleTest, TheMessageWizardAsksForTheMessageFirstAndPagesOn) {
  GLO_PRIMETASKTYPE = "Display Message";
  DriverWindow w = Open("New Task");
  EXPECT_TRUE(GLO_PRIMETASKTYPE.blank());
  EXPECT_EQ(w.Control("Task Type").Choice(), 2);
  EXPECT_TRUE(Tab(w, "Display Message").Hidden());  // the message is on the first page
  EXPECT_TRUE(w.Control("Back").Disabled());
  w.Control("Next").Press();
  w.Control("Back").Press();
  // OK without a message names the missing field.
  ui_.AnswerMessage(BUTTON_OK);
  w.Control("OK").Press();
  EXPECT_TRUE(w.Open());
  const std::vector<SeenRequest> boxes = ui_.Messages();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().caption, "Missing Information");
  EXPECT_EQ(boxes.back().text, "\"Message to display\" must be entered.");
  Field(w, "Message").Type("Stretch your legs");
  w.Control("OK").Press();
  Finish(w);
  const SCHEDULE_RECORD t = StoredTasks().at(0);
  EXPECT_EQ(t.TaskType.str(), "Display Message");
  EXPECT_EQ(t.Message.str(), "Stretch your legs");
  EXPECT_EQ(t.Description.str(), "Stretch your legs");
  EXPECT_EQ(GetConfigValue("VXCATDisplay Message"), "General");
}

TEST_F(UpdateScheduleTest, TheSchedulingFieldsReactAsTheUserTypes) {
  DriverWindow w = Open("New Task");
  Tab(w, "Scheduling").Press();
  // A Saturday does not fit Monday to Friday: the date stays, with a warning.
  ui_.AnswerMessage(BUTTON_OK);
  w.Control("&Start:").Type(Shown(DATE(6, 13, 2026)));
  ASSERT_FALSE(ui_.Messages().empty());
  EXPECT_EQ(ui_.Messages().back().text, "Date given does not match schedule type.");
  EXPECT_EQ(w.Control("&Start:").Value(), Shown(DATE(6, 13, 2026)));
  w.Control("&Start:").Type(Shown(DATE(6, 15, 2026)));

  // An end before the start is refused and both end fields are cleared; the start day itself
  // without an end time is taken.
  StartTime(w).Type("10:00");
  w.Control("&End (blank=never):").Type(Shown(DATE(6, 15, 2026)));
  ui_.AnswerMessage(BUTTON_OK);
  EndTime(w).Type("09:00");
  EXPECT_EQ(ui_.Messages().back().text, "End date and time must be after the start date and time.");
  EXPECT_EQ(w.Control("&End (blank=never):").Value(), "");
  EXPECT_EQ(EndTime(w).Value(), "");
  w.Control("&End (blank=never):").Type(Shown(DATE(6, 15, 2026)));
  EXPECT_EQ(w.Control("&End (blank=never):").Value(), Shown(DATE(6, 15, 2026)));

  // An advance warning after the task is refused.
  ui_.AnswerMessage(BUTTON_OK);
  Field(w, "Advance warning").Type(Shown(DATE(6, 16, 2026)));
  EXPECT_EQ(ui_.Messages().back().text, "Advanced Warning cannot be after scheduled task.");
  EXPECT_EQ(Field(w, "Advance warning").Value(), "");

  // The schedule type shows only its own controls.
  EXPECT_TRUE(w.Control("E&xcept").Hidden());
  w.Control("Perform").Choose("Once");
  EXPECT_TRUE(w.Control("Monday").Hidden());
  w.Control("Perform").Choose("Day of Month");
  EXPECT_FALSE(w.Control("1st").Hidden());
  EXPECT_FALSE(w.Control("E&xcept").Hidden());
  w.Control("Month End").Tick();
  EXPECT_TRUE(w.Control("1st").Disabled());
  EXPECT_TRUE(w.Control("Monday").Disabled());
  EXPECT_FALSE(w.Control("Month End").Disabled());
  w.Control("Month End").Tick(false);
  EXPECT_FALSE(w.Control("1st").Disabled());
  w.Control("Perform").Choose("Monthly");
  EXPECT_FALSE(w.Control("Repeat (Per Month)").Hidden());
  EXPECT_TRUE(w.Control("Days to Offset").Disabled());
  w.Control("Repeat (Per Month)").Choose("Twice - 15th, Last");
  EXPECT_FALSE(w.Control("Days to Offset").Disabled());
  ui_.AnswerMessage(BUTTON_OK);
  w.Control("T&ips").Press();
  EXPECT_EQ(ui_.Messages().back().caption, "Offset Tips");
  EXPECT_EQ(w.Title(), "New Task  (Twice Monthly)");

  // A reminder has no time: it is stored at the end of its day.
  Tab(w, "Task Basics").Press();
  w.Control("Task Type").Choose("None");
  Tab(w, "Display Message").Press();
  Field(w, "Message").Type("Renew the passport");
  Tab(w, "Scheduling").Press();
  EXPECT_TRUE(StartTime(w).Hidden());
  w.Control("OK").Press();
  Finish(w);
  const SCHEDULE_RECORD t = StoredTasks().at(0);
  EXPECT_EQ(t.TaskType.str(), "None");
  EXPECT_EQ(t.Time, 8639500);
  EXPECT_EQ(t.Date, DATE(6, 15, 2026));
  EXPECT_EQ(t.ExpiryDate, DATE(6, 15, 2026));
  EXPECT_EQ(t.ExpiryTime, 0);
  EXPECT_EQ(t.Description.str(), "Renew the passport");
}

TEST_F(UpdateScheduleTest, TheAlarmTakesTheLastWavFileAndTheOtherWindowsButtonsWaitForThem) {
  PUTINI("Settings", "LastWAVFile", "/tmp/bell.wav", ININAME.clipped());
  DriverWindow w = Open("New Task");
  Tab(w, "Options").Press();
  EXPECT_TRUE(w.Control("WAV File to Play").Disabled());
  w.Control("Play a WAV file as an a&larm").Tick();
  EXPECT_FALSE(w.Control("WAV File to Play").Disabled());
  EXPECT_EQ(w.Control("WAV File to Play").Value(), "/tmp/bell.wav");
  Tab(w, "Start Program").Press();
  EXPECT_TRUE(w.Control("&Scripting").Disabled());  // the step list is not there
  Tab(w, "Users").Press();
  EXPECT_TRUE(w.Control("&Details...").Disabled());
  Tab(w, "Display Message").Press();
  Field(w, "Message").Type("Time for tea");
  w.Control("OK").Press();
  Finish(w);
  const SCHEDULE_RECORD t = StoredTasks().at(0);
  EXPECT_EQ(t.Alarm, 1);
  EXPECT_EQ(std::string(t.AlarmFile.clipped()), "/tmp/bell.wav");
}

TEST_F(UpdateScheduleTest, TheScriptingButtonRunsTheStepListOnTheReservedTask) {
  std::int32_t seen_id = -1;
  RegisterMainProcedure("BrowseScripting", [&seen_id] {
    seen_id = SCH.ID;
    AddStep(SCH.ID, 1, "Beep");
  });
  DriverWindow w = Open("New Task");
  Tab(w, "Start Program").Press();
  w.Control("&Scripting").Press();
  DriverControl steps = w.Control("Script steps");
  EXPECT_EQ(steps.Rows(), 1u);
  EXPECT_EQ(steps.Cell(1, 2), "Beep");
  Tab(w, "Display Message").Press();
  Field(w, "Message").Type("Time for tea");
  w.Control("OK").Press();
  Finish(w);
  const SCHEDULE_RECORD t = StoredTasks().at(0);
  EXPECT_EQ(seen_id, t.ID);
  EXPECT_EQ(Steps(t.ID), (std::vector<std::int32_t>{1}));
}

TEST_F(UpdateScheduleTest, TheStartDateSetsTheDefaultWarningAndTheButtonsOpenTheirWindows) {
  // The program INI's default warning: a day and an hour before the task.
  PUTINI("Warning", "Active", "1", ININAME.clipped());
  PUTINI("Warning", "Date", "1", ININAME.clipped());
  PUTINI("Warning", "Time", std::to_string(MakeTime(1, 0) - 1), ININAME.clipped());
  DriverWindow w = Open("New Task");
  Tab(w, "Scheduling").Press();
  w.Control("&Start:").Type(Shown(DATE(6, 17, 2026)));
  EXPECT_EQ(Field(w, "Advance warning").Value(), Shown(DATE(6, 16, 2026)));

  // The calendar beside the start date marks the days of the schedule; Today takes today.
  w.ControlNumber(StartTime(w).Number() + 1).Press();
  DriverWindow calendar = ui_.WaitWindow("Select Starting Date");
  calendar.Control("&Today").Press();
  ui_.WaitClosed(calendar);
  EXPECT_EQ(w.Control("&Start:").Value(), Shown(DATE(6, 12, 2026)));

  // "Except" opens the exceptions of the task in hand; the title says they exist.
  w.Control("Perform").Choose("Day of Month");
  w.Control("E&xcept").Press();
  DriverWindow exceptions = ui_.WaitWindow("Exceptions");
  exceptions.Control("Except &weekends").Tick();
  exceptions.Control("Cl&ose").Press();
  ui_.WaitClosed(exceptions);
  EXPECT_EQ(w.Title(), "New Task  (Days: Last: Mon, Tue, Wed, Thu, Fri (exceptions exist))");
  Tab(w, "Display Message").Press();
  Field(w, "Message").Type("Check the smoke alarm");
  w.Control("OK").Press();
  Finish(w);
  const SCHEDULE_RECORD t = StoredTasks().at(0);
  EXPECT_EQ(t.ExceptWeekends, 1);
  EXPECT_EQ(t.AdvanceWarnDate, DATE(6, 11, 2026));  // a day before the start chosen last
}

TEST_F(UpdateScheduleTest, TheUsersTabAddsRemovesAndOpensAUsersOwnDetails) {
  AddUser("ann");
  AddUser("bob");
  AddTask(4, [](SCHEDULE_RECORD& t) { t.SkipNextTime = 1; });
  std::string opened_for;
  long request = 0;
  RegisterMainProcedure("UpdateVXUSD", [&] {
    opened_for = US.USER.str() + "/" + std::to_string(US.ID);
    request = CurrentRequest();
    SetCurrentResponse(RequestCompleted);
  });
  DriverWindow w = Open("Edit Task", ChangeRecord, Fetch(4));
  Tab(w, "Users").Press();
  DriverControl all = w.Control("All Users");
  DriverControl mine = w.ControlNumber(w.Control("Users for this Task").Number() + 1);
  all = w.ControlNumber(all.Number() + 1);
  all.ChooseRow(2);
  w.Control("Add >").Press();
  ASSERT_EQ(mine.Rows(), 1u);
  EXPECT_EQ(mine.Cell(1, 1), "bob");
  mine.ChooseRow(1);
  w.Control("&Details...").Press();
  EXPECT_EQ(opened_for, "bob/4");
  EXPECT_EQ(request, ChangeRecord);
  w.Control("Add All >>").Press();
  EXPECT_EQ(mine.Rows(), 2u);
  mine.ChooseRow(1);
  w.Control("< Remove").Press();
  ASSERT_EQ(mine.Rows(), 1u);
  EXPECT_EQ(mine.Cell(1, 1), "bob");
  w.Control("Cancel").Press();  // the rows were written by the buttons; a change keeps them
  Finish(w);
  ASSERT_EQ(ACCESS_VXUSD->Open(), 0);
  US = VXUSD_RECORD{};
  US.ID = 4;
  US.USER = "bob";
  ASSERT_EQ(ACCESS_VXUSD->Fetch(US_KEYID), 0);
  EXPECT_EQ(US.SKIPNEXTTIME, 1);  // the user's copy of the task's own state
  EXPECT_EQ(US.DATE, DATE(6, 15, 2026));
  ACCESS_VXUSD->Close();
  EXPECT_EQ(UserRows(), 1u);
}

TEST_F(UpdateScheduleTest, ALockedSystemAsksForThePasswordFirstAndARefusalChangesNothing) {
  SYSLOCK = 1;
  SYSPWD = "open sesame";
  StartRuns({{}, {}});
  DriverWindow ask = ui_.WaitWindow("Password Required");
  ask.Control("Cancel").Press();
  ui_.WaitClosed(ask);
  ask = ui_.WaitWindow("Password Required");
  ask.Control("Enter the system password").Type("OPEN SESAME");
  ask.Control("OK").Press();
  ui_.WaitClosed(ask);
  DriverWindow w = ui_.WaitWindow("New Task");
  w.Control("Cancel").Press();
  Finish(w);
  SYSLOCK = 0;
  SYSPWD.clear();
  EXPECT_EQ(responses_, (std::vector<long>{RequestCancelled, RequestCancelled}));
  EXPECT_TRUE(StoredTasks().empty());
  EXPECT_EQ(wizards_after_, 0);
}

// Play without a file asks for one, in the folder sounds came from last; the folder is kept.
TEST_F(UpdateScheduleTest, PlayWithoutAFileBrowsesForOneFromTheLastSoundFolder) {
  PUTINI("Defaults", "WAVPath", "/usr/share/sounds", ININAME.clipped());
  ui_.AnswerFile("/opt/chimes/gong.wav");
  DriverWindow w = Open("New Task");
  Tab(w, "Options").Press();
  w.Control("Play a WAV file as an a&larm").Tick();
  w.Control("&Play").Press();
  ui_.WaitUntil([&] { return w.Control("WAV File to Play").Value() == "/opt/chimes/gong.wav"; },
                "the chosen file");
  w.Control("Cancel").Press();
  Finish(w);
  const std::vector<SeenRequest> asked = ui_.Requests();
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.back().caption, "Select WAV File for Alarm");
  EXPECT_EQ(asked.back().text.rfind("/usr/share/sounds/", 0), 0u) << asked.back().text;
  EXPECT_EQ(GETINI("Defaults", "WAVPath", "", ININAME.clipped()), "/opt/chimes");
  EXPECT_EQ(GetConfigValue("LastWAVFile"), "/opt/chimes/gong.wav");
}

// With the per-user form of the user windows, Details opens the highlighted user's own row.
TEST_F(UpdateScheduleTest, DetailsOpensTheUsersOwnRowInItsForm) {
  AddUser("ann");
  AddTask(4);
  RegisterMainProcedure("UpdateVXUSD", UpdateVXUSD);
  DriverWindow w = Open("Edit Task", ChangeRecord, Fetch(4));
  Tab(w, "Users").Press();
  w.Control("Add All >>").Press();
  w.ControlNumber(w.Control("Users for this Task").Number() + 1).ChooseRow(1);
  w.Control("&Details...").Press();
  DriverWindow details = ui_.WaitWindow("Edit User Schedule Details");
  EXPECT_EQ(details.Control("&Start:").Value(), Shown(DATE(6, 15, 2026)));
  details.Control("Cancel").Press();
  ui_.WaitClosed(details);
  w.Control("OK").Press();
  Finish(w);
  EXPECT_EQ(UserRows(), 1u);
}

// Alt with a letter acts at once only when no other shown control has that letter.
TEST_F(UpdateScheduleTest, EveryPageHasEachHotLetterOnce) {
  // The letters of the controls shown: those of the page `tab` and those outside the pages.
  const auto letters_shown = [](const DriverWindow& w, std::string_view tab) {
    const int page = Tab(w, tab).Number();
    const auto on_other_page = [&](int control) {
      for (int at = w.ControlNumber(control).Container(); at != 0;
           at = w.ControlNumber(at).Container()) {
        if (w.ControlNumber(at).Kind() == ControlType::Tab) return at != page;
      }
      return false;
    };
    std::map<char, std::vector<std::string>> seen;
    for (int n = 1;; ++n) {
      DriverControl c = w.ControlNumber(n);
      ControlType kind{};
      try {
        kind = c.Kind();
      } catch (const std::exception&) {
        break;
      }
      const std::string text = c.Text();
      const std::size_t at = text.find('&');
      if (kind == ControlType::Tab || at == std::string::npos || at + 1 >= text.size() ||
          c.Hidden())
        continue;
      if (on_other_page(n)) continue;
      seen[static_cast<char>(std::tolower(static_cast<unsigned char>(text[at + 1])))].push_back(
          text);
    }
    std::string clashes;
    for (const auto& [letter, texts] : seen) {
      if (texts.size() < 2) continue;
      clashes += std::string(1, letter) + ":";
      for (const std::string& text : texts) clashes += " " + text;
      clashes += "; ";
    }
    return clashes;
  };
  GLO_PRIMETASKTYPE = "Display Message";
  StartRuns({{}, {}});
  DriverWindow w = ui_.WaitWindow("New Task");
  EXPECT_EQ(letters_shown(w, "Task Basics"), "") << "message wizard, first page";
  w.Control("Cancel").Press();
  ui_.WaitClosed(w);
  w = ui_.WaitWindow("New Task");
  for (const char* tab :
       {"Task Basics", "Start Program", "Display Message", "Users", "Options", "Scheduling"}) {
    Tab(w, tab).Press();
    EXPECT_EQ(letters_shown(w, tab), "") << tab;
  }
  for (const char* perform :
       {"Once", "Day of Week", "Day of Month", "Monthly", "Yearly", "Every..."}) {
    w.Control("Perform").Choose(perform);
    EXPECT_EQ(letters_shown(w, "Scheduling"), "") << perform;
  }
  w.Control("Cancel").Press();
  Finish(w);
}

// A new task whose first run has passed (the clock stands at Friday 12 June 2026, 14:07) starts
// at its next occurrence, from the tabbed form and from the message and program wizards; a run
// in the current minute is due now, as typed.
TEST_F(UpdateScheduleTest, ANewRepeatingTaskWhoseStartHasPassedStartsAtItsNextRun) {
  struct Case {
    const char* name;
    const char* prime;  // GLO_PRIMETASKTYPE: a wizard's task type, or the tabbed form
    std::function<void(DriverWindow&)> fill;
    std::int32_t date, time;            // the stored next run
    std::int32_t warn_date, warn_time;  // and its advance warning
  };
  const std::vector<Case> cases = {
      {"weekdays at nine, saved Friday afternoon", "Display Message",
       [](DriverWindow& w) {
         Field(w, "Message").Type("Weekday standup");
         w.Control("Next").Press();
         StartTime(w).Type("09:00");  // on today, Monday to Friday as primed
       },
       DATE(6, 15, 2026), MakeTime(9, 0), 0, 0},
      {"every hour from half past nine", "Run Program",
       [](DriverWindow& w) {
         w.Control("Next").Press();
         w.Control("&Program or document to start (include command-line parameters if necessary)")
             .Type("/usr/bin/true");
         w.Control("Next").Press();
         w.Control("Perform").Choose("Every...");
         Field(w, "Every...").Type("1");  // hour(s) as primed
         StartTime(w).Type("09:30");
       },
       DATE(6, 12, 2026), MakeTime(14, 30), 0, 0},
      {"monthly from the 1st, warned a day ahead", "",
       [](DriverWindow& w) {
         Tab(w, "Display Message").Press();
         Field(w, "Message").Type("Pay the rent");
         Tab(w, "Scheduling").Press();
         w.Control("Perform").Choose("Monthly");
         w.Control("&Start:").Type(Shown(DATE(6, 1, 2026)));
         StartTime(w).Type("10:00");
         Field(w, "Advance warning").Type(Shown(DATE(5, 31, 2026)));
         w.ControlNumber(Field(w, "Advance warning").Number() + 2).Type("08:00");
       },
       DATE(7, 1, 2026), MakeTime(10, 0), DATE(6, 30, 2026), MakeTime(8, 0)},
      {"in the current minute", "",
       [](DriverWindow& w) {
         Tab(w, "Display Message").Press();
         Field(w, "Message").Type("Now");
         Tab(w, "Scheduling").Press();
         StartTime(w).Type("14:07");
       },
       DATE(6, 12, 2026), MakeTime(14, 7), 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t asked = ui_.Messages().size();
    GLO_PRIMETASKTYPE = c.prime;
    DriverWindow w = Open("New Task");
    c.fill(w);
    w.Control("OK").Press();
    Finish(w);
    EXPECT_EQ(ui_.Messages().size(), asked) << ui_.Messages().back().text;
    const SCHEDULE_RECORD t = StoredTasks().back();
    EXPECT_EQ(t.Disabled, 0);
    EXPECT_EQ(t.Date, c.date) << FORMAT(t.Date, "@d2");
    EXPECT_EQ(t.Time, c.time) << FORMAT(t.Time, "@t4");
    EXPECT_EQ(t.AdvanceWarnDate, c.warn_date);
    EXPECT_EQ(t.AdvanceWarnTime, c.warn_time);
  }
}

// A one-time task set in the past asks first: No goes back to the form with nothing saved, Yes
// makes it due from now. A special event is a one-time task too.
TEST_F(UpdateScheduleTest, AOneTimeTaskInThePastAsksWhetherToRunItNow) {
  DriverWindow w = Open("New Task");
  Tab(w, "Display Message").Press();
  Field(w, "Message").Type("Call back");
  Tab(w, "Scheduling").Press();
  w.Control("Perform").Choose("Once");
  StartTime(w).Type("13:37");
  w.Control("OK").Press();
  const SeenRequest asked = ui_.WaitMessage(BUTTON_NO);
  EXPECT_EQ(asked.text, "The date and time given have already passed. Run the task now?");
  EXPECT_EQ(asked.buttons, static_cast<unsigned>(BUTTON_YES | BUTTON_NO));
  EXPECT_EQ(asked.default_button, static_cast<unsigned>(BUTTON_NO));
  ASSERT_TRUE(w.Open()) << "No goes back to the form";
  EXPECT_EQ(StartTime(w).Value(), "13:37");
  EXPECT_EQ(StoredTasks().at(0).Disabled, 1) << "only the reserved record is stored";
  w.Control("OK").Press();
  ui_.WaitMessage(BUTTON_YES);
  Finish(w);
  SCHEDULE_RECORD t = StoredTasks().at(0);
  EXPECT_EQ(t.Disabled, 0);
  EXPECT_EQ(t.Date, DATE(6, 12, 2026));
  EXPECT_EQ(t.Time, MakeTime(14, 7, 9));

  AddTask(5);
  GLO_PRIMETASKTYPE = "Reschedule";
  w = Open("New Task", InsertRecord, Fetch(5));
  w.Control("N&ext occurrence:").Type(Shown(DATE(6, 10, 2026)));
  w.Control("OK").Press();
  ui_.WaitMessage(BUTTON_YES);
  Finish(w);
  t = StoredTasks().back();
  EXPECT_EQ(t.ScheduleType.str(), "Once");
  EXPECT_EQ(t.Date, DATE(6, 12, 2026));
  EXPECT_EQ(t.Time, MakeTime(14, 7, 9));
  EXPECT_EQ(StoredTasks().size(), 3u);
}

// A task whose next run is stored in the past keeps it through an edit of anything but its
// schedule; a change of its schedule, and a copy, start at the next occurrence.
TEST_F(UpdateScheduleTest, AnEditKeepsAPastNextRunUnlessTheScheduleChanges) {
  const std::int32_t past = DATE(6, 8, 2026);  // last Monday
  AddTask(7, [past](SCHEDULE_RECORD& t) { t.Date = past; });
  StartRuns({{ChangeRecord, Fetch(7)}, {ChangeRecord, Fetch(7)}});
  DriverWindow w = ui_.WaitWindow("Edit Task");
  w.Control("Description").Type("Water the orchids");
  w.Control("OK").Press();
  ui_.WaitClosed(w);
  EXPECT_EQ(StoredTasks().at(0).Date, past);
  EXPECT_EQ(StoredTasks().at(0).Description.str(), "Water the orchids");

  w = ui_.WaitWindow("Edit Task");
  Tab(w, "Scheduling").Press();
  w.Control("Wednesday").Tick();
  w.Control("OK").Press();
  Finish(w);
  EXPECT_EQ(StoredTasks().at(0).Date, DATE(6, 15, 2026));
  EXPECT_EQ(StoredTasks().at(0).Time, MakeTime(9, 0));

  AddTask(8, [past](SCHEDULE_RECORD& t) { t.Date = past; });
  GLO_SCH_ID = 8;
  w = Open("New Task", InsertRecord, Fetch(8));
  w.Control("OK").Press();
  Finish(w);
  const std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 3u);
  EXPECT_EQ(tasks[1].Date, past) << "the copied task is left alone";
  EXPECT_EQ(tasks[2].Date, DATE(6, 15, 2026));
  EXPECT_TRUE(ui_.Messages().empty());
}

// A repeating task whose every run lies in the past would never run: it is not saved.
TEST_F(UpdateScheduleTest, ARepeatingTaskThatHasEndedIsNotSaved) {
  DriverWindow w = Open("New Task");
  Tab(w, "Display Message").Press();
  Field(w, "Message").Type("Daily");
  Tab(w, "Scheduling").Press();
  w.Control("Perform").Choose("Every...");
  Field(w, "Every...").Type("1");
  w.ControlNumber(Field(w, "Every...").Number() + 1).Choose("day(s)");
  w.Control("&Start:").Type(Shown(DATE(6, 1, 2026)));
  w.Control("&End (blank=never):").Type(Shown(DATE(6, 10, 2026)));
  EndTime(w).Type("18:00");  // an end counts with its time
  w.Control("OK").Press();
  const SeenRequest told = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(told.text,
            "The task ends before its next run: it would never run. Set a later end date and "
            "time, or leave them blank.");
  ASSERT_TRUE(w.Open());
  EXPECT_EQ(w.Control("&Start:").Value(), Shown(DATE(6, 1, 2026)));
  w.Control("Cancel").Press();
  Finish(w);
  EXPECT_TRUE(StoredTasks().empty());
}

class TaskFormRulesTest : public test::ShellTest {};

TEST_F(TaskFormRulesTest, ANewTaskIsPrimedForTheListsDayOrForTomorrowLateAtNight) {
  GLO_DATETOUSE = std::to_string(DATE(7, 1, 2026));
  SCH = SCHEDULE_RECORD{};
  PrimeNewTask("");
  EXPECT_EQ(SCH.TaskType.str(), "Both");
  EXPECT_EQ(SCH.Date, DATE(7, 1, 2026));
  EXPECT_EQ(SCH.Time, MakeTime(14, 7, 9) + 30000);
  EXPECT_EQ(SCH.EveryType.str(), "hour(s)");
  EXPECT_EQ(SCH.Warn, 1);
  GLO_DATETOUSE.clear();

  test::FixedClock late{DATE(6, 12, 2026), MakeTime(23, 58)};
  test::ScopedClock scoped{late};
  SCH = SCHEDULE_RECORD{};
  PrimeNewTask("None");
  EXPECT_EQ(SCH.Date, DATE(6, 13, 2026));
  EXPECT_EQ(SCH.Time, MakeTime(23, 58) + 30000 - 8640000);
}

TEST_F(TaskFormRulesTest, EndAndWarningMomentsAreCheckedAgainstTheStart) {
  struct Case {
    std::int32_t end_date, end_time;
    bool before;
  };
  const std::int32_t start = DATE(6, 15, 2026);
  for (const Case& c :
       {Case{0, 0, false}, Case{start - 1, 0, true}, Case{start, MakeTime(9, 0), true},
        Case{start, 0, false}, Case{start, MakeTime(11, 0), false}, Case{start + 1, 1, false}}) {
    SCHEDULE_RECORD t;
    t.Date = start;
    t.Time = MakeTime(10, 0);
    t.ExpiryDate = c.end_date;
    t.ExpiryTime = c.end_time;
    EXPECT_EQ(EndBeforeStart(t), c.before) << c.end_date << " " << c.end_time;
  }
  SCHEDULE_RECORD t;
  t.Date = start;
  t.Time = MakeTime(10, 0);
  EXPECT_FALSE(WarningAfterTask(t));
  t.AdvanceWarnDate = start;
  t.AdvanceWarnTime = MakeTime(9, 0);
  EXPECT_FALSE(WarningAfterTask(t));
  t.AdvanceWarnTime = MakeTime(10, 30);
  EXPECT_TRUE(WarningAfterTask(t));
}

}  // namespace
}  // namespace vx
