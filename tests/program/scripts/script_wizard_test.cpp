// The script wizard on real tables: a script task built page by page (template, steps put in
// place, schedule, category) and read back; a cancelled new task leaving nothing behind; and the
// hot-key editor building a hot key's task (its steps and category) through the wizard.
#include "program/scripts/script_wizard.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/request_globals.h"
#include "program/common/main_procedures.h"
#include "program/due_tasks/program_schedule_services.h"
#include "program/hot_keys/hot_key_windows.h"
#include "program/recurrence/schedule_services.h"
#include "program/schedule/update_schedule.h"
#include "program/script_engine/script_tables.h"
#include "runtime/dates.h"
#include "runtime/ini_file.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

// Stands in for the step editor: an insert stores a "Wait" step after the task's last one
// (keeping the fields of a copy), a delete removes the step in the buffer.
void FakeStepEditor() {
  const long request = CurrentRequest();
  if (request == InsertRecord) {
    std::int32_t last = 0;
    {
      ScriptingTableSteps steps;
      const SCRIPTING_RECORD step = SCR;
      steps.ForEachStep(step.ID, [&](const SCRIPTING_RECORD& s) {
        last = s.Sequence;
        return true;
      });
      SCR = step;
    }
    SCR.Sequence = last + 1;
    if (GLO_COPYMODE == 0) SCR.Action = "Wait";
    SCR.SecondsToWait = SCR.Sequence;
    if (ACCESS_SCRIPTING->Insert() != 0) return;
  } else if (request == DeleteRecord) {
    if (ACCESS_SCRIPTING->TryFetch(SCR_KEYID) != 0 || ACCESS_SCRIPTING->Delete() != 0) return;
  }
  SetCurrentResponse(RequestCompleted);
}

// Where one of a wizard's buttons stands: its container's layout and row in the window, and its
// own column in that container.
struct ButtonPlace {
  std::string layout;
  int container_row;
  int column;
  bool operator==(const ButtonPlace&) const = default;
};
void PrintTo(const ButtonPlace& place, std::ostream* out) {
  *out << place.layout << " in row " << place.container_row << ", column " << place.column;
}

std::vector<ButtonPlace> ButtonPlaces(const DriverWindow& w) {
  std::vector<ButtonPlace> places;
  for (const char* name : {"&Back", "&Next", "&OK", "Cancel"}) {
    const DriverControl button = w.Control(name);
    const int container = button.Container();
    places.push_back({button.ContainerLayout(),
                      container == 0 ? 0 : w.ControlNumber(container).Row(), button.Column()});
  }
  return places;
}

struct StoredStep {
  std::int32_t sequence;
  std::string action;
  std::int32_t seconds;
};

class ScriptWizardTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    editor_ = MainProcedure("UpdateScripting");
    RegisterMainProcedure("UpdateScripting", FakeStepEditor);
  }
  void TearDown() override {
    RegisterMainProcedure("UpdateScripting", editor_);  // what was registered before
    WindowTest::TearDown();
  }
  std::function<void()> editor_;
  ProgramScheduleServices services_;
  ScopedScheduleServices scoped_services_{services_};
  static std::vector<StoredStep> Steps(std::int32_t task) {
    std::vector<StoredStep> out;
    EXPECT_EQ(ACCESS_SCRIPTING->Open(), 0);
    ACCESS_SCRIPTING->Set(SCR_KEYID);
    while (ACCESS_SCRIPTING->TryNext() == 0) {
      if (SCR.ID == task) out.push_back({SCR.Sequence, SCR.Action.str(), SCR.SecondsToWait});
    }
    ACCESS_SCRIPTING->Close();
    return out;
  }
  static void AddTemplate() {
    ASSERT_EQ(ACCESS_SCRIPTTEMPLATES->Open(), 0);
    VXT = SCRIPTTEMPLATES_RECORD{};
    VXT.WIZ_ID = 1;
    VXT.Description = "Type a greeting";
    ASSERT_EQ(ACCESS_SCRIPTTEMPLATES->file().Add(), 0);
    ACCESS_SCRIPTTEMPLATES->Close();
    ASSERT_EQ(ACCESS_SCRIPTTEMPLATEDETAILS->Open(), 0);
    VXD = SCRIPTTEMPLATEDETAILS_RECORD{};
    VXD.WIZ_ID = 1;
    VXD.Sequence = 1;
    VXD.Action = "Send Keystrokes";
    VXD.Keystrokes = "Hello [? Name]";
    ASSERT_EQ(ACCESS_SCRIPTTEMPLATEDETAILS->file().Add(), 0);
    ACCESS_SCRIPTTEMPLATEDETAILS->Close();
  }
};

