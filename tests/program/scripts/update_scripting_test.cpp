// The script step editor and its small dialogs on a real SCRIPTING table, driven as a user
// would: a step of each action inserted through its page and read back from the table, a step
// changed, viewed and deleted, the wording a stored row opens with, the window pickers filled
// from a fake desktop, and the start options of a program step.
#include <gtest/gtest.h>
#include <optional>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/request_globals.h"
#include "program/common/main_procedures.h"
#include "program/common/program_services.h"
#include "program/organiser/message_windows.h"
#include "program/script_engine/window_search.h"
#include "program/scripts/script_action_help.h"
#include "program/scripts/script_windows.h"
#include "runtime/events.h"
#include "runtime/window/dialogs.h"
#include "tests/fakes/fake_desktop_windows.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

constexpr std::int32_t kTask = 4;

// A field by its prompt's (or its own) text among the controls the user can see: several pages
// of the form use the same prompts. The exact text is looked for first, then the text without
// its hot letter and colon; a fixed text that shows a variable is found by what it shows.
DriverControl Shown(const DriverWindow& w, std::string_view text) {
  const auto plain = [](std::string s) {
    std::erase(s, '&');
    while (!s.empty() && (s.back() == ':' || s.back() == ' ')) s.pop_back();
    return s;
  };
  for (const bool exact : {true, false}) {
    for (int n = 1; n < 400; ++n) {
      try {
        DriverControl c = w.ControlNumber(n);
        const std::string shown =
            c.Kind() == ControlType::String && c.Text().empty() ? c.Value() : c.Text();
        if ((exact ? shown != text : plain(shown) != plain(std::string(text))) || c.Hidden())
          continue;
        if (c.Kind() != ControlType::Prompt) return c;
        DriverControl field = w.ControlNumber(n + 1);
        return field.Kind() == ControlType::Region ? w.ControlNumber(n + 2) : field;
      } catch (const std::exception&) {
      }
    }
  }
  throw std::logic_error("nothing shown reads " + std::string(text));
}

// Whether a text box of the window shows `text`.
bool ShowsText(const DriverWindow& w, std::string_view text) {
  for (int n = 1; n < 400; ++n) {
    try {
      DriverControl c = w.ControlNumber(n);
      if (c.Kind() == ControlType::Text && c.Value() == text && !c.Hidden()) return true;
    } catch (const std::exception&) {
    }
  }
  return false;
}

class UpdateScriptingTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    desktop_.Add(100, "Untitled - Editor");
    desktop_.Add(200, "Calculator");
    desktop_.children[100] = {{101, "Hello world", "Label", true}, {102, "OK", "Button", true}};
    installed_.emplace(&ProgramServices::script_desktop, &desktop_);
  }
  void TearDown() override {
    installed_.reset();
    GLO_SCRIPTWIZARDMODE = 0;
    RegisterMainProcedure("BrowseMessages", {});
    RegisterMainProcedure("UpdateMessages", {});
    WindowTest::TearDown();
  }

  void Put(SCRIPTING_RECORD step) {
    ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
    SCR = step;
    ASSERT_EQ(ACCESS_SCRIPTING->file().Add(), 0);
    ACCESS_SCRIPTING->Close();
  }
  std::vector<SCRIPTING_RECORD> Stored() {
    std::vector<SCRIPTING_RECORD> out;
    EXPECT_EQ(ACCESS_SCRIPTING->Open(), 0);
    SCR.ID = kTask;
    SCR.Sequence = std::numeric_limits<std::int32_t>::min();
    ACCESS_SCRIPTING->file().SetFromBuffer(SCR_KEYID);
    while (ACCESS_SCRIPTING->file().Next() == 0 && SCR.ID == kTask) out.push_back(SCR);
    ACCESS_SCRIPTING->Close();
    return out;
  }

  // Runs the editor with a request over `step` for task 4; the response is kept in response_.
  DriverWindow Open(TestDriver& ui, long request, SCRIPTING_RECORD step, std::string_view title) {
    ui.Start([this, request, step] {
      SCH.ID = kTask;
      SCR = step;
      // A stored step is the thread's current record, as the list leaves it.
      ACCESS_SCRIPTING->Open();
      if (request != InsertRecord) ACCESS_SCRIPTING->file().Get(SCR_KEYID);
      SetCurrentRequest(request);
      UpdateScripting();
      response_ = CurrentResponse();
      ACCESS_SCRIPTING->Close();
    });
    return ui.WaitWindow(title);
  }

  test::FakeDesktopWindows desktop_;
  std::optional<ScopedProgramServices> installed_;
  long response_ = 0;
};

