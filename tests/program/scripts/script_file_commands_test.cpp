// The script list's file commands: the file the user names for export and import, and
// "Clear All".
#include "program/scripts/script_file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "program/script_engine/script_files.h"
#include "tests/program/script_test_support.h"

namespace vx {
namespace {

using test::Step;

class ScriptFileCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = 3;
    GLO_EXPORTNAME = "Export.txt";
    GLO_SCRIPTWIZARDMODE = 0;
    SCRIPTING_RECORD s = Step("Send Keys", [](auto& r) { r.Keystrokes = "abc"; });
    s.ID = 3;
    steps.Put(s);
  }
  void TearDown() override {
    SCH = SCHEDULE_RECORD{};
    GLO_EXPORTNAME = "Export.txt";
    GLO_SCRIPTWIZARDMODE = 0;
  }

  // A dialog that records what it was asked and answers with `choice` (cancel when empty),
  // moving the current directory as a dialog may.
  AskFileName Dialog(std::string choice) {
    return [this, choice](std::string_view title, std::string& file, std::string_view filter,
                          bool save) {
      asked.push_back(std::string(title) + "|" + file + "|" + std::string(filter) + "|" +
                      (save ? "save" : "open"));
      std::filesystem::current_path(std::filesystem::temp_directory_path());
      if (choice.empty()) return false;
      file = choice;
      return true;
    };
  }

  test::FakeScriptSteps steps;
  test::FakeScriptFile file;
  test::RecordingReporter messages;
  std::vector<std::string> asked;
};

TEST_F(ScriptFileCommandsTest, ExportAsksForTheFileAndKeepsTheCurrentDirectory) {
  const std::filesystem::path here = std::filesystem::current_path();
  ExportScript(steps, file, messages, Dialog("backup.vxs"));
  EXPECT_EQ(std::filesystem::current_path(), here);
  EXPECT_EQ(asked, std::vector<std::string>{
                       "Export to File|Export.txt|Export File|*.vxs|Text|*.txt|All|*.*|save"});
  ASSERT_EQ(file.files["backup.vxs"].size(), 1u);
  EXPECT_EQ(file.files["backup.vxs"][0].FIELD1.str(), "abc");
}

TEST_F(ScriptFileCommandsTest, ImportAsksForTheFileAndCancelChangesNothing) {
  file.files["in.vxs"] = {*ScriptFileLine(Step("Exit Script"))};
  const std::filesystem::path here = std::filesystem::current_path();
  ImportScript(steps, file, messages, Dialog(""));
  EXPECT_EQ(std::filesystem::current_path(), here);
  EXPECT_EQ(steps.rows.size(), 1u);
  ImportScript(steps, file, messages, Dialog("in.vxs"));
  EXPECT_EQ(asked.back(),
            "Choose File to Import|Export.txt|Export File|*.vxs|Text|*.txt|All|*.*|open");
  EXPECT_EQ(steps.Summary(3), (std::vector<std::string>{"0 Send Keys", "1 Exit Script"}));
}

TEST_F(ScriptFileCommandsTest, ClearAllAsksFirst) {
  int templates_cleared = 0;
  const auto clear_template = [&] { ++templates_cleared; };

  messages.answer = BUTTON_NO;
  ClearAllScriptItems(steps, messages, clear_template);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Clear All");
  EXPECT_EQ(messages.shown[0].text, "Delete all script items for the current task?");
  EXPECT_EQ(messages.shown[0].buttons, BUTTON_YES | BUTTON_NO);
  EXPECT_EQ(steps.rows.size(), 1u);

  GLO_SCRIPTWIZARDMODE = 1;  // editing a template: its details go, not the task's steps
  messages.answer = BUTTON_YES;
  ClearAllScriptItems(steps, messages, clear_template);
  EXPECT_EQ(templates_cleared, 1);
  EXPECT_EQ(steps.rows.size(), 1u);

  GLO_SCRIPTWIZARDMODE = 0;
  ClearAllScriptItems(steps, messages, clear_template);
  EXPECT_TRUE(steps.rows.empty());
  EXPECT_EQ(templates_cleared, 1);
}

}  // namespace
}  // namespace vx
