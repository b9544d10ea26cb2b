// The required-field check and the tab colouring of the forms, on windows that are built but
// not shown (no front end: a message box takes its default answer).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "datadll/dictionary/holidays_table.h"
#include "datadll/utility/colour_tab_class.h"
#include "datadll/utility/form_wizard_class.h"
#include "datadll/utility/req_fld_class.h"
#include "framework/window_manager.h"
#include "runtime/fixed_string.h"
#include "runtime/system_properties.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"

namespace vx {
namespace {

TEST(REQFLDCLASS, NamesTheFirstEmptyRequiredFieldThatCanBeSeen) {
  String<20> name, city, hidden_code;
  std::int32_t count = 0;
  Window window("Form");
  Control& sheet = window.Sheet();
  Control& first = sheet.Tab("First");
  first.Prompt("&Name:");
  const int name_entry = first.Entry(name, "@s20").Required();
  first.Prompt("C&ity:");
  const int city_entry = first.Entry(city, "@s20").Required();
  first.Prompt("Count:");
  first.Entry(count, "@n3").Required();
  Control& second = sheet.Tab("Second");
  second.Prompt("Code:");
  const int code_entry = second.Entry(hidden_code, "@s20").Required();
  second.Hide();
  window.Display();

  REQFLDCLASS required;
  required.INIT(window, "Missing Information", "@PROMPT must be entered.");
  EXPECT_EQ(required.MessageFor(name_entry), "\"Name\" must be entered.");
  EXPECT_EQ(required.INCOMPLETE(), name_entry);

  name = "Ann";
  window.Display();
  EXPECT_EQ(required.INCOMPLETE(), city_entry);
  window[city_entry].Disable();
  EXPECT_EQ(required.INCOMPLETE(true), 0) << "a greyed field is skipped; a zero count is not empty";
  EXPECT_EQ(required.INCOMPLETE(false), city_entry);
  window[city_entry].Required(false);
  EXPECT_EQ(required.INCOMPLETE(false), 0);
  EXPECT_EQ(required.MessageFor(code_entry), "\"Code\" must be entered.")
      << "listed, though on a hidden tab, and never reported";

  // ADDFIELD keeps a listed field's texts unless told to replace them.
  required.ADDFIELD(name_entry, "NAME", "tip", "msg", "Other", false);
  EXPECT_EQ(required.MessageFor(name_entry), "\"Name\" must be entered.");
  required.ADDFIELD(name_entry, "NAME", "tip", "msg", "&Full name:", true);
  EXPECT_EQ(required.MessageFor(name_entry), "\"Full name\" must be entered.");
  required.REMOVEFIELD(name_entry);
  EXPECT_EQ(required.MessageFor(name_entry), "");

  REQFLDCLASS all_tokens;
  all_tokens.INIT(window, "X", "@prompt|@Msg|@TIP|@field");
  all_tokens.ADDFIELD(name_entry, "CUS:Name", "The name", "Needed", "Name", true);
  EXPECT_EQ(all_tokens.MessageFor(name_entry), "\"Name\"|Needed|The name|\"CUS:Name\"");
}

TEST(REQFLDCLASS, AFieldFoundOnTheFormCarriesItsMessageAndItsDictionaryName) {
  Window window("New Holiday");
  window.Prompt("&Description:");
  const int entry =
      window.Entry(HOL.Holiday, "@s30").Required().Set(Prop::Msg, "The holiday's name");
  String<10> local;
  window.Prompt("&Code:");
  const int other = window.Entry(local, "@s10").Required();

  REQFLDCLASS required;
  required.INIT(window, "Missing Information", "@MSG: @FIELD (@PROMPT)", 1);
  EXPECT_EQ(required.MessageFor(entry), "The holiday's name: \"HOL:Holiday\" (\"Description\")");
  EXPECT_EQ(required.MessageFor(other), ": \"\" (\"Code\")")
      << "a variable outside the dictionary has no name";
  EXPECT_EQ(required.Switch(), 1);
}

TEST(COLOURTABCLASS, TheShownTabKeepsItsColoursAndTheOthersAreGreyed) {
  Window window("Form");
  Control& sheet = window.Sheet();
  Control& general = sheet.Tab("General");
  Control& more = sheet.Tab("More");
  Control& hidden = sheet.Tab("Hidden");
  hidden.Hide();

  COLOURTABCLASS tabs;
  tabs.INIT(window, -1, -1, 1, 0, 1, -1, kOtherTabColour);
  EXPECT_EQ(SystemProperty(kColouredTabsProperty), 1);
  tabs.COLOURTABS();
  EXPECT_EQ(general.GetNumber(Prop::Color), -1);
  EXPECT_EQ(general.GetNumber(Prop::FontStyle), 0x2BC);
  EXPECT_EQ(more.GetNumber(Prop::Color), kOtherTabColour);
  EXPECT_EQ(more.GetNumber(Prop::FontStyle), 0);
  EXPECT_EQ(hidden.Get(Prop::Color), "") << "tabs not shown are left alone";

  sheet.Choose(2);
  tabs.COLOURTABS();
  EXPECT_EQ(general.GetNumber(Prop::Color), kOtherTabColour);
  EXPECT_EQ(general.GetNumber(Prop::FontStyle), 0x2BC & ~0x1BC);
  EXPECT_EQ(more.GetNumber(Prop::Color), -1);
}

// A five-page wizard (pages "One" to "Five", the last two hidden unless told) with Back, Next
// and Finish; the form hands its accepted buttons to the wizard.
struct WizardSetup {
  bool hide_last_two = true;
  bool skip_hidden = true;
  long refuse = 0;  // what VALIDATE answers
};
WizardSetup g_wizard;

void WizardForm() {
  Window window("Wizard");
  Control& sheet = window.Sheet();
  for (const char* page : {"One", "Two", "Three", "Four", "Five"}) sheet.Tab(page);
  if (g_wizard.hide_last_two) {
    sheet.Children()[3]->Hide();
    sheet.Children()[4]->Hide();
  }
  const int back = window.Button("< &Back");
  const int next = window.Button("&Next >");
  const int finish = window.Button("&Finish");

  struct Wizard final : FORMWIZARDCLASS {
    long VALIDATE() override { return g_wizard.refuse; }
  } wizard;
  struct Form final : WindowManager {
    using WindowManager::WindowManager;
    std::function<void()> start;
    FORMWIZARDCLASS* wizard = nullptr;
    Level Init() override {
      WindowManager::Init();
      Open();
      start();
      return Level_Benign;
    }
    Level TakeAccepted() override {
      wizard->TAKEACCEPTED();
      return WindowManager::TakeAccepted();
    }
  } form(window);
  form.wizard = &wizard;
  form.CancelControl = finish;
  form.start = [&] {
    wizard.INIT(window, sheet, back, next, 1, g_wizard.refuse ? 1 : 0, true, g_wizard.skip_hidden,
                false, finish);
  };
  form.Run();
}

TEST(FORMWIZARDCLASS, PagesWithBackAndNextAndOffersFinishOnTheLastShownPage) {
  g_wizard = {};
  TestDriver ui;
  ui.Start(WizardForm);
  DriverWindow w = ui.WaitWindow("Wizard");
  DriverControl sheet = w.ControlNumber(1);
  EXPECT_EQ(sheet.Get(Prop::Wizard), "1") << "the tab headers are off";
  EXPECT_EQ(sheet.Choice(), 1);
  EXPECT_TRUE(w.Control("< &Back").Disabled());
  EXPECT_TRUE(w.Control("&Finish").Hidden());
  EXPECT_EQ(w.Control("&Next >").Get(Prop::Default), "1");

  w.Control("&Next >").Press();
  EXPECT_EQ(sheet.Choice(), 2);
  EXPECT_FALSE(w.Control("< &Back").Disabled());
  EXPECT_TRUE(w.Control("&Finish").Hidden());

  // The third page is the last shown: Finish takes Next's place and becomes the default.
  w.Control("&Next >").Press();
  EXPECT_EQ(sheet.Choice(), 3);
  EXPECT_FALSE(w.Control("&Finish").Hidden());
  EXPECT_TRUE(w.Control("&Next >").Hidden());
  EXPECT_EQ(w.Control("&Finish").Get(Prop::Default), "1");
  EXPECT_NE(w.Control("&Next >").Get(Prop::Default), "1");

  w.Control("< &Back").Press();
  EXPECT_EQ(sheet.Choice(), 2);
  EXPECT_TRUE(w.Control("&Finish").Hidden());
  EXPECT_FALSE(w.Control("&Next >").Hidden());
  w.Close();
  ui.Finish();
}

TEST(FORMWIZARDCLASS, WithoutSkippingHiddenPagesNextGoesOnToThem) {
  g_wizard = {};
  g_wizard.skip_hidden = false;
  TestDriver ui;
  ui.Start(WizardForm);
  DriverWindow w = ui.WaitWindow("Wizard");
  for (int page = 2; page <= 4; ++page) w.Control("&Next >").Press();
  EXPECT_EQ(w.ControlNumber(1).Choice(), 4);
  EXPECT_TRUE(w.Control("&Finish").Hidden());
  w.Close();
  ui.Finish();
}

TEST(FORMWIZARDCLASS, APageThatFailsItsCheckKeepsTheUserOnItAndGreysNext) {
  g_wizard = {};
  g_wizard.refuse = 1;
  TestDriver ui;
  ui.Start(WizardForm);
  DriverWindow w = ui.WaitWindow("Wizard");
  w.Control("&Next >").Press();
  EXPECT_EQ(w.ControlNumber(1).Choice(), 1);
  EXPECT_TRUE(w.Control("&Next >").Disabled());
  w.Close();
  ui.Finish();
}

}  // namespace
}  // namespace vx