struct ActionCase {
  std::string action;
  std::function<void(TestDriver&, const DriverWindow&)> fill;
  std::function<void(const SCRIPTING_RECORD&)> check;
};

TEST_F(UpdateScriptingTest, AStepOfEachActionIsInsertedThroughItsPage) {
  // The "Send Email" step's message comes from the message windows.
  RegisterMainProcedure("BrowseMessages", BrowseMessages);
  RegisterMainProcedure("UpdateMessages", [] { UpdateMessages(); });
  ASSERT_EQ(ACCESS_MESSAGES->Open(), 0);
  M_ = MESSAGES_RECORD{};
  M_.EmailID = 7;
  M_.MailType = "Email";
  M_.EmailTo = "bob@to.test";
  M_.Subject = "Weekly report";
  ASSERT_EQ(ACCESS_MESSAGES->Insert(), 0);
  ACCESS_MESSAGES->Close();
  const std::vector<ActionCase> cases = {
      {"Send Keys",
       [](TestDriver&, const DriverWindow& w) {
         Shown(w, "Key(s) to press").Type("abc");
         DriverControl modifier = Shown(w, "Key code");
         modifier.Choose("Ctrl");
         w.ControlNumber(modifier.Number() + 1).Choose("s");
         Shown(w, "Append").Press();
         Shown(w, "Value").Choose("TODAY");
         Shown(w, "A&ppend").Press();
       },
       [](const SCRIPTING_RECORD& s) { EXPECT_EQ(s.Keystrokes.str(), "abc[Ctrl-s][TODAY]"); }},
      {"Set Focus",
       [](TestDriver& ui, const DriverWindow& w) {
         Shown(w, "Focus on window").Choose("Untitled - Editor");
         Shown(w, "Advanced").Press();
         DriverWindow picker = ui.WaitWindow("Advanced Settings");
         picker.Control("Window must contain this text").Choose("Hello world");
         picker.Control("Close").Press();
         ui.WaitClosed(picker);
         EXPECT_EQ(Shown(w, "Containing: Hello world").Kind(), ControlType::String);
       },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.FocusOnWindow.str(), "Untitled - Editor");
         EXPECT_EQ(s.WaitForWindow.str(), "Hello world");
       }},
      {"Wait",
       [](TestDriver&, const DriverWindow& w) {
         DriverControl mode = Shown(w, "Wait for");
         EXPECT_TRUE(mode.Disabled());  // without both seconds and a window it does not matter
         Shown(w, "Wait seconds").Type("10");
         Shown(w, "Wait for window").Type("*Calc");
         EXPECT_FALSE(mode.Disabled());
         EXPECT_EQ(mode.Choice(), 2);  // "Both" when it comes into use
         mode.Choose("Either");
       },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.SecondsToWait, 10);
         EXPECT_EQ(s.WaitForWindow.str(), "*Calc");
         EXPECT_EQ(s.DDEApplicationName.str(), "Either");
       }},
      {"Display Message",
       [](TestDriver&, const DriverWindow& w) {
         Shown(w, "Title").Type("Hi");
         Shown(w, "Message").Type("Hello there");
         Shown(w, "Use a message box").Tick();
         Shown(w, "Buttons").Type("&Yes|&No");
       },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.DDEApplicationName.str(), "Hello there");
         EXPECT_EQ(s.DDEApplicationTopic.str(), "Hi");
         EXPECT_EQ(s.SecondsToWait, 1);
         EXPECT_EQ(s.FocusOnWindow.str(), "&Yes|&No");
       }},
      {"If Window...",
       [](TestDriver&, const DriverWindow& w) {
         Shown(w, "Does not exist").Press();
         Shown(w, "Window").Choose("Calculator");
       },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.WindowExistance.str(), "Does not exist");
         EXPECT_EQ(s.WindowTitleToCheckFor.str(), "Calculator");
       }},
      {"If Time Elapsed...",
       [](TestDriver&, const DriverWindow& w) {
         EXPECT_EQ(Shown(w, "Seconds").Value().find_first_not_of(' '), 4u);  // "    86400"
         EXPECT_EQ(Shown(w, "Seconds").Value().substr(4), "86400");
         Shown(w, "Seconds").Type("60");
         Shown(w, "Less than").Press();
       },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.IfTimeElapsed.str(), "Less than");
         EXPECT_EQ(s.TimeElapsed, 60);
       }},
      {"If Value...",
       [](TestDriver& ui, const DriverWindow& w) {
         EXPECT_EQ(Shown(w, "Value name").Value(), "FILEEXISTS");
         EXPECT_EQ(Shown(w, "Compare to").Value(), "1");
         ui.AnswerPopup(3);  // the value names: "NOW"
         Shown(w, "...").Press();
         Shown(w, "Comparison").Choose("<>");
         Shown(w, "Compare to").Type("0");
       },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.Command.str(), "NOW");
         EXPECT_EQ(s.WindowTitleToCheckFor.str(), "<>");
         EXPECT_EQ(s.WaitForWindow.str(), "0");
       }},
      {"...End If", [](TestDriver&, const DriverWindow&) {}, [](const SCRIPTING_RECORD&) {}},
      {"Start Program",
       [](TestDriver& ui, const DriverWindow& w) {
         Shown(w, "Command").Type("run.exe");
         Shown(w, "Start in").Type("/tmp");
         Shown(w, "Advanced").Press();
         DriverWindow options = ui.WaitWindow("Advanced...");
         options.Control("Only after program is finished (\"Wait for program end\").").Tick();
         options.Control("Stop waiting after").Type("30");
         options.Control("Priority").Choose("High");
         options.Control("OK").Press();
         ui.WaitClosed(options);
       },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.Command.str(), "run.exe");
         EXPECT_EQ(s.Path.str(), "/tmp");
         EXPECT_EQ(s.DDEApplicationName.str(), "131");  // the window mode stays normal
         EXPECT_EQ(s.TimeElapsed, 30);
         EXPECT_EQ(s.DDEApplicationTopic.str(), "Open");
       }},
      {"Close Program",
       [](TestDriver&, const DriverWindow& w) { Shown(w, "Executable").Type("x.exe"); },
       [](const SCRIPTING_RECORD& s) { EXPECT_EQ(s.Command.str(), "x.exe"); }},
      {"Start Script",
       [](TestDriver& ui, const DriverWindow& w) {
         EXPECT_EQ(Shown(w, "Type").Value(), "Insert (Execute and continue)");
         ui.AnswerFile("/scripts/next.vxs");
         Shown(w, "...").Press();
         Shown(w, "Type").Choose("Jump to (Execute and skip)");
       },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.Command.str(), "/scripts/next.vxs");
         EXPECT_EQ(s.Path.str(), "Jump to (Execute and skip)");
       }},
      {"DDE",
       [](TestDriver&, const DriverWindow& w) {
         Shown(w, "Application name").Type("Progman");
         Shown(w, "Application topic").Type("Progman");
         Shown(w, "Command").Type("[ShowGroup(1)]");
       },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.DDEApplicationName.str(), "Progman");
         EXPECT_EQ(s.DDEApplicationTopic.str(), "Progman");
         EXPECT_EQ(s.DDECommand.str(), "[ShowGroup(1)]");
       }},
      {"File Actions",
       [](TestDriver&, const DriverWindow& w) {
         EXPECT_EQ(Shown(w, "File Action").Value(), "Copy");
         EXPECT_NO_THROW(Shown(w, "From"));
         EXPECT_THROW(Shown(w, "FTP Host"), std::logic_error);  // only for the FTP actions
         Shown(w, "File Action").Choose("FTP Upload");
         Shown(w, "Local file").Type("a.txt");
         Shown(w, "Upload to").Type("/in/a.txt");
         Shown(w, "FTP Host").Type("ftp.example.org");
         Shown(w, "User Name").Type("bob");
         Shown(w, "Password").Type(std::string(130, 'p'));
       },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.DDEType.str(), "FTP Upload");
         EXPECT_EQ(s.Command.str(), "a.txt");
         EXPECT_EQ(s.Path.str(), "/in/a.txt");
         EXPECT_EQ(s.DDEApplicationName.str(), "ftp.example.org");
         const std::string topic(s.DDEApplicationTopic.view());
         EXPECT_EQ(ClipView(topic.substr(0, 128)), "bob");
         EXPECT_EQ(ClipView(topic.substr(128)),
                   std::string(127, 'p'));  // the password is cut to 127
       }},
      {"Send Email",
       [](TestDriver& ui, const DriverWindow& w) {
         // A message written here is the step's until another is picked from the list.
         Shown(w, "New Message").Press();
         DriverWindow form = ui.WaitWindow("New E-mail Message");
         form.Control("*To:").Type("dora@to.test");
         form.Control("*Subject:").Type("Made here");
         form.Control("&OK").Press();
         ui.WaitClosed(form);
         EXPECT_EQ(Shown(w, "Send to").Value(), "dora@to.test");
         Shown(w, "Select Message").Press();
         DriverWindow list = ui.WaitWindow("E-mail Messages");
         DriverControl rows = list.Control("E-mail ID");
         for (int n = 1; rows.Kind() != ControlType::List; ++n) rows = list.ControlNumber(n);
         ASSERT_EQ(rows.Rows(), 2U);
         rows.ChooseRow(1);
         list.Control("&Select").Press();
         ui.WaitClosed(list);
         EXPECT_EQ(Shown(w, "Send to").Value(), "bob@to.test");
         EXPECT_EQ(Shown(w, "Subject").Value(), "Weekly report");
       },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.EmailID, 7);
         EXPECT_EQ(s.WindowTitleToCheckFor.str(), "Weekly report - bob@to.test");
       }},
      {"Set Value",
       [](TestDriver&, const DriverWindow& w) {
         Shown(w, "Value name").Type("[Dir]");
         Shown(w, "Value").Type("C:\\Data");
       },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.Path.str(), "[Dir]");
         EXPECT_EQ(s.Command.str(), "C:\\Data");
       }},
      {"Exit Script",
       [](TestDriver&, const DriverWindow& w) {
         EXPECT_EQ(Shown(w, "No information is required for this action.").Kind(),
                   ControlType::String);
       },
       [](const SCRIPTING_RECORD&) {}},
  };
  std::int32_t expected_sequence = 1;
  for (const ActionCase& c : cases) {
    SCOPED_TRACE(c.action);
    TestDriver ui;
    DriverWindow w = Open(ui, InsertRecord, SCRIPTING_RECORD{}, "New Script Action");
    EXPECT_EQ(w.Control("Action").Value(), "Send Keys");  // a new step starts as keys
    w.Control("Action").Choose(c.action);
    const std::string help = ScriptActionHelp(c.action);
    EXPECT_TRUE(ShowsText(w, ClipView(help)));
    c.fill(ui, w);
    w.Control("OK").Press();
    ui.Finish();
    EXPECT_EQ(response_, RequestCompleted);
    const std::vector<SCRIPTING_RECORD> stored = Stored();
    ASSERT_EQ(stored.size(), static_cast<std::size_t>(expected_sequence));
    const SCRIPTING_RECORD& s = stored.back();
    EXPECT_EQ(s.Action.str(), c.action);
    EXPECT_EQ(s.ID, kTask);
    EXPECT_EQ(s.Sequence, expected_sequence);  // numbered after the task's last step
    EXPECT_EQ(s.OriginalID, kTask);
    EXPECT_EQ(s.LastChangeDate, TODAY());
    c.check(s);
    ++expected_sequence;
  }
  EXPECT_TRUE(reporter_.shown.empty());
}

