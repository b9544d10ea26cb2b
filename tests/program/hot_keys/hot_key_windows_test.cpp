// The hot-key windows on real tables: the key text split and composed, the editor's pages and
// what it stores, the list and its deletion of a hot key's own task, and Main taking a new key
// at once (and naming one the desktop refuses) through the fake desktop.
#include "program/hot_keys/hot_key_windows.h"
#include "program/common/program_services.h"

#include <gtest/gtest.h>
#include <optional>

#include <functional>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/colour_tab_class.h"
#include "framework/request_globals.h"
#include "program/common/main_procedures.h"
#include "program/common/program_registry.h"
#include "program/shell/main_frame.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "tests/datadll/fake_hot_key_grabber.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

TEST(HotKeyTextTest, SplitsModifierWordsOffTheKeyName) {
  struct Case {
    std::string_view text;
    bool win, ctrl, alt, shift;
    std::string_view key;
  };
  const Case cases[] = {
      {"F12", false, false, false, false, "F12"},  // no modifier word: the whole text is the key
      {"PGDN", false, false, false, false, "PGDN"},
      {"SPACE", false, false, false, false, "SPACE"},
      {"CtrlShift", false, true, false, true, ""},  // the new record's default
      {"Alt-X", false, false, true, false, "X"},
      {"Win-X", true, false, false, false, "X"},
      {"Shift-X", false, false, false, true, "X"},
      {"Win-Ctrl-Alt-Shift-A", true, true, true, true, "A"},
      {"CtrlShiftA", false, true, false, true, "A"},
      {"Ctrl-Alt-F5", false, true, true, false, "F5"},
  };
  for (const Case& c : cases) {
    const HotKeyParts parts = SplitHotKeyText(c.text);
    EXPECT_EQ(parts.win, c.win) << c.text;
    EXPECT_EQ(parts.ctrl, c.ctrl) << c.text;
    EXPECT_EQ(parts.alt, c.alt) << c.text;
    EXPECT_EQ(parts.shift, c.shift) << c.text;
    EXPECT_EQ(parts.key, c.key) << c.text;
  }
  EXPECT_EQ(ComposeHotKeyText({true, true, true, true, "A"}), "Win-Ctrl-Alt-Shift-A");
  EXPECT_EQ(ComposeHotKeyText({false, true, false, true, "F12"}), "Ctrl-Shift-F12");
  EXPECT_EQ(ComposeHotKeyText({false, false, false, false, "PGDN"}), "PGDN");
  EXPECT_EQ(HotKeyNames().front(), "A");
  EXPECT_EQ(HotKeyNames().back(), "UP");
}

struct StoredKey {
  std::string key, action, description, quick, type, text;
  std::int32_t id = 0;
  int active = 0;
};

class HotKeyWindowsTest : public test::WindowTest {
 protected:
  static void AddKey(std::string_view key, std::string_view action, std::int32_t id,
                     std::string_view description) {
    ASSERT_EQ(ACCESS_SYSHOTKEYS->Open(), 0);
    HOT = SYSHOTKEYS_RECORD{};
    HOT.HotKey = key;
    HOT.Action = action;
    HOT.ID = id;
    HOT.Active = 1;
    HOT.Description = description;
    HOT.QuickText = description;
    HOT.TextType = "Type";
    ASSERT_EQ(ACCESS_SYSHOTKEYS->Insert(), 0);
    ACCESS_SYSHOTKEYS->Close();
  }
  static void AddTask(std::int32_t id, std::string_view category, std::int32_t date) {
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0);
    SCH = SCHEDULE_RECORD{};
    SCH.ID = id;
    SCH.Category = category;
    SCH.Description = "Task " + std::to_string(id);
    SCH.Date = date;
    SCH.TaskType = "Hot Key";
    ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
    ACCESS_SCHEDULE->Close();
  }
  static bool TaskExists(std::int32_t id) {
    EXPECT_EQ(ACCESS_SCHEDULE->Open(), 0);
    SCH = SCHEDULE_RECORD{};
    SCH.ID = id;
    const bool found = ACCESS_SCHEDULE->TryFetch(SCH_KEYID) == 0;
    ACCESS_SCHEDULE->Close();
    return found;
  }
  static std::vector<StoredKey> Stored() {
    std::vector<StoredKey> out;
    EXPECT_EQ(ACCESS_SYSHOTKEYS->Open(), 0);
    ACCESS_SYSHOTKEYS->Set(HOT_K_HOTKEY);
    while (ACCESS_SYSHOTKEYS->TryNext() == 0) {
      out.push_back({HOT.HotKey.str(), HOT.Action.str(), HOT.Description.str(), HOT.QuickText.str(),
                     HOT.TextType.str(), HOT.Text.str(), HOT.ID, HOT.Active});
    }
    ACCESS_SYSHOTKEYS->Close();
    return out;
  }
  DriverWindow StartBrowse() {
    ui_.Start([] { BrowseHotKeys(); });
    return ui_.WaitWindow("Hot Keys");
  }
};

