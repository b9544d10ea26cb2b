// Search by example: the filter each match type builds and the records it selects, values that
// look like expression or SQL text, values a field cannot take, long filters, and the search run.
#include "datadll/addons/sqbe_search_class.h"

#include "datadll/addons/sqbe_form_class.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "runtime/dates.h"
#include "runtime/expression/evaluate.h"
#include "tests/support/test_driver.h"

namespace vx::test {
namespace {

using namespace SQBE;

struct Person {
  std::string name, city;
  long age = 0;
  long born = 0;  // day number
  long member = 0;
};

// People walked one at a time into `current`, as a browse's view loads its record buffer.
class People final : public BrowseView {
 public:
  explicit People(std::vector<Person> rows) : rows_(std::move(rows)) {
    browse.Bindings.Bind("PEO:Name", [this] { return ExprValue::Text(current.name); });
    browse.Bindings.Bind("PEO:City", [this] { return ExprValue::Text(current.city); });
    browse.Bindings.BindInteger("PEO:Age", &current.age);
    browse.Bindings.BindInteger("PEO:Born", &current.born);
    browse.Bindings.BindInteger("PEO:Member", &current.member);
  }
  void Reset(int) override { at_ = -1; }
  bool Next() override {
    if (++at_ >= static_cast<long>(rows_.size())) return false;
    current = rows_[static_cast<std::size_t>(at_)];
    return true;
  }
  long Position() const override { return at_ + 1; }
  bool Fetch(long position) override {
    if (position < 1 || position > static_cast<long>(rows_.size())) return false;
    current = rows_[static_cast<std::size_t>(position - 1)];
    return true;
  }
  // The names of the people `filter` lets through, as the browse's filter would.
  std::vector<std::string> Selected(const std::string& filter) {
    std::vector<std::string> names;
    const Expression e(filter, browse.Bindings);
    EXPECT_TRUE(filter.empty() || e.ok()) << filter << ": " << e.error();
    for (Reset(1); Next();)
      if (filter.empty() || e.Evaluate().IsTrue()) names.push_back(current.name);
    return names;
  }

  BrowseClass browse;
  Person current;

