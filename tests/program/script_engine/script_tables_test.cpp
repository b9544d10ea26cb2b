// The script routines over the data library's tables: a script through its text and back in
// SCRIPTING, deleting a task's script, and scripts through a comma-delimited "Export.txt".
#include "program/script_engine/script_tables.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "datadll/test_support.h"
#include "program/script_engine/delete_script.h"
#include "program/script_engine/parse_script_text.h"
#include "program/script_engine/script_files.h"
#include "program/script_engine/write_script_text.h"
#include "runtime/dates.h"
#include "tests/program/script_test_support.h"
#include "tests/support/fixed_clock.h"

namespace vx {
namespace {

using test::Dump;
using Strings = std::vector<std::string>;

// Every action of the text form, with values that need quoting.
constexpr std::string_view kScript =
    "DISPLAY \"Starting, please wait\" Backup OK\r\n"
    "DISPLAY Careful \"\" \"\" \"/MODAL\"\r\n"
    "START \"C:\\Tools\\backup.exe\" \"C:\\Data\" WAIT=600 PRIORITY=1 MODE=7 ACTION=Open "
    "/TRANSLATE\r\n"
    "IFWINDOW \"Backup Error\" \"Disk \"\"full\"\"\"\r\n"
    "   FOCUS \"Backup Error\"\r\n"
    "   KEYS [ENTER]\r\n"
    "   SET [Failed] 1\r\n"
    "END\r\n"
    "IFNOTWINDOW Explorer\r\n"
    "   IF [Failed] = 1\r\n"
    "      EMAIL 3\r\n"
    "      FILE \"FTP Upload\" \"C:\\Data\\log.txt\" \"/logs/log.txt\" ftp.example.org bob \"p "
    "w\"\r\n"
    "      FILE \"HTTP Download\" page.htm \"http://example.org/\" example.org\r\n"
    "      FILE Delete old.txt\r\n"
    "   END\r\n"
    "END\r\n"
    "WAIT \"\" 30 Explorer\r\n"
    "WAIT Either 5 \"Save As\" name\r\n"
    "WAIT 5\r\n"
    "WAIT\r\n"
    "DDE Progman Progman \"[ShowGroup(Main, 1)]\"\r\n"
    "SCRIPT \"C:\\Scripts\\after.vxs\" \"Insert (Execute and continue)\"\r\n"
    "IFTIME 60\r\n"
    "   IFTIMELESS 90\r\n"
    "      CLOSE backup.exe\r\n"
    "   END\r\n"
    "END\r\n"
    "COMMENT \"all done, bye\"\r\n"
    "EXIT\r\n";

class ScriptTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetClockSource(&clock_);
    VX_Files_Load();
    SCH = SCHEDULE_RECORD{};
    GLO_EXPORTNAME = "Export.txt";
  }
  void TearDown() override {
    SCH = SCHEDULE_RECORD{};
    VX_Files_Unload();
    SetClockSource(nullptr);
  }

  std::vector<SCRIPTING_RECORD> TaskSteps(std::int32_t id) {
    ScriptingTableSteps steps;
    std::vector<SCRIPTING_RECORD> out;
    steps.ForEachStep(id, [&](const SCRIPTING_RECORD& s) {
      out.push_back(s);
      return true;
    });
    return out;
  }

  void AddSteps(std::int32_t id, std::initializer_list<std::int32_t> sequences) {
    ScriptingTableSteps steps;
    for (const std::int32_t seq : sequences) {
      SCRIPTING_RECORD s;
      s.ID = id;
      s.Sequence = seq;
      s.Action = "Exit Script";
      ASSERT_TRUE(steps.AddStep(s).ok());
    }
  }

  static std::string FileText(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  test::InFreshFolder folder_;
  test::FixedClock clock_{80000, 360001};
  test::RecordingReporter messages_;
};

TEST_F(ScriptTablesTest, TextThroughTheTableAndBack) {
  AddSteps(9, {1, 2});
  SCH.ID = 4;
  {
    ScriptingTableSteps steps;
    ParseScriptText(kScript, steps, messages_);
  }
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(TaskSteps(4).size(), 29u);
  EXPECT_EQ(TaskSteps(9).size(), 2u);  // another task's script is not touched
  ScriptingTableSteps steps;
  EXPECT_EQ(WriteScriptText(steps, messages_), kScript);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(ScriptTablesTest, ParsingAgainReplacesTheScript) {
  SCH.ID = 4;
  ScriptingTableSteps steps;
  ParseScriptText("KEYS a\r\nKEYS b\r\nKEYS c\r\n", steps, messages_);
  ParseScriptText("EXIT\n", steps, messages_);
  const std::vector<SCRIPTING_RECORD> got = TaskSteps(4);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].Action.str(), "Exit Script");
  EXPECT_EQ(got[0].Sequence, 1);
}