SCRIPTING_RECORD Row(std::int32_t sequence, std::string_view action,
                     const std::function<void(SCRIPTING_RECORD&)>& fill = {}) {
  SCRIPTING_RECORD s;
  s.ID = kTask;
  s.Sequence = sequence;
  s.Action = action;
  if (fill) fill(s);
  return s;
}

TEST_F(UpdateScriptingTest, AStepIsChangedViewedAndDeleted) {
  Put(Row(1, "Wait", [](auto& s) {
    s.SecondsToWait = 5;
    s.WaitForWindow = "Calculator";
    s.DDEApplicationName = "AND";
  }));
  Put(Row(2, "Send Keystrokes", [](auto& s) { s.Keystrokes = "abc"; }));

  // Change: a wait stored with "AND" opens with "Both".
  {
    TestDriver ui;
    DriverWindow w = Open(ui, ChangeRecord, Stored()[0], "Edit Script Action");
    EXPECT_EQ(Shown(w, "Wait for").Choice(), 2);
    Shown(w, "Wait seconds").Type("0");  // no seconds: the mode no longer matters
    EXPECT_TRUE(Shown(w, "Wait for").Disabled());
    w.Control("OK").Press();
    ui.Finish();
  }
  std::vector<SCRIPTING_RECORD> stored = Stored();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0].SecondsToWait, 0);
  EXPECT_EQ(stored[0].WaitForWindow.str(), "Calculator");
  EXPECT_EQ(stored[0].DDEApplicationName.str(), "");

  // View: the old name of the keys action opens as "Send Keys"; nothing can be changed.
  {
    TestDriver ui;
    DriverWindow w = Open(ui, ViewRecord, stored[1], "View Script Action");
    EXPECT_EQ(w.Control("Action").Value(), "Send Keys");
    EXPECT_TRUE(w.Control("Action").Disabled());
    EXPECT_TRUE(Shown(w, "Key(s) to press").Disabled());
    EXPECT_TRUE(Shown(w, "Append").Disabled());
    EXPECT_TRUE(w.Control("OK").Hidden());
    Shown(w, "Cl&ose").Press();
    ui.Finish();
    EXPECT_EQ(response_, RequestCancelled);
  }
  EXPECT_EQ(Stored()[1].Action.str(), "Send Keystrokes");  // viewing stores nothing

  // Delete: the form shows the step; OK deletes it after the question.
  {
    TestDriver ui;
    DriverWindow w = Open(ui, DeleteRecord, Stored()[1], "Delete Script Action");
    EXPECT_TRUE(Shown(w, "Key(s) to press").Disabled());
    w.Control("OK").Press();
    ui.Finish();
    EXPECT_EQ(response_, RequestCompleted);
  }
  stored = Stored();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].Action.str(), "Wait");
}