TEST_F(HotKeyWindowsTest, ANewTextHotKeyIsComposedPageByPageAndStored) {
  DriverWindow w = StartBrowse();
  w.Control("&New").Press();
  DriverWindow form = ui_.WaitWindow("New Hot Key");
  // The table's default key "CtrlShift": Control and Shift set, no key chosen yet.
  EXPECT_EQ(form.Control("Control").Value(), "1");
  EXPECT_EQ(form.Control("Shift").Value(), "1");
  EXPECT_EQ(form.Control("Alt").Value(), "0");
  EXPECT_TRUE(form.Control("&Back").Disabled());

  // OK without a key names what is missing and stores nothing.
  form.Control("&OK").Press();
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text, "Choose the key of the hot key.");

  form.Control("Shift").Tick(false);
  form.Control("Alt").Tick();
  form.Control("&Key:").Choose("F5");
  EXPECT_EQ(form.Control("Combination:").Value(), "Ctrl-Alt-F5");
  form.Control("&Next").Press();
  EXPECT_EQ(form.ControlNumber(1).Choice(), 2);
  form.Control("Text or Task").Choose("&Text - Automatically type text or copy to clipboard");
  form.Control("&Next").Press();
  EXPECT_EQ(form.ControlNumber(1).Choice(), 3);
  EXPECT_TRUE(form.Control("&Next").Disabled()) << "the text page is the last";
  form.Control("Enter the text you wish to have typed/copied:").Type("Kind regards");
  form.Control("Type or use clipboard").Choose("Copy to clipboard");
  form.Control("&OK").Press();
  ui_.WaitClosed(form);

  const std::vector<StoredKey> keys = Stored();
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].key, "Ctrl-Alt-F5");
  EXPECT_EQ(keys[0].action, "Text");
  EXPECT_EQ(keys[0].description, "Ctrl-Alt-F5") << "an empty description takes the key";
  EXPECT_EQ(keys[0].quick, "Ctrl-Alt-F5: Kind regards");
  EXPECT_EQ(keys[0].type, "Copy");
  EXPECT_EQ(keys[0].text, "Kind regards");
  EXPECT_EQ(keys[0].active, 1);
  DriverControl list = w.ControlNumber(4);
  ASSERT_EQ(list.Rows(), 1u);
  EXPECT_EQ(list.Cell(1, 1), "Ctrl-Alt-F5");
  EXPECT_EQ(list.Cell(1, 3), "Ctrl-Alt-F5: Kind regards");

  // Editing a key stored without modifiers opens with no box set and the whole key name.
  w.Close();
  ui_.Finish();
}