TEST_F(ScriptWizardTest, BuildsAScriptTaskPageByPage) {
  AddTemplate();
  TOKENQUEUE.buffer.PROMPT = "STALE";
  TOKENQUEUE.Add();
  ui_.Start([] { Wizard_Script(); });
  DriverWindow w = ui_.WaitWindow("New Script Task Wizard");
  EXPECT_EQ(TOKENQUEUE.Records(), 0) << "the wizard asks every template question afresh";
  DriverControl sheet = w.ControlNumber(1);
  EXPECT_EQ(sheet.Choice(), 1);
  EXPECT_TRUE(w.Control("&Back").Disabled());
  EXPECT_TRUE(w.Control("&OK").Disabled());
  std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 1u) << "the new task is stored at once, disabled";
  const std::int32_t id = tasks[0].ID;
  EXPECT_EQ(tasks[0].Disabled, 1);
  EXPECT_EQ(tasks[0].Category.str(), "General");

  // Page 1: a template, then four steps of the editor.
  DriverControl templates = w.ControlNumber(6);
  ASSERT_EQ(templates.Rows(), 1u);
  templates.ChooseRow(1);
  // The lists' popup offers the page's commands: its first item adds the template.
  ui_.AnswerPopup(1);
  templates.RightClick();
  {
    DriverWindow ask = ui_.WaitWindow("More Information Required");
    ask.Control("Name:").Type("World");
    ask.Control("&OK").Press();
    ui_.WaitClosed(ask);
  }
  DriverControl steps = w.ControlNumber(7);
  ui_.WaitUntil([&] { return steps.Rows() == 1; }, "the template's step");
  EXPECT_EQ(steps.Cell(1, 2), "Hello World");
  for (int i = 0; i < 4; ++i) w.Control("Add").Press();
  ASSERT_EQ(steps.Rows(), 5u);
  // Add with step 3 highlighted: the editor stores the new step as 6, the wizard puts it 4th.
  steps.ChooseRow(3);
  w.Control("Add").Press();
  std::vector<StoredStep> stored = Steps(id);
  ASSERT_EQ(stored.size(), 6u);
  EXPECT_EQ(stored[3].sequence, 4);
  EXPECT_EQ(stored[3].seconds, 6) << "the step stored as 6 now follows step 3";
  EXPECT_EQ(stored[5].seconds, 5);
  // Delete step 2: the steps after it close up.
  steps.ChooseRow(2);
  w.Control("&Delete").Press();
  stored = Steps(id);
  ASSERT_EQ(stored.size(), 5u);
  EXPECT_EQ(stored.back().sequence, 5);

  // Page 2: "Once" shows no recurrence controls.
  w.Control("&Next").Press();
  EXPECT_EQ(sheet.Choice(), 2);
  EXPECT_FALSE(w.Control("&Back").Disabled());
  EXPECT_FALSE(w.Control("Sunday").Hidden()) << "a new task repeats by day of week";
  w.Control("Schedule &Type").Choose("Once");
  EXPECT_TRUE(w.Control("Sunday").Hidden());
  EXPECT_TRUE(w.Control("E&xcept").Hidden());
  w.Control("Schedule &Type").Choose("Monthly");
  EXPECT_FALSE(w.Control("&Tips").Hidden());
  EXPECT_TRUE(w.Control("&Tips").Disabled()) << "the offset needs a twice-monthly repeat";
  w.Control("Repeat").Choose("Twice - 15th, Last");
  EXPECT_FALSE(w.Control("&Tips").Disabled());
  w.Control("Schedule &Type").Choose("Once");

  // Page 3 and 4, then OK.
  w.Control("&Next").Press();
  EXPECT_EQ(sheet.Choice(), 3);
  EXPECT_EQ(w.Control("&Category:").Value(), "General");
  w.Control("&Description:").Type("Greet the world");
  w.Control("&Next").Press();
  EXPECT_EQ(sheet.Choice(), 4);
  EXPECT_TRUE(w.Control("&Next").Disabled());
  EXPECT_FALSE(w.Control("&OK").Disabled());
  w.Control("&Back").Press();
  EXPECT_TRUE(w.Control("&OK").Disabled());
  w.Control("&Next").Press();
  w.Control("&OK").Press();
  ui_.WaitClosed(w);
  ui_.Finish();

  tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0].ID, id);
  EXPECT_EQ(tasks[0].Description.str(), "Greet the world");
  EXPECT_EQ(tasks[0].ScheduleType.str(), "Once");
  EXPECT_EQ(tasks[0].Category.str(), "General");
  EXPECT_EQ(tasks[0].Command.str(), "N/A");
  EXPECT_EQ(tasks[0].Disabled, 0);
  EXPECT_NE(tasks[0].Date, 0);
  EXPECT_EQ(Steps(id).size(), 5u);
  EXPECT_EQ(WIZARDTHREADCOUNT, 0);
}

