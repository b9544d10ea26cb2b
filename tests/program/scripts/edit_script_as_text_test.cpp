// The script text editor and its command builder, driven as a user would: the text shown on
// opening, saving it back, the clipboard buttons, the placeholder for search and replace, and
// the places the windows keep.
#include "program/scripts/edit_script_as_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/request_globals.h"
#include "program/scripts/script_text_reference.h"
#include "program/scripts/script_text_search_replace.h"
#include "program/shell_fixture.h"
#include "runtime/ini_file.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"
#include "tests/program/script_test_support.h"

namespace vx {
namespace {

using test::Step;
using Strings = std::vector<std::string>;

class EditScriptAsTextTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ClipboardChanged("");
  }
  void TearDown() override {
    ClipboardChanged("");
    ShellTest::TearDown();
  }

  void Put(std::int32_t sequence, SCRIPTING_RECORD step) {
    step.ID = 4;
    step.Sequence = sequence;
    steps_.Put(step);
  }

  // Starts the editor on task 4; the response it leaves is kept in response_.
  DriverWindow Open(TestDriver& ui) {
    ui.Start([this] {
      SCH.ID = 4;
      WindowMessageReporter messages;
      Script_EditAsText(steps_, messages);
      response_ = CurrentResponse();
    });
    return ui.WaitWindow("Scripting:  Edit As Text");
  }

  // Presses one of the editor's closing buttons and waits for the run to end.
  static void CloseWith(TestDriver& ui, const DriverWindow& editor, std::string_view button) {
    editor.Control(button).Press();
    ui.WaitClosed(editor);
    ui.Finish();
  }

  std::string Place(std::string_view procedure) const {
    IniFile& ini = *IniInUse();
    return ini.Get(procedure, "XPos") + " " + ini.Get(procedure, "YPos") + " " +
           ini.Get(procedure, "Width") + " " + ini.Get(procedure, "Height");
  }

  test::FakeScriptSteps steps_;
  long response_ = 0;
};

constexpr int kText = 1;  // the editor's text is its first control

TEST_F(EditScriptAsTextTest, SavingUnchangedTextRenumbersTheSameSteps) {
  Put(3, Step("Send Keys", [](auto& r) { r.Keystrokes = "[CTRL-S]"; }));
  Put(7, Step("Wait", [](auto& r) { r.SecondsToWait = 5; }));
  Put(20, Step("Exit Script"));
  TestDriver ui;
  DriverWindow editor = Open(ui);
  EXPECT_EQ(editor.ControlNumber(kText).Value(), "KEYS [CTRL-S]\r\nWAIT 5\r\nEXIT\r\n");
  editor.Move(11, 22, 500, 300);
  CloseWith(ui, editor, "&OK");
  EXPECT_EQ(steps_.Summary(4), (Strings{"1 Send Keys", "2 Wait", "3 Exit Script"}));
  EXPECT_EQ(steps_.Task(4)[0].Keystrokes, "[CTRL-S]");
  EXPECT_EQ(steps_.Task(4)[1].SecondsToWait, 5);
  EXPECT_EQ(response_, RequestCompleted);
  EXPECT_EQ(Place("Script:EditAsText"), "11 22 500 300");
  EXPECT_TRUE(ui.Messages().empty());
}

// A script longer than the text form's usual 65535 characters is shown and stored whole: a cut
// text would silently drop the steps at its end.
TEST_F(EditScriptAsTextTest, ALongScriptIsSavedWhole) {
  for (int i = 1; i <= 2000; ++i)
    Put(i, Step("Comment", [](auto& r) { r.Command = std::string(40, 'c'); }));
  TestDriver ui;
  DriverWindow editor = Open(ui);
  EXPECT_GT(editor.ControlNumber(kText).Value().size(), 65535u);
  CloseWith(ui, editor, "&OK");
  const std::vector<SCRIPTING_RECORD> saved = steps_.Task(4);
  ASSERT_EQ(saved.size(), 2000u);
  EXPECT_EQ(saved.back().Sequence, 2000);
  EXPECT_EQ(saved.back().Command, std::string(40, 'c'));
}

TEST_F(EditScriptAsTextTest, EditedTextReplacesTheStepsAndCancelKeepsThem) {
  Put(1, Step("Exit Script"));
  struct Case {
    std::string_view button;
    Strings steps;
    long response;
  };
  for (const Case& c : {Case{"Cancel", {"1 Exit Script"}, RequestCancelled},
                        Case{"&OK", {"1 Send Keys", "3 Exit Script"}, RequestCompleted}}) {
    TestDriver ui;
    DriverWindow editor = Open(ui);
    editor.ControlNumber(kText).Type("KEYS abc\r\n\r\nEXIT\r\n");
    CloseWith(ui, editor, c.button);
    EXPECT_EQ(steps_.Summary(4), c.steps) << c.button;
    EXPECT_EQ(response_, c.response) << c.button;
  }
}

TEST_F(EditScriptAsTextTest, TheTextGoesToAndComesFromTheClipboard) {
  Put(1, Step("Exit Script"));
  TestDriver ui;
  DriverWindow editor = Open(ui);
  editor.Control("Copy to Clipboard").Press();
  EXPECT_EQ(ui.LastClipboardWrite(), "EXIT\r\n");
  ClipboardChanged("COMMENT pasted\r\nEXIT\r\n");
  editor.Control("Replace with Clipboard").Press();
  EXPECT_EQ(editor.ControlNumber(kText).Value(), "COMMENT pasted\r\nEXIT\r\n");
  EXPECT_EQ(editor.Get(Prop::Focus), std::to_string(kText));
  CloseWith(ui, editor, "&OK");
  EXPECT_EQ(steps_.Summary(4), (Strings{"1 Comment", "2 Exit Script"}));
}