 private:
  std::vector<Person> rows_;
  long at_ = -1;
};

const std::string kSmith = "Smith') OR 1=1 --";

std::vector<Person> Rows() {
  return {{"O'Brien", "Cork", 40, DATE(3, 17, 1980), 1},
          {kSmith, "x", 25, DATE(12, 1, 1995), 0},
          {"Anne", "Paris", 33, DATE(3, 5, 1990), 1},
          {"obrien", "Rome", 51, DATE(7, 17, 1970), 0}};
}

void Fields(SEARCHCLASS0& s, People& people) {
  s.INIT("People", &people, &people.browse, "", false, false, 1, 1, 1, 1, 1, 1, 11);
  s.ADDFIELD("Name", "People", "PEO", "Name", TYPE_STRING, "@s30");
  s.ADDFIELD("Age", "People", "PEO", "Age", TYPE_NUMBER, "@n3");
  s.ADDFIELD("Born", "People", "PEO", "Born", TYPE_DATE, "@d2B");
  s.ADDFIELD("Member", "People", "PEO", "Member", TYPE_CHECK, "");
}

TEST(QueryByExample, EachMatchTypeBuildsItsTermAndSelectsItsRecords) {
  const std::string d1980 = std::to_string(DATE(3, 17, 1980));
  const std::string smith = kSmith;
  const struct {
    const char* field;
    int match;
    std::string value, limit;
    std::string filter;
    std::vector<std::string> selected;
  } cases[] = {
      {"Name", 0, "Anne", "", "", {"O'Brien", smith, "Anne", "obrien"}},
      {"Name", 1, "o'brien", "", "UPPER(CLIP(PEO:Name)) = UPPER('o''brien')", {"O'Brien"}},
      {"Name",
       2,
       "Anne",
       "",
       "UPPER(CLIP(PEO:Name)) <> UPPER('Anne')",
       {"O'Brien", smith, "obrien"}},
      {"Age", 3, "40", "", "PEO:Age > 40", {"obrien"}},
      {"Age", 4, "33", "", "PEO:Age < 33", {smith}},
      {"Age", 5, "40", "", "PEO:Age >= 40", {"O'Brien", "obrien"}},
      {"Age", 6, "33", "", "PEO:Age <= 33", {smith, "Anne"}},
      {"Age", 7, "30", "45", "(PEO:Age >= 30 AND PEO:Age <= 45)", {"O'Brien", "Anne"}},
      {"Age", 8, "30", "45", "~(PEO:Age >= 30 AND PEO:Age <= 45)", {smith, "obrien"}},
      {"Name", 9, "o'", "", "SUB(UPPER(CLIP(PEO:Name)),1,2) = UPPER('o''')", {"O'Brien"}},
      {"Name", 10, "1 --", "", "RIGHT(UPPER(CLIP(PEO:Name)),4) = UPPER('1 --')", {smith}},
      {"Name", 11, "') OR", "", "INSTRING(UPPER(''') OR'),UPPER(CLIP(PEO:Name)),1)", {smith}},
      {"Name", 12, "'", "", "~INSTRING(UPPER(''''),UPPER(CLIP(PEO:Name)),1)", {"Anne", "obrien"}},
      {"Born", 13, "03/01/2000", "", "MONTH(PEO:Born) = 3", {"O'Brien", "Anne"}},
      {"Born", 14, "08/17/2001", "", "DAY(PEO:Born) = 17", {"O'Brien", "obrien"}},
      {"Born", 15, "01/01/1990", "", "YEAR(PEO:Born) = 1990", {"Anne"}},
      {"Born", 16, d1980, "", "(MONTH(PEO:Born) = 3 AND DAY(PEO:Born) = 17)", {"O'Brien"}},
      {"Born", 17, "12/25/1995", "", "(YEAR(PEO:Born) = 1995 AND MONTH(PEO:Born) = 12)", {smith}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.match) + " " + c.field + " " + c.value);
    People people(Rows());
    SEARCHCLASS0 s;
    Fields(s, people);
    ASSERT_EQ(s.SETFIELD("People", c.field), 0);
    s.ADDCRITERION(c.match, c.value, c.limit);
    std::string error;
    const std::optional<std::string> filter = s.BUILDFILTER(&error);
    ASSERT_TRUE(filter.has_value()) << error;
    EXPECT_EQ(*filter, c.filter);
    EXPECT_EQ(people.Selected(*filter), c.selected);
  }
}

TEST(QueryByExample, ValuesSelectExactlyWhatTheySay) {
  const struct {
    std::string value;
    std::vector<std::string> selected;
  } cases[] = {
      {"O'Brien", {"O'Brien"}}, {kSmith, {kSmith}},
      {"' OR '1'='1", {}},      {"x') OR UPPER(CLIP(PEO:Name)) <> UPPER('", {}},
      {"Anne' --", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    People people(Rows());
    SEARCHCLASS0 s;
    Fields(s, people);
    s.SETFIELD("People", "Name");
    s.ADDCRITERION(MATCHTYPE_EQUALS, c.value);
    const auto filter = s.BUILDFILTER();
    ASSERT_TRUE(filter.has_value());
    EXPECT_EQ(people.Selected(*filter), c.selected);
  }
}

TEST(QueryByExample, AValueANumberOrDateFieldCannotTakeStopsTheSearch) {
  const struct {
    const char* field;
    int match;
    const char* value;
    const char* limit;
  } cases[] = {
      {"Age", MATCHTYPE_EQUALS, "1 OR 1=1", ""},
      {"Age", MATCHTYPE_EQUALS, "40; DROP TABLE People", ""},
      {"Age", MATCHTYPE_INSIDERANGE, "1", "9) OR (1"},
      {"Born", MATCHTYPE_EQUALS, "yesterday') OR ('", ""},
      {"Member", MATCHTYPE_EQUALS, "1 OR 1", ""},
      {"Name", MATCHTYPE_EQMTH, "03/01/2000", ""},  // a month is no match for a text
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + c.value);
    People people(Rows());
    SEARCHCLASS0 s;
    Fields(s, people);
    s.SETFIELD("People", c.field);
    s.ADDCRITERION(c.match, c.value, c.limit);
    std::string error;
    EXPECT_FALSE(s.BUILDFILTER(&error).has_value());
    EXPECT_NE(error.find(c.field), std::string::npos) << error;
    TestDriver ui;
    ui.AnswerMessage(BUTTON_OK);
    int result = 0;
    ui.Start([&] { result = s.WORK(); });
    ui.Finish();
    EXPECT_EQ(result, 2);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].caption, "Search");
  }
  // An empty number is searched as 0.
  People people(Rows());
  SEARCHCLASS0 s;
  Fields(s, people);
  s.SETFIELD("People", "Age");
  s.ADDCRITERION(MATCHTYPE_EQUALS, "");
  EXPECT_EQ(s.BUILDFILTER(), "PEO:Age = 0");
}