TEST_F(ScriptWizardTest, AnHourlyRepeatSwitchesHistoryOffAndTheCountIsRequired) {
  ui_.Start([] { Wizard_Script(); });
  DriverWindow w = ui_.WaitWindow("New Script Task Wizard");
  w.Control("&Next").Press();
  w.Control("Schedule &Type").Choose("Every...");
  EXPECT_FALSE(w.Control("Every:").Hidden());
  w.Control("Every:").Type("2");  // the unit is "hour(s)"
  w.Control("&Next").Press();
  w.Control("&Next").Press();
  EXPECT_EQ(w.Control("No &History").Value(), "1");
  // A count of 0 is missing: OK names it and the wizard stays open.
  w.Control("&Back").Press();
  w.Control("&Back").Press();
  w.Control("Every:").Type("0");
  w.Control("&Next").Press();
  w.Control("&Next").Press();
  w.Control("&OK").Press();
  const SeenRequest missing = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(missing.caption, "Missing Information");
  EXPECT_EQ(missing.text, "\"Every\" must be entered.");
  EXPECT_TRUE(w.Open());
  w.Control("Cancel").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  EXPECT_TRUE(StoredTasks().empty());
}

// The wizard keeps to the task form's rules for the next date and "Month End".
TEST_F(ScriptWizardTest, TheNextDateSetsTheDefaultWarningAndMonthEndGreysOnlyItsOwnSchedule) {
  // The program INI's default warning; the clock stands at 14:07 on 6/12/2026.
  struct Case {
    const char* active;
    std::int32_t hours;
    std::int32_t warned;  // the warning's date
  } cases[] = {
      {"yes", 1, DATE(6, 16, 2026)},  // any set "Active" asks for the warning
      {"1", 15, DATE(6, 15, 2026)},   // a warning before midnight falls on the day before
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.active);
    PUTINI("Warning", "Active", c.active, ININAME.clipped());
    PUTINI("Warning", "Date", "1", ININAME.clipped());
    PUTINI("Warning", "Time", std::to_string(MakeTime(c.hours, 0) - 1), ININAME.clipped());
    ui_.Start([] { Wizard_Script(); });
    DriverWindow w = ui_.WaitWindow("New Script Task Wizard");
    w.Control("&Next").Press();
    w.Control("Next &Date to Perform Task:").Type(test::Shown(DATE(6, 17, 2026)));
    EXPECT_EQ(w.Control("&Advance Warning Date:").Value(), test::Shown(c.warned));

    // "Month End" greys the weekdays of a "Day of Month" schedule only.
    w.Control("Schedule &Type").Choose("Day of Month");
    w.Control("Month End").Tick();
    EXPECT_TRUE(w.Control("Sunday").Disabled());
    EXPECT_TRUE(w.Control("1st").Disabled());
    w.Control("Schedule &Type").Choose("Day of Week");
    EXPECT_FALSE(w.Control("Sunday").Disabled());
    w.Control("Cancel").Press();
    ui_.WaitClosed(w);
    ui_.Finish();
  }
}