TEST_F(UpdateScriptingTest, StoredWordingOpensAsTheFormShowsIt) {
  struct Case {
    SCRIPTING_RECORD row;
    std::function<void(const DriverWindow&)> check;
    std::function<void(const SCRIPTING_RECORD&)> saved;
  };
  const std::vector<Case> cases = {
      {Row(1, "Wait",
           [](auto& s) {
             s.SecondsToWait = 5;
             s.WaitForWindow = "x";
             s.DDEApplicationName = "or";
           }),
       [](const DriverWindow& w) { EXPECT_EQ(Shown(w, "Wait for").Choice(), 1); },
       [](const SCRIPTING_RECORD& s) { EXPECT_EQ(s.DDEApplicationName.str(), "Either"); }},
      // A message longer than the form's 80 characters is cut when it is opened and saved.
      {Row(1, "Display Message", [](auto& s) { s.DDEApplicationName = std::string(100, 'm'); }),
       [](const DriverWindow& w) { EXPECT_EQ(Shown(w, "Message").Value(), std::string(80, 'm')); },
       [](const SCRIPTING_RECORD& s) {
         EXPECT_EQ(s.DDEApplicationName.str(), std::string(80, 'm'));
       }},
      // "Exit Script" has the page without fields and is saved as it was.
      {Row(1, "Exit Script"),
       [](const DriverWindow& w) {
         EXPECT_EQ(Shown(w, "No information is required for this action.").Kind(),
                   ControlType::String);
       },
       [](const SCRIPTING_RECORD& s) { EXPECT_EQ(s.Action.str(), "Exit Script"); }},
      // An action the list does not offer reads "Other" and keeps its name.
      {Row(1, "Dance"),
       [](const DriverWindow& w) { EXPECT_EQ(w.Control("Action").Value(), "Other"); },
       [](const SCRIPTING_RECORD& s) { EXPECT_EQ(s.Action.str(), "Dance"); }},
      // A file action the list does not know reads "Copy".
      {Row(1, "File Actions",
           [](auto& s) {
             s.DDEType = "Shred";
             s.Command = "a.txt";
           }),
       [](const DriverWindow& w) { EXPECT_EQ(Shown(w, "File Action").Value(), "Copy"); },
       [](const SCRIPTING_RECORD& s) { EXPECT_EQ(s.DDEType.str(), "Copy"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row.Action.str());
    Put(c.row);
    {
      TestDriver ui;
      DriverWindow w = Open(ui, ChangeRecord, c.row, "Edit Script Action");
      c.check(w);
      w.Control("OK").Press();
      for (const SeenRequest& m : ui.Messages()) ADD_FAILURE() << m.caption << ": " << m.text;
      ui.Finish();
    }
    const std::vector<SCRIPTING_RECORD> stored = Stored();
    ASSERT_EQ(stored.size(), 1u);
    c.saved(stored[0]);
    ASSERT_EQ(ACCESS_SCRIPTING->Open(), 0);
    SCR = stored[0];
    ASSERT_EQ(ACCESS_SCRIPTING->file().Get(SCR_KEYID), 0);
    ASSERT_EQ(ACCESS_SCRIPTING->file().Delete(), 0);
    ACCESS_SCRIPTING->Close();
  }
  EXPECT_TRUE(reporter_.shown.empty());
}

TEST_F(UpdateScriptingTest, AMailStepShowsWhoItsMessageGoesToAndItsSubject) {
  ASSERT_EQ(ACCESS_MESSAGES->Open(), 0);
  M_ = MESSAGES_RECORD{};
  M_.EmailID = 7;
  M_.EmailTo = "ada@example.org";
  M_.Subject = "Backup done";
  ASSERT_EQ(ACCESS_MESSAGES->Insert(), 0);
  ACCESS_MESSAGES->Close();
  Put(Row(1, "Send Email", [](auto& s) { s.EmailID = 7; }));
  TestDriver ui;
  DriverWindow w = Open(ui, ChangeRecord, Stored()[0], "Edit Script Action");
  EXPECT_EQ(Shown(w, "Send to").Value(), "ada@example.org");
  EXPECT_EQ(Shown(w, "Subject").Value(), "Backup done");
  w.Control("OK").Press();
  ui.Finish();
  EXPECT_EQ(Stored()[0].EmailID, 7);
}

TEST_F(UpdateScriptingTest, AStepWithoutATaskIsReportedAndAnOtherStepWithoutANameRefused) {
  TestDriver ui;
  ui.Start([this] {
    SCH.ID = 0;
    SCR = SCRIPTING_RECORD{};
    SetCurrentRequest(InsertRecord);
    UpdateScripting();
    response_ = CurrentResponse();
  });
  const SeenRequest box = ui.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.caption, "Internal Error");
  EXPECT_EQ(box.text, "Unable to attach script to scheduled item.  Schedule ID is 0.");
  DriverWindow w = ui.WaitWindow("New Script Action");
  w.Control("Cancel").Press();
  ui.Finish();

  Put(Row(1, "Other"));
  TestDriver again;
  DriverWindow form = Open(again, ChangeRecord, Stored()[0], "Edit Script Action");
  form.Control("OK").Press();
  const SeenRequest refused = again.WaitMessage(BUTTON_OK);
  EXPECT_EQ(refused.caption, "Error");
  EXPECT_EQ(refused.text, "\"Other\" script item not recorded correctly.  Re-enter.");
  EXPECT_TRUE(form.Open());
  form.Control("Cancel").Press();
  again.Finish();
}

TEST_F(UpdateScriptingTest, AMissingRequiredFieldKeepsTheFormOpen) {
  TestDriver ui;
  DriverWindow w = Open(ui, InsertRecord, SCRIPTING_RECORD{}, "New Script Action");
  w.Control("OK").Press();  // keys to press are missing
  const SeenRequest box = ui.WaitMessage(BUTTON_OK);
  EXPECT_EQ(box.caption, "Missing Information");
  EXPECT_NE(box.text.find("must be entered."), std::string::npos);
  // The fields of the other pages are not asked for.
  w.Control("Action").Choose("...End If");
  w.Control("OK").Press();
  ui.Finish();
  EXPECT_EQ(Stored().size(), 1u);
}

TEST_F(UpdateScriptingTest, TheWindowListsFollowTheDesktopAndThePickerItsWindowsTexts) {
  TestDriver ui;
  DriverWindow w = Open(ui, InsertRecord, SCRIPTING_RECORD{}, "New Script Action");
  w.Control("Action").Choose("If Window...");
  DriverControl title = Shown(w, "Window");
  EXPECT_EQ(title.Get(Prop::From), "Untitled - Editor|Calculator");
  // A window opened since is offered once the form comes forward again.
  desktop_.Add(300, "Save As");
  w.Post(EVENT_GainFocus);
  EXPECT_EQ(title.Get(Prop::From), "Untitled - Editor|Calculator|Save As");
  // The contents picker offers the texts inside the window the title names.
  title.Type("untitled*");
  Shown(w, "Advanced").Press();
  DriverWindow picker = ui.WaitWindow("Advanced Settings");
  DriverControl contents = picker.Control("Window must contain this text");
  EXPECT_EQ(contents.Get(Prop::From), "Hello world|OK");
  contents.Type("Hello");
  picker.Control("Close").Press();
  ui.WaitClosed(picker);
  EXPECT_EQ(Shown(w, "Containing: Hello").Kind(), ControlType::String);
  // A title that names no open window offers no texts.
  title.Type("Nowhere");
  Shown(w, "Advanced").Press();
  picker = ui.WaitWindow("Advanced Settings");
  EXPECT_EQ(picker.Control("Window must contain this text").Get(Prop::From), "");
  picker.Control("Close").Press();
  ui.WaitClosed(picker);
  w.Control("OK").Press();
  ui.Finish();
  const std::vector<SCRIPTING_RECORD> stored = Stored();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].WindowTitleToCheckFor.str(), "Nowhere");
  EXPECT_EQ(stored[0].FocusOnWindow.str(), "Hello");
}