TEST(QueryByExample, CriteriaOfAFieldAreOneGroupAndFieldsAreJoinedWithAnd) {
  People people(Rows());
  SEARCHCLASS0 s;
  Fields(s, people);
  s.SETFIELD("People", "Name");
  s.ADDCRITERION(MATCHTYPE_EQUALS, "Anne");
  s.ADDCRITERION(MATCHTYPE_NOTEQUALS, "obrien");
  s.ADDCRITERION(MATCHTYPE_IGNOREFIELD);
  s.SETFIELD("People", "Age");
  s.ADDCRITERION(MATCHTYPE_LESSTHAN, "45");
  // The fields in their order, by file and name: Age before Name.
  EXPECT_EQ(s.BUILDFILTER(),
            "PEO:Age < 45 AND (UPPER(CLIP(PEO:Name)) = UPPER('Anne') OR "
            "UPPER(CLIP(PEO:Name)) <> UPPER('obrien'))");
  EXPECT_EQ(people.Selected(*s.BUILDFILTER()),
            (std::vector<std::string>{"O'Brien", kSmith, "Anne"}));
  EXPECT_EQ(s.FIELD[3].CRITERIACOUNT, 3);
  s.CLEANALLCRITERIA();
  EXPECT_EQ(s.FIELD[3].CRITERIACOUNT, 2);
  EXPECT_EQ(s.SETFIELD("People", "Nope"), 5);
}

TEST(QueryByExample, ALongFilterIsBuiltWholeAndOnePastTheEvaluatorsLimitIsSaid) {
  People people(Rows());
  SEARCHCLASS0 s;
  Fields(s, people);
  s.SETFIELD("People", "Name");
  for (int i = 0; i < 40; ++i) s.ADDCRITERION(MATCHTYPE_EQUALS, std::string(150, 'a' + i % 26));
  s.ADDCRITERION(MATCHTYPE_EQUALS, "Anne");
  const auto filter = s.BUILDFILTER();
  ASSERT_TRUE(filter.has_value());
  EXPECT_GT(filter->size(), 5000u);
  EXPECT_EQ(filter->substr(filter->size() - 38), "UPPER(CLIP(PEO:Name)) = UPPER('Anne'))");
  EXPECT_EQ(people.Selected(*filter), std::vector<std::string>{"Anne"});

  for (int i = 0; i < 80; ++i) s.ADDCRITERION(MATCHTYPE_EQUALS, std::string(150, 'z'));
  TestDriver ui;
  ui.AnswerMessage(BUTTON_OK);
  int result = 0;
  ui.Start([&] { result = s.WORK(); });
  ui.Finish();
  EXPECT_EQ(result, 2);
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_NE(ui.Messages()[0].text.find("cannot be run"), std::string::npos);
}