// OK on the text page without a key goes back to the key's page, which pages on from there: Back
// greyed, Next the way to the text again, where what was typed is still there.
TEST_F(HotKeyWindowsTest, OkWithoutAKeyOnTheLastPageGoesBackToAKeyPageThatPagesOn) {
  DriverWindow w = StartBrowse();
  w.Control("&New").Press();
  DriverWindow form = ui_.WaitWindow("New Hot Key");
  form.Control("&Next").Press();
  form.Control("&Next").Press();
  ASSERT_EQ(form.ControlNumber(1).Choice(), 3);
  form.Control("Enter the text you wish to have typed/copied:").Type("Kind regards");
  ui_.AnswerMessage(BUTTON_OK);
  form.Control("&OK").Press();
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].text, "Choose the key of the hot key.");
  EXPECT_EQ(form.ControlNumber(1).Choice(), 1);
  EXPECT_TRUE(form.Control("&Back").Disabled()) << "the key's page is the first";
  EXPECT_FALSE(form.Control("&Next").Disabled());

  form.Control("&Key:").Choose("F5");
  form.Control("&Next").Press();
  EXPECT_EQ(form.ControlNumber(1).Choice(), 2);
  form.Control("&Next").Press();
  EXPECT_EQ(form.ControlNumber(1).Choice(), 3);
  EXPECT_EQ(form.Control("Enter the text you wish to have typed/copied:").Value(), "Kind regards");
  form.Control("&OK").Press();
  ui_.WaitClosed(form);
  const std::vector<StoredKey> keys = Stored();
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].key, "Ctrl-Shift-F5");
  EXPECT_EQ(keys[0].text, "Kind regards");
  w.Close();
  ui_.Finish();
}

// Ctrl+' (key code 734) on a field of the editor puts back that field from the hot key saved
// last; the modifier boxes and the key list put back the whole composed key.
TEST_F(HotKeyWindowsTest, TheHistoryKeyPutsBackAFieldOfTheHotKeySavedLast) {
  constexpr int kHistoryKey = 734;
  DriverWindow w = StartBrowse();
  w.Control("&New").Press();
  DriverWindow first = ui_.WaitWindow("New Hot Key");
  first.Control("Shift").Tick(false);
  first.Control("Alt").Tick();
  first.Control("&Key:").Choose("F5");
  first.Control("&Next").Press();
  first.Control("Enter a description for this hot key (optional):").Type("Greeting");
  first.Control("&Next").Press();
  first.Control("Enter the text you wish to have typed/copied:").Type("Kind regards");
  first.Control("Type or use clipboard").Choose("Copy to clipboard");
  first.Control("&OK").Press();
  ui_.WaitClosed(first);

  w.Control("&New").Press();
  DriverWindow form = ui_.WaitWindow("New Hot Key");
  form.Control("&Active").Tick(false);
  form.Control("&Active").PressKey(kHistoryKey);
  EXPECT_EQ(form.Control("&Active").Value(), "1");
  form.Control("&Key:").PressKey(kHistoryKey);
  EXPECT_EQ(form.Control("Combination:").Value(), "Ctrl-Alt-F5");
  EXPECT_EQ(form.Control("&Key:").Value(), "F5");
  EXPECT_EQ(form.Control("Alt").Value(), "1");
  EXPECT_EQ(form.Control("Shift").Value(), "0");
  form.Control("&Next").Press();
  DriverControl description = form.Control("Enter a description for this hot key (optional):");
  EXPECT_EQ(description.Value(), "");
  description.PressKey(kHistoryKey);
  EXPECT_EQ(description.Value(), "Greeting");
  form.Control("&Next").Press();
  DriverControl text = form.Control("Enter the text you wish to have typed/copied:");
  text.PressKey(kHistoryKey);
  EXPECT_EQ(text.Value(), "Kind regards");
  form.Control("Type or use clipboard").PressKey(kHistoryKey);
  EXPECT_EQ(form.Control("Type or use clipboard").Choice(), 2) << "Copy to clipboard";

  // A change keeps only what was put back: the other key is stored apart from the first.
  form.Control("&Back").Press();
  description.Type("Regards again");
  form.Control("&Back").Press();
  form.Control("&Key:").Choose("F6");
  form.Control("&OK").Press();
  ui_.WaitClosed(form);
  const std::vector<StoredKey> keys = Stored();
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[1].key, "Ctrl-Alt-F6");
  EXPECT_EQ(keys[1].description, "Regards again");
  EXPECT_EQ(keys[1].text, "Kind regards");
  EXPECT_EQ(keys[1].type, "Copy");
  w.Close();
  ui_.Finish();
}

TEST_F(HotKeyWindowsTest, AKeyWithoutModifierWordsOpensAsItsKeyName) {
  AddKey("F12", "Text", 0, "Plain");
  DriverWindow w = StartBrowse();
  w.Control("&Edit").Press();
  DriverWindow form = ui_.WaitWindow("Edit Hot Key");
  for (const char* box : {"Control", "Alt", "Shift", "Win"})
    EXPECT_EQ(form.Control(box).Value(), "0") << box;
  EXPECT_EQ(form.Control("&Key:").Value(), "F12");
  form.Control("&OK").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(Stored().at(0).key, "F12");
  w.Close();
  ui_.Finish();
}

