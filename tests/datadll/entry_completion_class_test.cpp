// Completing an entry as it is typed into, from a list of rows and from a table, refusing a
// value no row begins with, and one key pressing the lookup button beside an entry; each
// window runs on its own thread and is typed into through the test driver.
#include "datadll/utility/entry_completion_class.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/auto_lookup_class.h"
#include "runtime/queue.h"
#include "runtime/window/queue_list.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"
#include "test_support.h"

namespace vx {
namespace {

struct Name {
  String<20> Text;
};

// "Fruit:" completed from the rows Apple, Abbey, Cherry; "Other:" a second field.
struct CompletionSetup {
  bool from_table = false;
  std::uint8_t must_validate = 0;
};
CompletionSetup g_setup;
String<20> g_fruit;  // read by the test once the window has closed

void CompletionWindow() {
  Queue<Name> names;
  for (const char* n : {"Apple", "Abbey", "Cherry"}) {
    names.buffer.Text = n;
    names.Add();
  }
  QueueList<Name> rows(names, [](const Name& n) { return ListFields{n.Text.str()}; });
  String<20> fruit;
  String<20> other;
  Window window("Completion");
  window.Prompt("&Fruit:");
  const int entry = window.Entry(fruit, "@s20");
  window.Prompt("&Other:");
  window.Entry(other, "@s20");
  const int ok = window.Button("OK");
  ENTRYCOMPLETIONCLASS completion;
  if (g_setup.from_table) {
    ACCESS_CATEGORIES->Open();
    completion.INIT(window, fruit, entry, CAT.Category, g_setup.must_validate, *ACCESS_CATEGORIES,
                    CAT_KEYCATEGORY);
  } else {
    completion.INIT(window, fruit, entry, rows, g_setup.must_validate);
  }
  window.Open();
  while (window.Accept()) {
    completion.TAKEEVENT();
    if (ACCEPTED() == ok) break;
  }
  g_fruit = fruit;
  if (g_setup.from_table) ACCESS_CATEGORIES->Close();
}

struct Shown {
  std::string text;
  std::string sel_start, sel_end;
};

Shown ShownIn(const DriverControl& entry) {
  return {entry.Value(), entry.Get(Prop::SelStart), entry.Get(Prop::SelEnd)};
}

class EntryCompletionTest : public ::testing::Test {
 protected:
  void Open(CompletionSetup setup) {
    g_setup = setup;
    ui_.Start(CompletionWindow);
    window_ = std::make_unique<DriverWindow>(ui_.WaitWindow("Completion"));
  }
  DriverControl Fruit() { return window_->Control("&Fruit:"); }

