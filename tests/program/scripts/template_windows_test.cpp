// Script templates on real tables: a template with question tokens copied into a task through
// the question windows, a cancelled question, the template list with its copy, delete and
// picker, and the deletion of a template's steps.
#include "program/scripts/template_windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/request_globals.h"
#include "program/scripts/script_windows.h"
#include "program/windows/list_window.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

struct Step {
  std::int32_t sequence;
  std::string action, keystrokes, command, path, focus;
};

class TemplateWindowsTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    TOKENQUEUE.Free();
  }
  void TearDown() override {
    TOKENQUEUE.Free();
    WindowTest::TearDown();
  }
  static void AddTemplate(std::int32_t id, std::string_view description) {
    ASSERT_EQ(ACCESS_SCRIPTTEMPLATES->Open(), 0);
    VXT = SCRIPTTEMPLATES_RECORD{};
    VXT.WIZ_ID = id;
    VXT.Description = description;
    ASSERT_EQ(ACCESS_SCRIPTTEMPLATES->file().Add(), 0);
    ACCESS_SCRIPTTEMPLATES->Close();
  }
  static void AddDetail(std::int32_t id, std::int32_t sequence, std::string_view action,
                        std::string_view keystrokes = {}, std::string_view command = {},
                        std::string_view focus = {}) {
    ASSERT_EQ(ACCESS_SCRIPTTEMPLATEDETAILS->Open(), 0);
    VXD = SCRIPTTEMPLATEDETAILS_RECORD{};
    VXD.WIZ_ID = id;
    VXD.Sequence = sequence;
    VXD.Action = action;
    VXD.Keystrokes = keystrokes;
    VXD.Command = command;
    VXD.FocusOnWindow = focus;
    ASSERT_EQ(ACCESS_SCRIPTTEMPLATEDETAILS->file().Add(), 0);
    ACCESS_SCRIPTTEMPLATEDETAILS->Close();
  }
  static void AddStep(std::int32_t task, std::int32_t sequence, std::string_view action) {
    ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
    SCR = SCRIPTING_RECORD{};
    SCR.ID = task;
    SCR.Sequence = sequence;
    SCR.Action = action;
    ASSERT_EQ(ACCESS_SCRIPTING->file().Add(), 0);
    ACCESS_SCRIPTING->Close();
  }
  static std::vector<Step> Steps(std::int32_t task) {
    std::vector<Step> out;
    EXPECT_EQ(ACCESS_SCRIPTING->Open(), 0);
    ACCESS_SCRIPTING->Set(SCR_KEYID);
    while (ACCESS_SCRIPTING->TryNext() == 0) {
      if (SCR.ID != task) continue;
      out.push_back({SCR.Sequence, SCR.Action.str(), SCR.Keystrokes.str(), SCR.Command.str(),
                     SCR.Path.str(), SCR.FocusOnWindow.str()});
    }
    ACCESS_SCRIPTING->Close();
    return out;
  }
  static std::size_t DetailCount(std::int32_t id) {
    std::size_t count = 0;
    EXPECT_EQ(ACCESS_SCRIPTTEMPLATEDETAILS->Open(), 0);
    ACCESS_SCRIPTTEMPLATEDETAILS->Set(VXD_K_WIZ_ID);
    while (ACCESS_SCRIPTTEMPLATEDETAILS->TryNext() == 0) count += VXD.WIZ_ID == id;
    ACCESS_SCRIPTTEMPLATEDETAILS->Close();
    return count;
  }
  // Answers the next question window: its prompt line, then the answer typed and OK (or Cancel
  // when `answer` is null).
  void Answer(std::string_view prompt, const char* answer) {
    DriverWindow w = ui_.WaitWindow("More Information Required");
    DriverControl entry = w.Control(prompt);
    if (answer == nullptr) {
      w.Control("Cancel").Press();
    } else {
      entry.Type(answer);
      w.Control("&OK").Press();
    }
    ui_.WaitClosed(w);
  }
  void StartCopy(std::int32_t task, std::int32_t wiz_id) {
    ui_.Start([task, wiz_id, this] {
      SCH.ID = task;
      VXT.WIZ_ID = wiz_id;
      copied_ = CopyScriptTemplateToScript();
    });
  }
  int copied_ = -1;
};

