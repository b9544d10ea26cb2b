// Enter, Esc, double clicks, hot letters and shortcuts as the window model turns them into
// presses, driven through the test driver as a user at the keyboard would.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/events.h"
#include "runtime/fixed_string.h"
#include "runtime/queue.h"
#include "runtime/threads.h"
#include "runtime/window/queue_list.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"

namespace vx {
namespace {

// How the test window is built.
struct Shape {
  bool default_ok = true;
  bool disable_ok = false;
  bool cancel = true;         // a "Cancel" button, set as the window's cancel button
  std::string close_caption;  // a button with this caption, not set as the cancel button
  bool frame = false;
  bool list_alerts_enter = false;
};

struct Row {
  String<10> name;
};

// A window with a name entry, notes, a list and buttons; what the program takes is logged.
class KeysWindow {
 public:
  explicit KeysWindow(Shape shape) : shape_(shape) {
    for (const char* name : {"alpha", "beta"}) {
      rows_.buffer.name = name;
      rows_.Add();
    }
  }

  void Run() {
    Window w("Keys");
    if (shape_.frame) w.Set(Prop::Frame, true);
    w.Prompt("&Name:");
    const int name = w.Entry(name_, "@s20");
    w.Prompt("Notes:");
    const int notes = w.Text(notes_);
    Control& list = w.List("40L(2)|M~Name~@s10@").From(&source_);
    if (shape_.list_alerts_enter) list.Alert(EnterKey);
    auto& menu = w.Menubar().Menu("&Edit");
    const int save = menu.Item("&Save").Key("Ctrl+S");
    Control& ok = w.Button("&OK");
    if (shape_.default_ok) ok.Default();
    if (shape_.disable_ok) ok.Disable();
    const int check = w.Check("&Loud", loud_);
    int cancel = 0, close = 0;
    if (shape_.cancel) {
      cancel = w.Button("Cancel");
      w.SetCancelButton(cancel);
    }
    if (!shape_.close_caption.empty()) close = w.Button(shape_.close_caption);
    while (w.Accept()) {
      const int control = FIELD();
      std::string seen;
      if (EVENT() == EVENT_Accepted) {
        if (control == name) seen = "name=" + name_.str();
        if (control == notes) seen = "notes";
        if (control == list) seen = "row " + std::to_string(list.Choice());
        if (control == ok) seen = "OK";
        if (control == cancel) seen = "Cancel";
        if (control == close) seen = "Close";
        if (control == save) seen = "Save";
        if (control == check) seen = "loud=" + std::to_string(loud_);
      }
      if (EVENT() == EVENT_AlertKey)
        seen = "alert " + std::to_string(KEYCODE()) + " on " + std::to_string(control);
      if (EVENT() == EVENT_CloseWindow) seen = "close";
      if (!seen.empty()) log.push_back(seen);
      // The buttons only say what they are; nothing closes the window but a close.
    }
  }

  std::vector<std::string> log;

