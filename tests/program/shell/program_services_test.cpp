// The user's date format, the task copy under a new id, and the start-up wiring that hands
// them (and the event log) to the schedule rules and the script engine.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "program/common/task_log.h"
#include "program/due_tasks/add_schedule_history.h"
#include "program/recurrence/schedule_services.h"
#include "program/script_engine/builtin_sources.h"
#include "program/script_engine/script_trace.h"
#include "program/shell/install_program_services.h"
#include "program/shell_fixture.h"
#include "program/windows/format_date.h"
#include "runtime/locale_formats.h"
#include "runtime/pictures.h"

namespace vx {
namespace {

class ProgramServicesTest : public test::ShellTest {
 protected:
  void TearDown() override {
    GLO_DATEFORMAT = "";
    GLO_USELOG = 0;
    DEBUGMODE = 0;
    SetScheduleServices(nullptr);
    ShellTest::TearDown();
  }

  static SCHEDULE_RECORD Task(const char* description) {
    SCHEDULE_RECORD task;
    task.Description = description;
    task.Date = DATE(6, 12, 2026);
    task.Time = MakeTime(9, 30);
    return task;
  }
  static SCHEDULE_RECORD Stored(std::int32_t id) {
    SCH.ID = id;
    EXPECT_EQ(ACCESS_SCHEDULE->TryFetch(SCH_KEYID), 0);
    return SCH;
  }
};

TEST_F(ProgramServicesTest, FormatDateFollowsTheChosenPicture) {
  LocaleFormats formats;
  formats.short_date = "%d.%m.%Y";
  ScopedLocaleFormats locale(formats);
  const std::int32_t date = DATE(10, 31, 1959);
  const struct {
    const char* format;
    const char* expected;
  } cases[] = {
      {"d3", "OCT 31,1959"},  {"d1", "10/31/59"},     {"d6", "31/10/1959"}, {"d17", "31.10.1959"},
      {"d19", "OCT 31,1959"}, {"n4b", "OCT 31,1959"}, {"", "OCT 31,1959"},
  };
  for (const auto& c : cases) {
    GLO_DATEFORMAT = c.format;
    EXPECT_EQ(FormatDate(date), c.expected) << c.format;
  }
  GLO_DATEFORMAT = "d18";
  EXPECT_EQ(FormatDate(date), FORMAT(date, "@D18"));
  EXPECT_EQ(FormatDate(0), "");
}

TEST_F(ProgramServicesTest, AHistoryCopyTakesTheNextFreeIdAndKeepsTheOriginal) {
  ASSERT_EQ(AddScheduleHistory(Task("First"), "Message one"), 0);
  EXPECT_EQ(SCH.ID, 1);  // an empty table starts at 1

  SCH = Task("Seventh");
  SCH.ID = 7;
  ASSERT_EQ(ACCESS_SCHEDULE->file().Add(), 0);

  // The buffer itself is the record copied, as the due-task road passes it.
  SCH = Stored(1);
  ASSERT_EQ(AddScheduleHistory(SCH, SCH.Message.view()), 0);
  EXPECT_EQ(SCH.ID, 8);
  EXPECT_EQ(SCH.Description, "First");

  const SCHEDULE_RECORD copy = Stored(8);
  EXPECT_EQ(copy.Description, "First");
  EXPECT_EQ(copy.Message, "Message one");
  EXPECT_EQ(copy.Date, DATE(6, 12, 2026));
  EXPECT_EQ(copy.Time, MakeTime(9, 30));
  EXPECT_EQ(Stored(1).Description, "First");
  EXPECT_EQ(ACCESS_SCHEDULE->file().Records(), 3);
}

TEST_F(ProgramServicesTest, StartUpWiresTheScheduleRulesAndTheScriptEngine) {
  const InstalledProgramServices installed;
  GLO_DATEFORMAT = "d2";
  ScheduleServices& services = CurrentScheduleServices();

  SCH = Task("Water the plants");
  SCH.Message = "Every week";
  services.AddTaskCopy();
  EXPECT_EQ(SCH.ID, 1);
  EXPECT_EQ(Stored(1).Message, "Every week");

  EXPECT_EQ(services.FormatDate(DATE(6, 12, 2026)), FORMAT(DATE(6, 12, 2026), "@D2"));
  EXPECT_EQ(ScriptFormatDate(DATE(6, 12, 2026)), FORMAT(DATE(6, 12, 2026), "@D2"));

  services.ShowMessage("Custom repetition is not set up properly.  Select units.", "Invalid Units");
  ASSERT_EQ(reporter_.shown.size(), 1u);
  EXPECT_EQ(reporter_.shown[0].caption, "Invalid Units");

  GLO_USELOG = 1;
  DEBUGMODE = 1;
  ScriptTrace("[DATE] = 06/12/2026", "TranslateVariable");
  std::ifstream in("VX98Evnt.LOG");
  std::string line;
  ASSERT_TRUE(std::getline(in, line));
  EXPECT_EQ(line.substr(22), "TranslateVariable               [DATE] = 06/12/2026");
}

}  // namespace
}  // namespace vx