TEST_F(UpdateScriptingTest, TheStartOptionsOpenWithTheirDefaultsAndFollowTheWaitBox) {
  TestDriver ui;
  SCRIPTING_RECORD after;
  ui.Start([&after] {
    SCR = Row(1, "Start Program");
    UpdateScripting_StartProgram_Advanced();
    after = SCR;
  });
  DriverWindow w = ui.WaitWindow("Advanced...");
  EXPECT_EQ(w.Control("Window").Value(), "Start and give focus");
  EXPECT_EQ(w.Control("Priority").Value(), "Normal");
  EXPECT_EQ(w.Control("Start type").Value(), "Open");
  DriverControl waits = w.Control("Only after program is finished (\"Wait for program end\").");
  EXPECT_EQ(waits.Value(), "0");
  EXPECT_EQ(w.Control("Translate command").Value(), "0");
  EXPECT_TRUE(w.Control("Stop waiting after").Disabled());
  EXPECT_FALSE(w.Control("Start type").Disabled());
  waits.Tick();
  EXPECT_FALSE(w.Control("Stop waiting after").Disabled());
  EXPECT_TRUE(w.Control("Start type").Disabled());
  waits.Tick(false);
  EXPECT_TRUE(w.Control("Stop waiting after").Disabled());
  w.Control("OK").Press();
  ui.Finish();
  EXPECT_EQ(std::string(after.DDEApplicationName.view().substr(0, 3)), " 21");
  EXPECT_EQ(after.DDEApplicationTopic.str(), "Open");
}

