// The required-field check and the tab colouring of the forms, on windows that are built but
// not shown (no front end: a message box takes its default answer).
#include <gtest/gtest.h>

#include <cstdint>

#include "datadll/utility/colour_tab_class.h"
#include "datadll/utility/req_fld_class.h"
#include "runtime/fixed_string.h"
#include "runtime/window/window.h"

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
  EXPECT_EQ(required.MessageFor(code_entry), "\"Code\" must be entered.") << "listed, though on a hidden tab";

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

TEST(COLOURTABCLASS, TheShownTabKeepsItsColoursAndTheOthersAreGreyed) {
  Window window("Form");
  Control& sheet = window.Sheet();
  Control& general = sheet.Tab("General");
  Control& more = sheet.Tab("More");
  Control& hidden = sheet.Tab("Hidden");
  hidden.Hide();

  COLOURTABCLASS tabs;
  tabs.INIT(window, -1, -1, 1, 0, 1, -1, 10987431);
  tabs.COLOURTABS();
  EXPECT_EQ(general.GetNumber(Prop::Color), -1);
  EXPECT_EQ(general.GetNumber(Prop::FontStyle), 0x2BC);
  EXPECT_EQ(more.GetNumber(Prop::Color), 10987431);
  EXPECT_EQ(more.GetNumber(Prop::FontStyle), 0);
  EXPECT_EQ(hidden.Get(Prop::Color), "") << "tabs not shown are left alone";

  sheet.Choose(2);
  tabs.COLOURTABS();
  EXPECT_EQ(general.GetNumber(Prop::Color), 10987431);
  EXPECT_EQ(general.GetNumber(Prop::FontStyle), 0x2BC & ~0x1BC);
  EXPECT_EQ(more.GetNumber(Prop::Color), -1);
}

}  // namespace
}  // namespace vx