TEST(QueryByExample, TheSearchFindsMatchesOneByOneOrTagsThemAll) {
  struct Tagging : SEARCHCLASS0 {
    std::vector<std::string> tagged;
    People* people = nullptr;
    void SETTAG() override { tagged.push_back(people->current.name); }
  };
  People people(Rows());
  Tagging s;
  s.people = &people;
  Fields(s, people);
  s.SETFIELD("People", "Member");
  s.ADDCRITERION(MATCHTYPE_EQUALS, "1");
  TestDriver ui;
  ui.AnswerMessage(BUTTON_OK);  // "There are no more matching records!"
  ui.AnswerMessage(BUTTON_OK);  // "You must specify at least one search field!"
  std::vector<int> results;
  std::vector<std::string> found;
  ui.Start([&] {
    results.push_back(s.WORK());
    found.push_back(people.current.name);
    results.push_back(s.WORK(true));
    found.push_back(people.current.name);
    results.push_back(s.WORK(true));
    s.SUPPORTSELECT = true;
    SEARCHCLASS0 empty;
    empty.INIT("x", &people, &people.browse, "", false, false, 0, 0, 0, 0, 0, 0, 0);
    results.push_back(empty.WORK());
  });
  ui.Finish();
  EXPECT_EQ(results, (std::vector<int>{10, 10, 2, 2}));
  EXPECT_EQ(found, (std::vector<std::string>{"O'Brien", "Anne"}));
  ASSERT_EQ(ui.Messages().size(), 2u);
  EXPECT_EQ(ui.Messages()[0].text, "There are no more matching records!");
  EXPECT_EQ(ui.Messages()[1].text, "You must specify at least one search field!");
  EXPECT_EQ(s.WIZARDPAGE, 3);

  // Select: the Begin Search window, then every match tagged.
  TestDriver ui2;
  int selected = 0;
  ui2.Start([&] { selected = s.WORK(); });
  ui2.WaitWindow("Begin Search").Control("&Select").Press();
  ui2.Finish();
  EXPECT_EQ(selected, 11);
  EXPECT_EQ(s.tagged, (std::vector<std::string>{"O'Brien", "Anne"}));
}

// The first list of a window (lists have no text to find them by).
DriverControl FirstList(const DriverWindow& w) {
  for (int n = 1; n < 200; ++n) {
    try {
      const DriverControl c = w.ControlNumber(n);
      if (c.Kind() == ControlType::List) return c;
    } catch (const std::exception&) {
    }
  }
  throw std::logic_error("no list in " + w.Title());
}

// The form's SUPPORTEDIT decides where Begin Search puts Edit; Unselect is there only while
// something is tagged.
TEST(QueryByExample, BeginSearchPlacesEditAsTheFormAsks) {
  struct Form : FORMCLASS0 {
    bool tags = false;
    std::string FSTTAG() override { return tags ? "1" : ""; }
  };
  const struct {
    int layout;
    bool tags;
    std::vector<std::string> buttons;  // left to right
    std::string default_button;
  } cases[] = {
      {0, false, {"&Select", "Cancel"}, "&Select"},
      {0, true, {"&Select", "&Unselect", "Cancel"}, "&Select"},
      {1, false, {"&Edit", "&Select", "Cancel"}, "&Edit"},
      {1, true, {"&Edit", "&Select", "&Unselect", "Cancel"}, "&Edit"},
      {2, false, {"&Select", "&Edit", "Cancel"}, "&Select"},
      {2, true, {"&Select", "&Unselect", "&Edit", "Cancel"}, "&Select"},
  };
  People people(Rows());
  for (const auto& c : cases) {
    SCOPED_TRACE("SUPPORTEDIT " + std::to_string(c.layout) + (c.tags ? " with tags" : ""));
    Form s;
    s.FORMCLASS0::INIT("People", &people, &people.browse, "", true, false, 1, 1, 1, 1, 1, 1, 11);
    s.SUPPORTEDIT = c.layout;
    s.tags = c.tags;
    s.ADDFIELD("Name", "People", "PEO", "Name", TYPE_STRING, "@s30", 0);
    s.SETFIELD("People", "Name");
    s.ADDCRITERION(MATCHTYPE_CONTAINS, "x");
    TestDriver ui;
    int result = -1;
    ui.Start([&] { result = s.WORK(); });
    DriverWindow w = ui.WaitWindow("Begin Search");
    std::vector<std::pair<int, std::string>> shown;
    for (const char* name : {"&Edit", "&Select", "&Unselect", "Cancel"}) {
      std::optional<DriverControl> found;
      try {
        found = w.Control(name);
      } catch (const std::exception&) {
        continue;  // not made at all
      }
      const DriverControl& b = *found;
      if (!b.Hidden()) shown.emplace_back(b.Column(), std::string(name));
      if (b.Get(Prop::Default) == "1") {
        EXPECT_EQ(name, c.default_button);
      }
    }
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> order;
    for (const auto& [column, name] : shown) order.push_back(name);
    EXPECT_EQ(order, c.buttons);
    w.Control("Cancel").Press();
    ui.Finish();
    EXPECT_EQ(result, 2);
    EXPECT_EQ(s.WIZARDPAGE, 5);
  }
}