// The buttons stand in a row of their own (which the front end puts at the right), in the same
// place on every page and where the message wizard has them.
TEST_F(ScriptWizardTest, TheButtonsStandWhereTheMessageWizardsDoOnEveryPage) {
  ui_.Start([] {
    GLO_PRIMETASKTYPE = "Display Message";
    SCH = SCHEDULE_RECORD{};
    SetCurrentRequest(InsertRecord);
    UpdateSchedule();
    SetCurrentRequest(0);  // as from Main's menu
    Wizard_Script();
  });
  DriverWindow message = ui_.WaitWindow("New Task");
  const std::vector<ButtonPlace> expected = ButtonPlaces(message);
  EXPECT_EQ(expected[0], (ButtonPlace{"row", expected[0].container_row, 1}));
  message.Control("Cancel").Press();
  ui_.WaitClosed(message);

  DriverWindow w = ui_.WaitWindow("New Script Task Wizard");
  for (int page = 1; page <= 4; ++page) {
    SCOPED_TRACE(page);
    EXPECT_EQ(w.ControlNumber(1).Choice(), page);
    EXPECT_EQ(ButtonPlaces(w), expected);
    if (page < 4) w.Control("&Next").Press();
  }
  w.Control("Cancel").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
}

// The When page opens five minutes ahead of the clock, however long the script took to build;
// a time typed there that has passed moves a repeating task to its next run (the clock stands
// at Friday 12 June 2026, 14:07).
TEST_F(ScriptWizardTest, TheWhenPageOpensAheadOfTheClockAndAPassedTimeMovesToTheNextRun) {
  ui_.Start([] { Wizard_Script(); });
  DriverWindow w = ui_.WaitWindow("New Script Task Wizard");
  w.Control("Add").Press();
  clock_.Set(DATE(6, 12, 2026), MakeTime(14, 27, 9));  // the script took twenty minutes
  w.Control("&Next").Press();
  EXPECT_EQ(w.Control("Next &Date to Perform Task:").Value(), test::Shown(DATE(6, 12, 2026)));
  EXPECT_EQ(w.Control("&Time:").Value(), "14:32");
  w.Control("&Back").Press();
  w.Control("&Next").Press();
  EXPECT_EQ(w.Control("&Time:").Value(), "14:32");
  w.Control("&Time:").Type("09:00");  // every day of the week, as primed
  w.Control("&Next").Press();
  w.Control("&Next").Press();
  w.Control("&OK").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  EXPECT_TRUE(ui_.Messages().empty());
  const SCHEDULE_RECORD t = StoredTasks().at(0);
  EXPECT_EQ(t.Date, DATE(6, 13, 2026));
  EXPECT_EQ(t.Time, MakeTime(9, 0));
}

TEST_F(ScriptWizardTest, AOneTimeTaskInThePastAsksWhetherToRunItNow) {
  ui_.Start([] { Wizard_Script(); });
  DriverWindow w = ui_.WaitWindow("New Script Task Wizard");
  w.Control("&Next").Press();
  w.Control("Schedule &Type").Choose("Once");
  w.Control("&Time:").Type("13:00");
  w.Control("&Next").Press();
  w.Control("&Next").Press();
  w.Control("&OK").Press();
  const SeenRequest asked = ui_.WaitMessage(BUTTON_NO);
  EXPECT_EQ(asked.text, "The date and time given have already passed. Run the task now?");
  ASSERT_TRUE(w.Open()) << "No goes back to the wizard";
  EXPECT_EQ(StoredTasks().at(0).Disabled, 1) << "only the reserved record is stored";
  w.Control("&OK").Press();
  ui_.WaitMessage(BUTTON_YES);
  ui_.WaitClosed(w);
  ui_.Finish();
  const SCHEDULE_RECORD t = StoredTasks().at(0);
  EXPECT_EQ(t.Disabled, 0);
  EXPECT_EQ(t.Date, DATE(6, 12, 2026));
  EXPECT_EQ(t.Time, MakeTime(14, 7, 9));
}