TEST_F(TemplateWindowsTest, ATemplateWithTokensIsCopiedAfterTheTasksLastStep) {
  AddStep(5, 3, "Wait");
  AddStep(5, 7, "Wait");
  AddStep(6, 1, "Wait");  // another task's step is no part of the numbering
  AddTemplate(1, "Copy a file");
  AddDetail(1, 1, "Start Program", {}, "C:\\Tools\\[? File Program]");
  AddDetail(1, 2, "");  // a blank action is skipped
  AddDetail(1, 3, "Send Keystrokes", "copy [? File Source file] to [?]");
  AddDetail(1, 4, "Set Focus", {}, {}, "[?WINDOW ]");
  AddDetail(1, 5, "Send Keystrokes", "[? Folder] and [? Folder] [? Text Folder]");
  StartCopy(5, 1);
  Answer("Program:", "run.exe");
  Answer("Source file:", "/home/me/a.txt");
  Answer("Enter window title:", "Untitled - *");  // the bare kind word: the window's own prompt
  Answer("Folder:", "/tmp");                      // asked once for both named tokens ...
  {
    // ... while a Text token always asks, offering the answer given before.
    DriverWindow w = ui_.WaitWindow("More Information Required");
    EXPECT_EQ(w.Control("Folder:").Value(), "/tmp");
    w.Control("Folder:").Type("/var");
    w.Control("&OK").Press();
  }
  ui_.Finish();
  EXPECT_EQ(copied_, 4);

  const std::vector<Step> steps = Steps(5);
  ASSERT_EQ(steps.size(), 6u);
  EXPECT_EQ(steps[2].sequence, 8);
  EXPECT_EQ(steps[2].command, "C:\\Tools\\run.exe");
  EXPECT_EQ(steps[2].path, "C:\\Tools") << "a program without a folder starts in its own";
  EXPECT_EQ(steps[3].sequence, 9);
  EXPECT_EQ(steps[3].keystrokes, "copy /home/me/a.txt to /home/me/a.txt");
  EXPECT_EQ(steps[4].sequence, 10);
  EXPECT_EQ(steps[4].focus, "Untitled - *");
  EXPECT_EQ(steps[5].sequence, 11);
  EXPECT_EQ(steps[5].keystrokes, "/tmp and /tmp /var");

  // A later copy before the wizard empties the answers asks a named token no more.
  AddDetail(2, 1, "Send Keystrokes", "[? Source file]");
  AddTemplate(2, "Again");
  StartCopy(6, 2);
  ui_.Finish();
  const std::vector<Step> again = Steps(6);
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[1].sequence, 2);
  EXPECT_EQ(again[1].keystrokes, "/home/me/a.txt");
}

TEST_F(TemplateWindowsTest, ACancelledQuestionEndsTheCopyAfterTheStepItWasAskedFor) {
  AddTemplate(1, "Three");
  AddDetail(1, 1, "Send Keystrokes", "[? Text First]");
  AddDetail(1, 2, "Start Program", "[? Text Second]", "[? Text Third]");
  AddDetail(1, 3, "Send Keystrokes", "never");
  StartCopy(9, 1);
  Answer("First:", "one");
  Answer("Second:", nullptr);
  ui_.Finish();
  EXPECT_EQ(copied_, 2);
  const std::vector<Step> steps = Steps(9);
  ASSERT_EQ(steps.size(), 2u) << "a task without steps starts at 1; the third is not copied";
  EXPECT_EQ(steps[0].sequence, 1);
  EXPECT_EQ(steps[0].keystrokes, "one");
  EXPECT_EQ(steps[1].keystrokes, "[? Text Second]");
  EXPECT_EQ(steps[1].command, "[? Text Third]") << "fields after the cancel keep their tokens";
  EXPECT_EQ(steps[1].path, "") << "no folder is made up from an unanswered command";
}