TEST_F(HotKeyWindowsTest, AKeyThatIsStoredAlreadyIsRefusedAndTheFormStaysOpen) {
  AddKey("Ctrl-Alt-F5", "Text", 0, "first");
  DriverWindow w = StartBrowse();
  w.Control("&New").Press();
  DriverWindow form = ui_.WaitWindow("New Hot Key");
  form.Control("Shift").Tick(false);
  form.Control("Alt").Tick();
  form.Control("&Key:").Choose("F5");
  form.Control("&OK").Press();
  ui_.WaitUntil([&] { return !reporter_.shown.empty(); }, "the duplicate key to be reported");
  EXPECT_TRUE(form.Open());
  form.Control("Cancel").Press();
  ui_.WaitClosed(form);
  ASSERT_EQ(Stored().size(), 1u);
  EXPECT_EQ(Stored()[0].description, "first");
  w.Close();
  ui_.Finish();
}

TEST_F(HotKeyWindowsTest, DeletingAHotKeyTakesOnlyATaskMadeForIt) {
  AddTask(10, "Hot Key", 0);    // made by the hot key's wizard: goes with it
  AddTask(11, "Hot Key", 100);  // has a date: stays
  AddTask(12, "General", 0);    // another category: stays
  AddTask(13, "Hot Key", 0);    // linked from a "Text" key, which runs no task: stays
  AddKey("Ctrl-A", "Task", 10, "a");
  AddKey("Ctrl-B", "Task", 11, "b");
  AddKey("Ctrl-C", "Task", 12, "c");
  AddKey("Ctrl-D", "Text", 13, "d");
  DriverWindow w = StartBrowse();
  DriverControl list = w.ControlNumber(4);
  ASSERT_EQ(list.Rows(), 4u);

  // A cancelled deletion keeps the key and its task.
  list.ChooseRow(1);
  w.Control("&Delete").Press();
  DriverWindow form = ui_.WaitWindow("Update HotKeys");
  EXPECT_TRUE(form.Control("Control").Disabled());
  form.Control("Cancel").Press();
  ui_.WaitClosed(form);
  EXPECT_TRUE(TaskExists(10));

  for (int i = 0; i < 4; ++i) {
    list.ChooseRow(1);
    w.Control("&Delete").Press();
    DriverWindow remove = ui_.WaitWindow("Update HotKeys");
    ui_.AnswerMessage(BUTTON_YES);
    remove.Control("&OK").Press();
    ui_.WaitClosed(remove);
  }
  EXPECT_EQ(list.Rows(), 0u);
  EXPECT_FALSE(TaskExists(10));
  EXPECT_TRUE(TaskExists(11));
  EXPECT_TRUE(TaskExists(12));
  EXPECT_TRUE(TaskExists(13));
  w.Close();
  ui_.Finish();
}

TEST_F(HotKeyWindowsTest, TheDescriptionTabListsByDescription) {
  AddKey("Ctrl-A", "Text", 0, "zebra");
  AddKey("Ctrl-B", "Text", 0, "apple");
  DriverWindow w = StartBrowse();
  DriverControl list = w.ControlNumber(4);
  EXPECT_EQ(list.Cell(1, 1), "Ctrl-A");
  w.ControlNumber(1).Choose("Description");
  EXPECT_EQ(list.Cell(1, 1), "Ctrl-B");
  EXPECT_EQ(list.Cell(2, 1), "Ctrl-A");
  // A header click sorts by that column (the list extension); a tab change drops it again.
  list.ClickHeader(1);
  list.ClickHeader(1);
  EXPECT_EQ(list.Cell(1, 1), "Ctrl-B") << "the key column, reversed";
  w.ControlNumber(1).Choose("Hot Key");
  EXPECT_EQ(list.Cell(1, 1), "Ctrl-A");
  w.Close();
  ui_.Finish();
}