TEST_F(ScriptTablesTest, DeleteScriptLeavesOtherTasksAndIdZero) {
  AddSteps(0, {1, 2});
  AddSteps(4, {1, 2, 3});
  AddSteps(5, {1});
  ScriptingTableSteps steps;
  SCH.ID = 0;
  EXPECT_TRUE(DeleteScript(steps));
  EXPECT_EQ(TaskSteps(0).size(), 2u);
  SCH.ID = 4;
  EXPECT_TRUE(DeleteScript(steps));
  EXPECT_TRUE(TaskSteps(4).empty());
  EXPECT_EQ(TaskSteps(0).size(), 2u);
  EXPECT_EQ(TaskSteps(5).size(), 1u);
  EXPECT_TRUE(DeleteScript(steps));  // nothing left: ends at once
}

TEST_F(ScriptTablesTest, EveryStepThroughExportTxtAndBack) {
  SCH.ID = 4;
  {
    ScriptingTableSteps steps;
    ParseScriptText(kScript, steps, messages_);
  }
  const std::vector<SCRIPTING_RECORD> original = TaskSteps(4);
  {
    ScriptingTableSteps steps;
    ExportTableFile file;
    ExportScriptSteps("Export.txt", steps, file, messages_);
  }
  const std::string text = FileText("Export.txt");
  // The long-named DDE step and the comment are not written, nor a program's start verb.
  EXPECT_EQ(text.find("DDE"), std::string::npos) << text;
  EXPECT_EQ(text.find("Comment"), std::string::npos) << text;
  EXPECT_NE(text.find("Start Program,C:\\Tools\\backup.exe,C:\\Data,1171,600,,"), std::string::npos)
      << text;

  SCH.ID = 6;
  {
    ScriptingTableSteps steps;
    ExportTableFile file;
    ImportScriptSteps("Export.txt", steps, file, messages_);
  }
  EXPECT_TRUE(messages_.shown.empty());
  std::vector<SCRIPTING_RECORD> written;
  for (const SCRIPTING_RECORD& step : original) {
    if (step.Action == "Comment" || step.Action == "DDE (Dynamic Data Exchange)") continue;
    written.push_back(step);
    if (step.Action == "Start Program") written.back().DDEApplicationTopic = "";
  }
  const std::vector<SCRIPTING_RECORD> imported = TaskSteps(6);
  ASSERT_EQ(imported.size(), written.size());
  for (std::size_t i = 0; i < written.size(); ++i) {
    SCRIPTING_RECORD expected = written[i];
    expected.ID = 6;
    expected.Sequence = static_cast<std::int32_t>(i);  // numbered from 0 in file order
    EXPECT_EQ(Dump(imported[i]), Dump(expected));
  }
}

TEST_F(ScriptTablesTest, ImportAfterExistingStepsAndOfUnknownLines) {
  AddSteps(4, {0, 1, 2, 3, 4});
  {
    std::ofstream out("mine.vxs", std::ios::binary);
    out << "\"Set Value\",\"[Dir]\",\"C:\\Data\"\r\n"
        << "\"Launch Rocket\",now\r\n"
        << "Comment,\"a, b\"\r\n"
        << "Start Program,run.exe,,1211,60,runas\n";
  }
  SCH.ID = 4;
  ScriptingTableSteps steps;
  ExportTableFile file;
  ImportScriptSteps("mine.vxs", steps, file, messages_);
  EXPECT_EQ(messages_.Texts(), Strings{"Import Error: Unrecognized script action: Launch Rocket"});
  const std::vector<SCRIPTING_RECORD> got = TaskSteps(4);
  ASSERT_EQ(got.size(), 7u);  // the comment line adds no step
  EXPECT_EQ(got[5].Sequence, 5);
  EXPECT_EQ(got[5].Path.str(), "[Dir]");
  EXPECT_EQ(got[5].Command.str(), "C:\\Data");
  EXPECT_EQ(got[6].Sequence, 6);
  EXPECT_EQ(got[6].DDEApplicationTopic.str(), "runas");  // the fifth field is the start verb
  EXPECT_EQ(got[6].TimeElapsed, 60);
}

TEST_F(ScriptTablesTest, ExportReplacesAnOlderFile) {
  {
    std::ofstream out("Export.txt", std::ios::binary);
    out << "Exit Script,,,,,,\r\nExit Script,,,,,,\r\nExit Script,,,,,,\r\n";
  }
  AddSteps(4, {1});
  SCH.ID = 4;
  ScriptingTableSteps steps;
  ExportTableFile file;
  ExportScriptSteps("Export.txt", steps, file, messages_);
  file.Close();
  const std::string text = FileText("Export.txt");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
}

}  // namespace
}  // namespace vx