TEST_F(TemplateWindowsTest, TheListCopiesDeletesAndPicksTemplates) {
  AddTemplate(1, "Backup");
  AddDetail(1, 1, "Wait");
  AddDetail(1, 2, "Send Keystrokes", "x");
  AddTemplate(2, "Archive");
  ui_.Start([] { BrowseScriptTemplates(); });
  DriverWindow w = ui_.WaitWindow("Script Templates");
  ui_.WaitUntil([] { return GLO_SCRIPTWIZARDMODE == 1; },
                "the template mode while the list is open");
  EXPECT_FALSE(w.Control("&Print").Disabled());
  EXPECT_TRUE(w.Control("&Select").Hidden());
  DriverControl list = w.ControlNumber(3);
  ASSERT_EQ(list.Rows(), 2u);
  EXPECT_EQ(list.Cell(1, 1), "Archive");

  // Copy: a new template over the highlighted one, with its steps.
  list.ChooseRow(2);
  w.Control("Cop&y").Press();
  DriverWindow form = ui_.WaitWindow("New Script Template");
  EXPECT_EQ(form.Control("&Description:").Value(), "Backup");
  form.Control("&Description:").Type("Backup 2");
  form.Control("&OK").Press();
  ui_.WaitClosed(form);
  ASSERT_EQ(list.Rows(), 3u);
  EXPECT_EQ(list.Cell(3, 1), "Backup 2");
  EXPECT_EQ(DetailCount(1), 2u);
  EXPECT_EQ(DetailCount(3), 2u);

  // Delete: the template goes with its steps.
  list.ChooseRow(2);
  w.Control("&Delete").Press();
  DriverWindow remove = ui_.WaitWindow("Delete Script Template");
  ui_.AnswerMessage(BUTTON_YES);
  remove.Control("&OK").Press();
  ui_.WaitClosed(remove);
  EXPECT_EQ(list.Rows(), 2u);
  EXPECT_EQ(DetailCount(1), 0u);
  w.Close();
  ui_.Finish();
  EXPECT_EQ(GLO_SCRIPTWIZARDMODE, 0);

  // Started to select: Select answers with the chosen template in the buffer.
  std::int32_t chosen = 0;
  ui_.Start([&chosen] {
    if (ListWindow::Pick(BrowseScriptTemplates)) chosen = VXT.WIZ_ID;
  });
  DriverWindow picker = ui_.WaitWindow("Script Templates");
  picker.ControlNumber(3).ChooseRow(2);
  picker.Control("&Select").Press();
  ui_.Finish();
  EXPECT_EQ(chosen, 3);
}

TEST_F(TemplateWindowsTest, TheStepListsTemplateButtonAppendsTheChosenTemplate) {
  AddStep(4, 1, "Wait");
  AddTemplate(1, "Greeting");
  AddDetail(1, 1, "Send Keystrokes", "Hello [? Text Name]");
  ui_.Start([] {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = 4;
    SCH.Description = "Greet";
    BrowseScripting();
  });
  DriverWindow steps = ui_.WaitWindow("Scripting - ");
  steps.Control("&Template").Press();
  DriverWindow picker = ui_.WaitWindow("Script Templates");
  picker.ControlNumber(3).ChooseRow(1);
  picker.Control("&Select").Press();
  ui_.WaitClosed(picker);
  Answer("Name:", "World");
  ui_.WaitUntil([&] { return steps.ControlNumber(1).Rows() == 2; },
                "the template's step in the list");
  steps.Close();
  ui_.Finish();
  const std::vector<Step> stored = Steps(4);
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[1].sequence, 2);
  EXPECT_EQ(stored[1].keystrokes, "Hello World");
}

TEST_F(TemplateWindowsTest, DeletingATemplatesStepsLeavesTheOthers) {
  AddDetail(1, 1, "Wait");
  AddDetail(1, 2, "Wait");
  AddDetail(2, 1, "Wait");
  ui_.Start([] {
    VXT.WIZ_ID = 0;
    EXPECT_TRUE(DeleteScriptTemplateDetails());  // no template: nothing deleted
    VXT.WIZ_ID = 1;
    EXPECT_TRUE(DeleteScriptTemplateDetails());
  });
  ui_.Finish();
  EXPECT_EQ(DetailCount(1), 0u);
  EXPECT_EQ(DetailCount(2), 1u);
}

}  // namespace
}  // namespace vx