// Tagging goes a batch a tick in its own window, so a long run can be cancelled part way.
TEST(QueryByExample, SelectAndUnselectTagInBatchesUntilCancelled) {
  struct Tagging : SEARCHCLASS0 {
    long set = 0, cleared = 0;
    bool slow_first = false;
    void SETTAG() override { ++set; }
    void CLRTAG() override { ++cleared; }
    // A first match that takes long makes the run go one record a tick.
    bool CHECKHIDDENCRITERIA() override {
      if (slow_first) std::this_thread::sleep_for(std::chrono::milliseconds(150));
      slow_first = false;
      return false;
    }
  };
  std::vector<Person> many;
  for (int i = 0; i < 3000; ++i) many.push_back({"P" + std::to_string(i), "x", i % 2, 0, 1});
  People people(many);
  Tagging s;
  Fields(s, people);
  s.SUPPORTSELECT = true;
  s.SETFIELD("People", "Member");
  s.ADDCRITERION(MATCHTYPE_EQUALS, "1");

  // Select runs to the end: every match tagged once.
  {
    TestDriver ui;
    int result = -1;
    ui.Start([&] { result = s.WORK(); });
    ui.WaitWindow("Begin Search").Control("&Select").Press();
    ui.Finish();
    EXPECT_EQ(result, 11);
    EXPECT_EQ(s.set, 3000);
  }
  // Again, one a tick after a slow first match, cancelled in the progress window.
  {
    s.slow_first = true;
    TestDriver ui;
    int result = -1;
    ui.Start([&] { result = s.WORK(); });
    ui.WaitWindow("Begin Search").Control("&Select").Press();
    ui.WaitWindow("Searching for Matching Records").Control("Cancel").Press();
    ui.Finish();
    EXPECT_EQ(result, 2);
    EXPECT_GT(s.set, 3000);
    EXPECT_LT(s.set, 6000);
  }
  // No match: said, and nothing tagged.
  {
    s.CLEANALLCRITERIA();
    s.SETFIELD("People", "Name");
    s.ADDCRITERION(MATCHTYPE_EQUALS, "nobody");
    const long before = s.set;
    TestDriver ui;
    ui.AnswerMessage(BUTTON_OK);
    int result = -1;
    ui.Start([&] { result = s.WORK(); });
    ui.WaitWindow("Begin Search").Control("&Select").Press();
    ui.Finish();
    EXPECT_EQ(result, 2);
    EXPECT_EQ(s.set, before);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "There are no matching records!");
  }
}

// A view that never ends and whose records never match: only Cancel ends a search of it.
class Endless final : public BrowseView {
 public:
  Endless() { browse.Bindings.BindInteger("PEO:Member", &member_); }
  void Reset(int) override { at_ = 0; }
  bool Next() override { return ++at_ > 0; }
  long Position() const override { return at_; }
  bool Fetch(long) override { return true; }
  BrowseClass browse;

 private:
  long member_ = 0, at_ = 0;
};