  TestDriver ui_;
  std::unique_ptr<DriverWindow> window_;
};

TEST_F(EntryCompletionTest, EachKeyCompletesToTheFirstRowAndSelectsTheTail) {
  Open({});
  DriverControl fruit = Fruit();
  EXPECT_EQ(fruit.Get(Prop::Immediate), "1");
  struct Step {
    const char* keys;
    const char* text;
    const char* sel_start;
    const char* sel_end;
  };
  const Step steps[] = {
      {"a", "Apple", "2", "5"},  // the first row beginning with "a"
      {"b", "Abbey", "3", "5"},  // "ab": the key typed over the selection
      {"\b", "Ab", "3", "2"},    // Backspace takes the tail away and completes nothing
      {"b", "Abbey", "4", "5"}, {"x", "Abbx", "5", "4"},  // no row: the text as typed
  };
  for (const Step& step : steps) {
    fruit.TypeKeystrokes(step.keys);
    const Shown shown = ShownIn(fruit);
    EXPECT_EQ(shown.text, step.text) << step.keys;
    EXPECT_EQ(shown.sel_start, step.sel_start) << step.keys;
    EXPECT_EQ(shown.sel_end, step.sel_end) << step.keys;
  }
  window_->Control("OK").Press();
  ui_.Finish();
  EXPECT_EQ(g_fruit, "Abbx");  // not validated: any text stands
}

TEST_F(EntryCompletionTest, ArrowsAndCtrlOrAltKeysDoNotSearch) {
  Open({});
  DriverControl fruit = Fruit();
  for (const int key : {37, 39, 37 + 256, 39 + 256, 'C' + 512, 'A' + 1024}) {
    fruit.Keystroke("c", 2, key);
    EXPECT_EQ(fruit.Value(), "c") << key;
  }
  fruit.Keystroke("c", 2, 'C');
  EXPECT_EQ(fruit.Value(), "Cherry");
  window_->Control("OK").Press();
  ui_.Finish();
}

TEST_F(EntryCompletionTest, AValueNoRowBeginsWithIsRefusedWhenMustValidate) {
  Open({.must_validate = 1});
  DriverControl fruit = Fruit();
  fruit.Type("Zed");
  EXPECT_EQ(fruit.Value(), "");
  EXPECT_EQ(window_->Get(Prop::Focus), std::to_string(fruit.Number()));
  fruit.Type("ch");  // a beginning of a row stands
  EXPECT_EQ(fruit.Value(), "ch");
  window_->Control("OK").Press();
  ui_.Finish();
  EXPECT_EQ(g_fruit, "ch");
}

class TableCompletionTest : public test::DataLibraryTest {
 protected:
  test::InFreshFolder folder_;
};

TEST_F(TableCompletionTest, CompletesFromATableThroughItsKey) {
  ASSERT_EQ(ACCESS_CATEGORIES->Open(), 0);
  for (const char* c : {"Work", "Birthdays", "Bills", "Weekend"}) {
    CAT.Category = c;
    ASSERT_EQ(ACCESS_CATEGORIES->Insert(), 0);
  }
  ACCESS_CATEGORIES->Close();
  TestDriver ui;
  g_setup = {.from_table = true, .must_validate = 1};
  ui.Start(CompletionWindow);
  DriverWindow window = ui.WaitWindow("Completion");
  DriverControl fruit = window.Control("&Fruit:");
  fruit.TypeKeystrokes("b");
  EXPECT_EQ(fruit.Value(), "Bills");  // key order: Bills before Birthdays
  fruit.TypeKeystrokes("ir");
  EXPECT_EQ(fruit.Value(), "Birthdays");
  EXPECT_EQ(fruit.Get(Prop::SelStart), "4");
  fruit.Type("Holiday");  // no such category
  EXPECT_EQ(fruit.Value(), "");
  fruit.Type("weekend");
  window.Control("OK").Press();
  ui.Finish();
  EXPECT_EQ(g_fruit, "weekend");
}

// Two entries, the first with a lookup button; F2 (113) presses it from the entry or the button,
// never from the other entry.
std::atomic<int> g_lookups{0};
std::atomic<long> g_pairs{-1};

void LookupWindow() {
  String<20> first, second;
  Window window("Lookup");
  window.Prompt("&First:");
  Control& row = window.Row();
  row.Entry(first, "@s20");
  const int lookup = row.Button("...");
  window.Prompt("&Second:");
  window.Entry(second, "@s20");
  const int close = window.Button("Close");
  AUTOLOOKUPCLASS lookups;
  lookups.INIT(window, 113);
  g_pairs = lookups.Q.Records();
  window.Open();
  while (window.Accept()) {
    if (lookups.TAKEALERTKEY()) continue;
    if (ACCEPTED() == lookup) ++g_lookups;
    if (ACCEPTED() == close) break;
  }
  lookups.KILL();
}

TEST(AutoLookupClass, OneKeyPressesTheLookupButtonBesideItsEntry) {
  g_lookups = 0;
  TestDriver ui;
  ui.Start(LookupWindow);
  DriverWindow window = ui.WaitWindow("Lookup");
  EXPECT_EQ(g_pairs, 1);
  DriverControl first = window.Control("&First:");
  EXPECT_EQ(first.Get(Prop::Alert), "113");
  EXPECT_EQ(window.Control("...").Get(Prop::Alert), "113");
  first.PressKey(113);
  window.Control("...").PressKey(113);
  window.Control("&Second:").PressKey(113);
  first.PressKey(114);
  window.Control("Close").Press();
  ui.Finish();
  EXPECT_EQ(g_lookups, 2);
}

void NoLookupWindow() {
  String<20> only;
  Window window("Plain");
  window.Prompt("&Only:");
  window.Entry(only, "@s20");
  AUTOLOOKUPCLASS lookups;
  lookups.INIT(window, 113);
  g_pairs = lookups.Q.Records();
  window.Open();
  while (window.Accept()) {
    if (lookups.TAKEALERTKEY()) ++g_lookups;
  }
}

TEST(AutoLookupClass, AWindowWithoutLookupButtonsLeavesTheKeyAlone) {
  g_lookups = 0;
  TestDriver ui;
  ui.Start(NoLookupWindow);
  DriverWindow window = ui.WaitWindow("Plain");
  window.Control("&Only:").PressKey(113);
  window.Close();
  ui.Finish();
  EXPECT_EQ(g_pairs, 0);
  EXPECT_EQ(g_lookups, 0);
}

}  // namespace
}  // namespace vx