// The list window colours the sheet's tabs when the list opens and again at each tab change.
TEST_F(HotKeyWindowsTest, TheShownTabKeepsItsColourAndTheOtherIsGreyed) {
  DriverWindow w = StartBrowse();
  const std::string grey = std::to_string(kOtherTabColour);
  EXPECT_EQ(w.Control("Hot Key").Get(Prop::Color), "-1");
  EXPECT_EQ(w.Control("Description").Get(Prop::Color), grey);
  w.ControlNumber(1).Choose("Description");
  EXPECT_EQ(w.Control("Hot Key").Get(Prop::Color), grey);
  EXPECT_EQ(w.Control("Description").Get(Prop::Color), "-1");
  w.Close();
  ui_.Finish();
}

// Main with the fake desktop: the editor started from the Actions menu, the key held as soon as
// the editor closes, and its text typed when the key is pressed.
class HotKeyReloadTest : public test::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    services_.manual_timer = true;
    services_.hot_keys = [this] { return std::make_unique<test::FakeHotKeyGrabber>(grabs_); };
    services_.type_text = [this](std::string_view text, bool) { typed_.emplace_back(text); };
    installed_.emplace(&ProgramServices::main, &services_);
    ProgramRegistry().INIT(1);
    editor_ = MainProcedure("UpdateHotKeys");
    RegisterMainProcedure("UpdateHotKeys", UpdateHotKeys);
  }
  void TearDown() override {
    if (ui_.Running()) {
      RunWithRuntimeLock([] { MINIMIZEONCLOSEREQUEST = 0; });
      ui_.WaitWindow("Varnodex 2000").Pick({"&File", "E&xit"});
      ui_.Finish();
    }
    RegisterMainProcedure("UpdateHotKeys", editor_);  // what was registered before
    installed_.reset();
    ProgramRegistry().KILL();
    ShellTest::TearDown();
  }
  // Makes a text hot key Ctrl + `key` in the editor started from Main's menu.
  void MakeKey(DriverWindow& frame, std::string_view key, std::string_view text) {
    frame.Pick({"&Actions", "New &Hot Key"});
    DriverWindow form = ui_.WaitWindow("New Hot Key");
    form.Control("Shift").Tick(false);
    form.Control("&Key:").Choose(key);
    form.Control("&Next").Press();
    form.Control("&Next").Press();
    form.Control("Enter the text you wish to have typed/copied:").Type(text);
    form.Control("&OK").Press();
    ui_.WaitClosed(form);
  }
  bool Held(unsigned chord) const {
    for (const auto& [id, held] : grabs_.held) {
      if (held == chord) return true;
    }
    return false;
  }

  std::function<void()> editor_;
  MainServices services_;
  std::optional<ScopedProgramServices> installed_;
  test::GrabLog grabs_;
  std::vector<std::string> typed_;
  TestDriver ui_;
};

TEST_F(HotKeyReloadTest, AKeyMadeInTheEditorWorksAtOnceAndARefusedOneIsNamed) {
  ui_.Start([] { Main(); });
  DriverWindow frame = ui_.WaitWindow("Varnodex 2000");
  ui_.WaitUntil([&] { return grabs_.held.size() == 1; }, "Windows key + W to be held");

  MakeKey(frame, "K", "typed by a hot key");
  constexpr unsigned kCtrl = 2;
  const unsigned chord = kCtrl << 8 | 'K';
  ui_.WaitUntil([&] { return Held(chord); }, "Ctrl+K to be held without a restart");
  for (const auto& [id, held] : grabs_.held) {
    if (held == chord) grabs_.handler(id, kCtrl, 'K');
  }
  ui_.WaitUntil([&] { return typed_.size() == 1; }, "the text to be typed");
  EXPECT_EQ(typed_[0], "typed by a hot key");

  // A key another program holds is named when it is saved, not left silently dead.
  grabs_.refused.insert(kCtrl << 8 | 'J');
  MakeKey(frame, "J", "never");
  const SeenRequest refused = ui_.WaitMessage(BUTTON_OK);
  EXPECT_EQ(refused.caption, "Hot Keys");
  EXPECT_EQ(refused.text,
            "The hot key Ctrl-J cannot be used: another program holds it, or the keyboard has no "
            "such key.");
  EXPECT_TRUE(Held(chord)) << "the other keys stay held";
}

}  // namespace
}  // namespace vx