// Edit and Find Next search under "Searching for Matching Records": its line counts the
// matches found so far after the spinner, and its Cancel stops a search that finds nothing.
TEST(QueryByExample, EditAndFindNextSearchUnderTheProgressWindow) {
  struct Watching : SEARCHCLASS0 {
    std::vector<std::string> seen;  // at each match: the window open and its progress line
    bool CHECKHIDDENCRITERIA() override {
      const Window* w = CurrentWindow();
      std::string line;
      if (w) {
        for (const auto& c : w->Controls())
          if (c->TextValue().find("Found") != std::string::npos) line = c->TextValue();
      }
      seen.push_back((w ? w->Title() : "none") + ": " + line);
      return false;
    }
  };
  People people(Rows());
  Watching s;
  Fields(s, people);
  s.SETFIELD("People", "Member");
  s.ADDCRITERION(MATCHTYPE_EQUALS, "1");
  TestDriver ui;
  std::vector<int> results;
  ui.Start([&] {
    results.push_back(s.WORK());
    results.push_back(s.WORK(true));
  });
  ui.Finish();
  EXPECT_EQ(results, (std::vector<int>{10, 10}));
  ASSERT_EQ(s.seen.size(), 2u);
  const std::string title = "Searching for Matching Records: ";
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(s.seen[i]);
    ASSERT_EQ(s.seen[i].rfind(title, 0), 0u);
    const std::string line = s.seen[i].substr(title.size());
    const std::string spinner = line.substr(0, line.find(' '));
    EXPECT_TRUE(spinner == "|" || spinner == "/" || spinner == "--" || spinner == "\\");
    EXPECT_EQ(line.substr(line.find(' ')), "  " + std::to_string(i) + " Found")
        << "the matches before this one";
  }
  EXPECT_TRUE(ui.OpenTitles().empty()) << "the window closes with each match";

  Endless endless;
  SEARCHCLASS0 forever;
  forever.INIT("Endless", &endless, &endless.browse, "", false, false, 1, 1, 1, 1, 1, 1, 11);
  forever.ADDFIELD("Member", "People", "PEO", "Member", TYPE_CHECK, "");
  forever.SETFIELD("People", "Member");
  forever.ADDCRITERION(MATCHTYPE_EQUALS, "1");
  for (const bool find_next : {false, true}) {
    SCOPED_TRACE(find_next);
    TestDriver ui2;
    int result = -1;
    ui2.Start([&] { result = forever.WORK(find_next); });
    ui2.WaitWindow("Searching for Matching Records").Control("Cancel").Press();
    ui2.Finish();
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(ui2.Messages().empty()) << "a cancelled search says nothing more";
  }
}

TEST(QueryByExample, TheWizardAndTheMatchTypeWindowEnterCriteria) {
  People people(Rows());
  SEARCHCLASS0 s;
  Fields(s, people);
  TestDriver ui;
  int result = -1;
  ui.Start([&] { result = s.RUNWIZARD(); });
  DriverWindow wizard = ui.WaitWindow("OrvelQBE Wizard");
  EXPECT_TRUE(wizard.Control("< &Back").Disabled());
  wizard.Control("&Next >").Press();
  wizard.Control("&Next >").Press();
  wizard.Control("&Change").Press();  // the first field: Age
  DriverWindow match = ui.WaitWindow("Specify Match Type");
  EXPECT_TRUE(match.Control("&Change").Disabled());
  match.Control("&Insert").Press();
  DriverWindow value = ui.WaitWindow("Enter Search Value");
  value.Control("&Search Value:").Type("33");
  value.Control("&OK").Press();
  // Match types show as their pictures: beside each radio and in the criteria list.
  EXPECT_EQ(match.Control("Inside &range").Get(Prop::Icon), "~SQBE_IR.ICO");
  EXPECT_EQ(match.Control("&Equals").Get(Prop::Icon), "~SQBE_EQ.ICO");
  const DriverControl criteria = FirstList(match);
  ASSERT_EQ(criteria.Rows(), 1u);
  EXPECT_EQ(criteria.CellDetail(1, 1).icon, "~SQBE_EQ.ICO");
  match.Control("Match Type").Choose("Inside &range");
  match.Control("&Change").Press();
  DriverWindow range = ui.WaitWindow("Enter Range Limits");
  range.Control("&Upper Limit:").Type("33");
  range.Control("&OK").Press();  // refused: the upper limit must lie above the lower
  EXPECT_TRUE(ui.HasWindow("Enter Range Limits"));
  range.Control("&Upper Limit:").Type("45");
  range.Control("&OK").Press();
  match.Control("&OK").Press();
  wizard.Control("&Next >").Press();
  wizard.Control("&Next >").Press();
  EXPECT_TRUE(wizard.Control("&Next >").Disabled());
  wizard.Control("&Finish").Press();
  ui.Finish();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(s.BUILDFILTER(), "(PEO:Age >= 33 AND PEO:Age <= 45)");
  EXPECT_EQ(s.FIELD[0].CRITERIA.at(0).DISPLAY, "33 ... 45");
}

}  // namespace
}  // namespace vx::test

