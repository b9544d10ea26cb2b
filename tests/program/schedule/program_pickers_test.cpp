// The program pickers of the task and script-step forms, and the date-range dialog.
#include "program/schedule/program_pickers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "program/schedule/select_date_range.h"
#include "runtime/dates.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

using test::Shown;

TEST(FolderOf, CutsBeforeTheLastSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"/usr/bin/editor", "/usr/bin"},
      {"C:\\Tools\\run.exe", "C:\\Tools"},
      {"/opt/a\\b/c", "/opt/a\\b"},
      {"plain", ""},
  };
  for (const auto& [file, folder] : cases) EXPECT_EQ(FolderOf(file), folder) << file;
}

class ProgramPickersTest : public test::WindowTest {};

TEST_F(ProgramPickersTest, AChosenProgramSetsTheCommandAndABlankFolder) {
  std::string task_command, task_path, kept_path, step_command, step_path, template_command;
  ui_.AnswerFile("/opt/tools/backup.sh");
  ui_.AnswerFile("/usr/bin/editor");
  ui_.AnswerFile("/usr/bin/mailer");
  ui_.AnswerFile("/usr/local/bin/wizard");
  ui_.AnswerFile("");  // cancelled: nothing changes
  ui_.Start([&] {
    SelectTaskProgram();
    task_command = SCH.Command.str();
    task_path = SCH.Path.str();
    SCH.Path = "/home/me";
    SelectTaskProgram();
    kept_path = SCH.Path.str();
    SelectScriptProgram();
    step_command = SCR.Command.str();
    step_path = SCR.Path.str();
    GLO_SCRIPTWIZARDMODE = 1;
    SelectScriptProgram();
    template_command = VXD.Command.str();
    SelectScriptProgram();
    GLO_SCRIPTWIZARDMODE = 0;
  });
  ui_.Finish();
  EXPECT_EQ(task_command, "/opt/tools/backup.sh");
  EXPECT_EQ(task_path, "/opt/tools");
  EXPECT_EQ(kept_path, "/home/me");
  EXPECT_EQ(step_command, "/usr/bin/mailer");
  EXPECT_EQ(step_path, "/usr/bin");
  EXPECT_EQ(template_command, "/usr/local/bin/wizard");
  const auto requests = ui_.Requests();
  ASSERT_EQ(requests.size(), 5u);
  EXPECT_EQ(requests[0].caption, "Choose a Program to Start");
  EXPECT_EQ(requests[2].caption, "Select a Program");
  EXPECT_EQ(requests[4].answer_text, "");
  // The task's folder is where the dialog starts; the program's folder is remembered.
  EXPECT_EQ(requests[1].text.rfind("/home/me/", 0), 0u) << requests[1].text;
  EXPECT_EQ(SAVEPATH.str(), std::filesystem::current_path().string());
}

TEST_F(ProgramPickersTest, TheDateRangeIsWrittenBackOnlyOnOk) {
  std::atomic<std::int32_t> start{DATE(6, 1, 2026)}, end{DATE(6, 30, 2026)};
  std::atomic<std::int32_t> start2{0}, end2{0};
  ui_.Start([&] {
    std::int32_t s = start, e = end;
    Function_SelectDateRange(s, e);  // cancelled
    start = s;
    end = e;
    Function_SelectDateRange(s, e);  // start date only
    start2 = s;
    end2 = e;
  });
  DriverWindow w = ui_.WaitWindow("Enter Date Range");
  EXPECT_EQ(w.Control("Start Date").Value(), Shown(DATE(6, 1, 2026)));
  w.Control("Start Date").Type(Shown(DATE(7, 4, 2026)));
  w.Control("Cancel").Press();
  ui_.WaitClosed(w);
  w = ui_.WaitWindow("Enter Date Range");
  w.Control("Start Date").Type(Shown(DATE(7, 4, 2026)));
  w.Control("Use Start Date Only").Tick();
  EXPECT_TRUE(w.Control("End Date").Disabled());
  w.Control("OK").Press();
  ui_.Finish();
  EXPECT_EQ(start, DATE(6, 1, 2026));
  EXPECT_EQ(end, DATE(6, 30, 2026));
  EXPECT_EQ(start2, DATE(7, 4, 2026));
  EXPECT_EQ(end2, DATE(7, 4, 2026));
}

}  // namespace
}  // namespace vx