 private:
  Shape shape_;
  String<20> name_;
  std::string notes_;
  int loud_ = 0;
  Queue<Row> rows_;
  QueueList<Row> source_{rows_,
                         [](const Row& r) { return std::vector<std::string>{r.name.str()}; }};
};

using Log = std::vector<std::string>;

struct KeyCase {
  const char* what;
  Shape shape;
  const char*
      focus;  // the control the key is pressed on: "Name", "Notes", "Name list" or "" (none)
  int key;
  Log expected;
};

TEST(DialogKeys, EnterPressesTheDefaultButtonAndEscTheCancelButtonOrCloses) {
  const std::vector<KeyCase> cases = {
      {"Enter in an entry", {}, "Name", EnterKey, {"OK"}},
      {"Enter with nothing focused", {}, "", EnterKey, {"OK"}},
      {"Enter in a text is its own new line", {}, "Notes", EnterKey, {}},
      {"Enter on a list that takes Enter itself",
       {.list_alerts_enter = true},
       "Name list",
       EnterKey,
       {"alert 13 on 5"}},
      {"Enter on a list without its own Enter", {}, "Name list", EnterKey, {"OK"}},
      {"Enter without a default button", {.default_ok = false}, "Name", EnterKey, {}},
      {"Enter with the default button greyed", {.disable_ok = true}, "Name", EnterKey, {}},
      {"Esc in an entry", {}, "Name", EscKey, {"Cancel"}},
      {"Esc in a text", {}, "Notes", EscKey, {"Cancel"}},
      {"Esc finds a Close button by its caption",
       {.cancel = false, .close_caption = "Cl&ose"},
       "Name",
       EscKey,
       {"Close"}},
      {"Esc without a cancel button closes", {.cancel = false}, "Name", EscKey, {"close"}},
      {"Esc leaves the application frame open",
       {.cancel = false, .frame = true},
       "Name",
       EscKey,
       {}},
  };
  for (const KeyCase& c : cases) {
    KeysWindow program(c.shape);
    {
      TestDriver ui;
      ui.Start([&] { program.Run(); });
      DriverWindow w = ui.WaitWindow("Keys");
      if (std::string(c.focus).empty()) {
        w.PressKey(c.key);
      } else if (std::string(c.focus) == "Name list") {
        w.ControlNumber(5).PressKey(c.key);
      } else {
        w.Control(c.focus).PressKey(c.key);
      }
      const bool closed = !w.Open();
      EXPECT_EQ(closed, c.expected == Log{"close"}) << c.what;
    }
    EXPECT_EQ(program.log, c.expected) << c.what;
  }
}

TEST(DialogKeys, ADoubleClickOnARowChoosesItThenPressesTheDefaultButton) {
  for (const bool list_alerts_enter : {false, true}) {
    KeysWindow program({.list_alerts_enter = list_alerts_enter});
    {
      TestDriver ui;
      ui.Start([&] { program.Run(); });
      ui.WaitWindow("Keys").ControlNumber(5).ActivateRow(2);
    }
    // A list that takes Enter itself (a browse) decides itself what its double click presses.
    const Log expected = list_alerts_enter ? Log{"row 2"} : Log{"row 2", "OK"};
    EXPECT_EQ(program.log, expected) << list_alerts_enter;
  }
}

TEST(DialogKeys, TypedTextReachesTheProgramBeforeAHotLetterAShortcutOrEnterActs) {
  struct Step {
    const char* what;
    std::function<void(DriverWindow&)> act;
    Log expected;
  };
  const std::vector<Step> steps = {
      {"Alt+O", [](DriverWindow& w) { w.PressHotLetter('o'); }, {"name=Ada", "OK"}},
      {"Alt+L ticks a check",
       [](DriverWindow& w) { w.PressHotLetter('L'); },
       {"name=Ada", "loud=1"}},
      {"Ctrl+S", [](DriverWindow& w) { w.PressShortcut("Ctrl+S"); }, {"name=Ada", "Save"}},
      {"a menu pick",
       [](DriverWindow& w) {
         w.Pick({"&Edit", "&Save"});
       },
       {"name=Ada", "Save"}},
      {"Enter", [](DriverWindow& w) { w.PressKey(EnterKey); }, {"name=Ada", "OK"}},
      {"Esc cancels what was typed", [](DriverWindow& w) { w.PressKey(EscKey); }, {"Cancel"}},
  };
  for (const Step& step : steps) {
    KeysWindow program({});
    {
      TestDriver ui;
      ui.Start([&] { program.Run(); });
      DriverWindow w = ui.WaitWindow("Keys");
      DriverControl name = w.Control("Name");
      name.TypeKeys("Ada");
      EXPECT_EQ(name.Value(), "Ada") << "the field shows what was typed";
      step.act(w);
    }
    EXPECT_EQ(program.log, step.expected) << step.what;
  }
}

TEST(DialogKeys, AHotLetterOrShortcutThatNothingHasIsRefused) {
  KeysWindow program({.disable_ok = true});
  TestDriver ui;
  ui.Start([&] { program.Run(); });
  DriverWindow w = ui.WaitWindow("Keys");
  EXPECT_THROW(w.PressHotLetter('O'), std::logic_error) << "a greyed button takes no hot letter";
  EXPECT_THROW(w.PressHotLetter('Q'), std::logic_error);
  EXPECT_THROW(w.PressShortcut("Ctrl+Q"), std::logic_error);
}

}  // namespace
}  // namespace vx