namespace vx::test {
namespace {

// A person form opened for searching: Name and Age entries, help, search, OK and cancel.
void RunSearchForm(SQBE::FORMCLASS0& search, People& people, long& response) {
  Window form("Update Person");
  std::string name;
  long age = 0;
  form.Prompt("&Name:");
  const int name_entry = form.Entry(name, "@s30");
  form.Prompt("&Age:");
  const int age_entry = form.Entry(age, "@n3B");
  Control& buttons = form.Row();
  const int help = buttons.Button("&Help");
  const int work = buttons.Button("&Search");
  const int ok = buttons.Button("&OK");
  const int cancel = buttons.Button("Cancel");
  WindowManager manager(form);
  manager.OriginalRequest = SQBE::kSearchRequest;
  search.INIT("People", &people, &people.browse, "", false, false, 9, 5, 1, 1, 1, 1, 11);
  search.WINDOW = &form;
  search.WINMGR = &manager;
  search.HELPCONTROL = help;
  search.WORKCONTROL = work;
  search.OKCONTROL = ok;
  search.CANCELCONTROL = cancel;
  search.ADDFIELD("Name", "People", "PEO", "Name", SQBE::TYPE_STRING, "@s30", name_entry);
  search.ADDFIELD("Age", "People", "PEO", "Age", SQBE::TYPE_NUMBER, "@n3B", age_entry);
  form.Open();
  search.PREPAREQBEWINDOW();
  while (form.Accept()) {
    if (search.TAKEEVENT(true) == 5) continue;
    if (EVENT() == EVENT_Accepted && ACCEPTED() == cancel) form.Post(EVENT_CloseWindow);
  }
  response = manager.Response;
}

TEST(QueryByExampleForm, TheFormSearchesByWhatIsTypedAndShowsEachMatchInTurn) {
  People people(Rows());
  SQBE::FORMCLASS0 search;
  long response = 0;
  TestDriver ui;
  ui.AnswerMessage(BUTTON_OK);  // "There are no more matching records!"
  ui.Start([&] { RunSearchForm(search, people, response); });
  DriverWindow w = ui.WaitWindow("Enter Search Criteria");
  EXPECT_TRUE(w.Control("&OK").Hidden());
  // "o'" with the default match of a text (begins with) and an age of at least 40.
  w.Control("&Name:").Type("o'");
  w.Control("&Age:").Type("40");
  EXPECT_EQ(*search.BUILDFILTER(),
            "PEO:Age >= 40 AND SUB(UPPER(CLIP(PEO:Name)),1,2) = UPPER('o''')");
  w.Control("&Search").Press();
  EXPECT_EQ(w.Control("&Find Next").Text(), "&Find Next");
  EXPECT_EQ(people.current.name, "O'Brien");
  EXPECT_TRUE(ui.WaitWindow("Edit This Record?").Control("&Name:").Get(Prop::ReadOnly) == "1");
  w.Control("&Find Next").Press();  // none left: back to the criteria
  EXPECT_EQ(w.Control("&Search").Text(), "&Search");
  w.Control("&Search").Press();
  w.Control("&Edit This").Press();
  ui.Finish();
  EXPECT_EQ(response, 10) << "the caller opens the record found for change";
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].text, "There are no more matching records!");
}