TEST_F(UpdateScriptingTest, InTheTemplateListTheStartOptionsEditTheTemplateStep) {
  TestDriver ui;
  SCRIPTTEMPLATEDETAILS_RECORD after;
  ui.Start([&after] {
    GLO_SCRIPTWIZARDMODE = 1;
    SCR = Row(1, "Start Program", [](auto& s) { s.DDEApplicationName = "1111"; });
    VXD = SCRIPTTEMPLATEDETAILS_RECORD{};
    VXD.Action = "Start Program";
    VXD.DDEApplicationName = " 321";
    VXD.DDEApplicationTopic = "Print";
    VXD.TimeElapsed = 9;
    UpdateScripting_StartProgram_Advanced();
    after = VXD;
  });
  DriverWindow w = ui.WaitWindow("Advanced...");
  EXPECT_EQ(w.Control("Priority").Value(), "High");
  // The stored window mode is shown, greyed with the reason (X11 has no way to pass it on),
  // and kept.
  EXPECT_EQ(w.Control("Window").Value(), "Start minimized with focus");
  EXPECT_TRUE(w.Control("Window").Disabled());
  EXPECT_EQ(w.Control("Window").Get(Prop::Tip),
            "On Linux a started program cannot be told to start minimised or maximised: the mode "
            "is kept with the step and only logged.");
  EXPECT_EQ(w.Control("Start type").Value(), "Print");
  EXPECT_EQ(w.Control("Translate command").Value(), "1");
  w.Control("Priority").Choose("Low");
  w.Control("OK").Press();
  ui.Finish();
  EXPECT_EQ(after.DDEApplicationName.str(), " 121");
  EXPECT_EQ(after.DDEApplicationTopic.str(), "Print");
  EXPECT_EQ(after.TimeElapsed, 9);
}

}  // namespace
}  // namespace vx