TEST_F(ScriptWizardTest, ACancelledNewTaskLeavesNoTaskAndNoSteps) {
  ui_.Start([] { Wizard_Script(); });
  DriverWindow w = ui_.WaitWindow("New Script Task Wizard");
  const std::int32_t id = StoredTasks().at(0).ID;
  w.Control("Add").Press();
  w.Control("Add").Press();
  EXPECT_EQ(Steps(id).size(), 2u);
  w.Control("Cancel").Press();
  ui_.WaitClosed(w);
  ui_.Finish();
  EXPECT_TRUE(StoredTasks().empty());
  EXPECT_TRUE(Steps(id).empty());
}

TEST_F(ScriptWizardTest, TheHotKeyEditorBuildsItsTaskWithStepsAndACategory) {
  ui_.Start([] {
    SetCurrentRequest(0);
    UpdateHotKeys();
  });
  DriverWindow form = ui_.WaitWindow("New Hot Key");
  form.Control("&Key:").Choose("T");
  form.Control("&Next").Press();
  form.Control("Text or Task").Choose("Ta&sk - Start/control programs with advanced options");
  form.Control("&Next").Press();

  // Cancelling the wizard returns to the action page, the hot key still without a task.
  DriverWindow wizard = ui_.WaitWindow("Hot Key Script Wizard");
  wizard.Control("Cancel").Press();
  ui_.WaitClosed(wizard);
  ui_.WaitUntil([&] { return form.ControlNumber(1).Choice() == 2; }, "the action page again");
  EXPECT_TRUE(StoredTasks().empty());

  form.Control("&Next").Press();
  wizard = ui_.WaitWindow("Hot Key Script Wizard");
  // The steps first, then straight on to the category: a hot key's task has no schedule.
  EXPECT_EQ(wizard.ControlNumber(1).Choice(), 1);
  EXPECT_FALSE(wizard.Control("&OK").Disabled());
  wizard.Control("Add").Press();
  wizard.Control("&Next").Press();
  EXPECT_EQ(wizard.ControlNumber(1).Choice(), 3);
  EXPECT_TRUE(wizard.Control("&Next").Disabled());
  wizard.Control("&Back").Press();
  EXPECT_EQ(wizard.ControlNumber(1).Choice(), 1);
  wizard.Control("&Next").Press();
  EXPECT_EQ(wizard.Control("&Description:").Value(), "Hot Key Ctrl-Shift-T");
  EXPECT_EQ(wizard.Control("&Category:").Value(), "Hot Key");
  wizard.Control("&OK").Press();
  ui_.WaitClosed(wizard);
  ui_.WaitClosed(form);  // the editor presses OK itself
  ui_.Finish();

  const std::vector<SCHEDULE_RECORD> tasks = StoredTasks();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0].TaskType.str(), "Hot Key");
  EXPECT_EQ(tasks[0].Date, 0);
  EXPECT_EQ(tasks[0].Time, 0);
  EXPECT_EQ(tasks[0].Category.str(), "Hot Key");
  EXPECT_EQ(Steps(tasks[0].ID).size(), 1u);
  ASSERT_EQ(ACCESS_SYSHOTKEYS->Open(), 0);
  ASSERT_EQ(ACCESS_SYSHOTKEYS->Set(HOT_K_HOTKEY), 0);
  ASSERT_EQ(ACCESS_SYSHOTKEYS->TryNext(), 0);
  EXPECT_EQ(HOT.HotKey.str(), "Ctrl-Shift-T");
  EXPECT_EQ(HOT.Action.str(), "Task");
  EXPECT_EQ(HOT.ID, tasks[0].ID);
  EXPECT_EQ(HOT.Description.str(), "Ctrl-Shift-T");
  EXPECT_EQ(HOT.QuickText.str(), "Ctrl-Shift-T");
  ACCESS_SYSHOTKEYS->Close();
}

}  // namespace
}  // namespace vx