// Each entry of the search form has a match-type button just before it, showing the picture
// of its match type; pressing it (or a right click on it) opens that entry's match types.
TEST(QueryByExampleForm, EachEntryHasAMatchTypeButtonShowingItsMatchType) {
  People people(Rows());
  SQBE::FORMCLASS0 search;
  long response = 0;
  TestDriver ui;
  ui.Start([&] { RunSearchForm(search, people, response); });
  DriverWindow w = ui.WaitWindow("Enter Search Criteria");
  ASSERT_EQ(search.CONTROL.size(), 2u);
  DriverControl name_button = w.ControlNumber(search.CONTROL[0].FLAG);
  DriverControl age_button = w.ControlNumber(search.CONTROL[1].FLAG);
  EXPECT_EQ(name_button.Kind(), ControlType::Button);
  EXPECT_EQ(name_button.Container(), search.CONTROL[0].FEQ) << "made inside its entry";
  EXPECT_EQ(age_button.Container(), search.CONTROL[1].FEQ);
  EXPECT_EQ(name_button.Get(Prop::Icon), "~SQBE_IG.ICO");
  w.Control("&Name:").Type("o'");
  EXPECT_EQ(name_button.Get(Prop::Icon), "~SQBE_BW.ICO") << "the form's default for texts";
  EXPECT_EQ(name_button.Get(Prop::Tip), "Begins with");
  EXPECT_EQ(age_button.Get(Prop::Icon), "~SQBE_IG.ICO");

  age_button.Press();
  DriverWindow match = ui.WaitWindow("Specify Match Type");
  match.Control("&Insert").Press();
  DriverWindow value = ui.WaitWindow("Enter Search Value");
  value.Control("&Search Value:").Type("51");
  value.Control("&OK").Press();
  match.Control("&OK").Press();
  EXPECT_EQ(search.CURRENTCONTROL, search.CONTROL[1].FEQ) << "the button's entry is current";
  EXPECT_EQ(w.Control("&Age:").Value(), "51");
  EXPECT_EQ(age_button.Get(Prop::Icon), "~SQBE_GE.ICO");

  age_button.PressKey(MouseRight);  // a right click on the button opens the same window
  ui.WaitWindow("Specify Match Type").Control("Cancel").Press();
  EXPECT_EQ(*search.BUILDFILTER(),
            "PEO:Age >= 51 AND SUB(UPPER(CLIP(PEO:Name)),1,2) = UPPER('o''')");
  w.Control("Cancel").Press();
  ui.Finish();
}

TEST(QueryByExampleForm, TheHelpButtonNeedsAFieldAndARightClickGivesItsMatchTypes) {
  People people(Rows());
  SQBE::FORMCLASS0 search;
  long response = 0;
  TestDriver ui;
  ui.AnswerMessage(BUTTON_OK);
  ui.Start([&] { RunSearchForm(search, people, response); });
  DriverWindow w = ui.WaitWindow("Enter Search Criteria");
  search.CURRENTCONTROL = 0;
  w.Control("&Help").Press();
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].caption, "Select Field First");
  w.Control("&Age:").PressKey(MouseRight);
  DriverWindow match = ui.WaitWindow("Specify Match Type");
  match.Control("&Insert").Press();
  DriverWindow value = ui.WaitWindow("Enter Search Value");
  value.Control("&Search Value:").Type("51");
  value.Control("&OK").Press();
  match.Control("&OK").Press();
  EXPECT_EQ(w.Control("&Age:").Value(), "51");
  w.Control("Cancel").Press();
  ui.Finish();
  EXPECT_EQ(response, RequestCancelled);
  EXPECT_EQ(*search.BUILDFILTER(), "PEO:Age >= 51");
}

}  // namespace
}  // namespace vx::test