TEST_F(EditScriptAsTextTest, AnEmptyClipboardSavesNothingAndKeepsTheSteps) {
  Put(1, Step("Exit Script"));
  Put(2, Step("Exit Script"));
  TestDriver ui;
  DriverWindow editor = Open(ui);
  editor.Control("Replace with Clipboard").Press();
  EXPECT_EQ(editor.ControlNumber(kText).Value(), "");
  editor.Control("&OK").Press();
  const SeenRequest error = ui.WaitMessage(BUTTON_OK);
  EXPECT_EQ(error.caption + ": " + error.text, "Error: Nothing to save.");
  ui.WaitClosed(editor);
  ui.Finish();
  EXPECT_EQ(steps_.Summary(4), (Strings{"1 Exit Script", "2 Exit Script"}));
}

TEST_F(EditScriptAsTextTest, SearchAndReplaceOnlySaysItIsNotAvailable) {
  TestDriver ui;
  DriverWindow editor = Open(ui);
  editor.ControlNumber(kText).Type("EXIT");
  editor.Control("Search/&Replace").Press();
  CloseWith(ui, editor, "&OK");
  ASSERT_EQ(reporter_.shown.size(), 1u);
  EXPECT_EQ(reporter_.shown[0].caption, "Not Available");
  EXPECT_EQ(reporter_.shown[0].text,
            "Script:Text:SearchAndReplace is not available in this version.");
  EXPECT_EQ(steps_.Summary(4), (Strings{"1 Exit Script"}));  // the typed text survived the detour
  EXPECT_EQ(response_, RequestCompleted);

  ui.Start([] {
    SETKEYCODE(13);
    SetCurrentRequest(SelectRecord);
    Script_Text_SearchAndReplace();
    EXPECT_EQ(KEYCODE(), 0);
    EXPECT_EQ(CurrentResponse(), RequestCancelled);
  });
  ui.Finish();
}

TEST(ScriptTextReference, KeyCodesAndValueNamesAreAppendedInBrackets) {
  struct Case {
    std::string line, modifier, key, expected;
  };
  for (const Case& c : std::vector<Case>{{"", "", "ENTER", "[ENTER]"},
                                         {"KEYS ", "Ctrl", "a", "KEYS[Ctrl-a]"},
                                         {"KEYS x", "CtrlShift", "F4", "KEYS x[CtrlShift-F4]"}}) {
    EXPECT_EQ(AppendKeyCode(c.line, c.modifier, c.key), c.expected) << c.modifier << " " << c.key;
  }
  EXPECT_EQ(AppendValueName("SET X ", "TODAY     "), "SET X[TODAY]");
  EXPECT_EQ(ScriptCommandTemplates().size(), 28u);
  EXPECT_EQ(ScriptCommandTemplates()[16], "FILE \"Make Directory\" filename_1");
}

TEST_F(EditScriptAsTextTest, TheReferenceBuildsALineOnTheClipboard) {
  ClipboardChanged("KEYS x");
  TestDriver ui;
  DriverWindow editor = Open(ui);
  editor.Control("Reference/Commands").Press();
  DriverWindow reference = ui.WaitWindow("Edit Script as Text: Reference");
  EXPECT_EQ(reference.Control("Clipboard").Value(), "KEYS x");
  EXPECT_EQ(reference.Control("Build a command on the clipboard, then press Close.").Kind(),
            ControlType::String);
  reference.ControlNumber(4).Choose("ENTER");  // no modifier
  reference.Control("&Append").Press();
  reference.ControlNumber(3).Choose("Ctrl");
  reference.ControlNumber(4).Choose("a");
  reference.Control("&Append").Press();
  reference.ControlNumber(7).Choose("FOCUS");
  reference.ControlNumber(8).Press();  // "A&ppend" (by text it would find "&Append")
  EXPECT_EQ(reference.Control("Clipboard").Value(), "KEYS x[ENTER][Ctrl-a][FOCUS]");
  reference.Move(1, 2, 300, 200);
  reference.Control("Cl&ose").Press();
  ui.WaitClosed(reference);
  EXPECT_EQ(ui.LastClipboardWrite(), "KEYS x[ENTER][Ctrl-a][FOCUS]");

  editor.Control("Reference/Commands").Press();
  reference = ui.WaitWindow("Edit Script as Text: Reference");
  EXPECT_EQ(reference.Get(Prop::X), "1");
  reference.ControlNumber(10).Choose("IFTIME 999");
  reference.Control("Replace").Press();
  EXPECT_EQ(reference.Control("Clipboard").Value(), "IFTIME 999");
  reference.Close();  // the close box leaves the clipboard alone
  ui.WaitClosed(reference);
  EXPECT_EQ(ui.LastClipboardWrite(), "KEYS x[ENTER][Ctrl-a][FOCUS]");
  CloseWith(ui, editor, "Cancel");
  EXPECT_EQ(Place("Script:Text:Reference"), "1 2 300 200");
}

// Closing the builder without a change gives back a clipboard line longer than the entry's
// usual 255 characters whole.
TEST_F(EditScriptAsTextTest, TheReferenceKeepsALongClipboardLineWhole) {
  const std::string long_line = "KEYS " + std::string(300, 'k');
  ClipboardChanged(long_line);
  TestDriver ui;
  ui.Start([] { Script_Text_Reference(); });
  DriverWindow reference = ui.WaitWindow("Edit Script as Text: Reference");
  reference.Control("Cl&ose").Press();
  ui.WaitClosed(reference);
  ui.Finish();
  EXPECT_EQ(ui.LastClipboardWrite(), long_line);
}

}  // namespace
}  // namespace vx
