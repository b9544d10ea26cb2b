// The tree list over a file section of groups, a recursive view section of tasks under each
// group (a task's Small names its parent task) with a header, and a queue section of notes
// with a footer: expanding, contracting, finding the chosen row again after a refresh, and a
// cycle of parent links that must not open forever.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "datadll/addons/addon_keys.h"
#include "datadll/addons/tree_list_class.h"
#include "datadll/addons/tree_toolbar_target.h"
#include "framework/file_manager.h"
#include "framework/window_manager.h"
#include "runtime/storage_fixture.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"

namespace vx::test {
namespace {

Item& TaskBuffer() {
  thread_local Item task{};
  return task;
}

class TreeList : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    group_def_ = MakeItemTable("groups\\!items");
    task_def_ = MakeItemTable("tasks\\!items");
    task_def_.buffer = [] { return static_cast<void*>(&TaskBuffer()); };
    groups_.Init(group_def_);
    tasks_.Init(task_def_);
    Fill(group_def_, groups_, ItemBuffer(), {{1, 0, 0, "Home"}, {2, 0, 0, "Work"}});
    // Task 10 of group 1 with its subtask 11 and that one's 12; task 20 of group 2.
    Fill(task_def_, tasks_, TaskBuffer(),
         {{10, 1, 0, "Shop"}, {11, 0, 10, "Milk"}, {12, 0, 11, "Skimmed"}, {20, 2, 0, "Mail"}});
    notes_ = {{{"Group", "1"}, {"Note", "keys"}}, {{"Group", "2"}, {"Note", "badge"}}};
  }
  void TearDown() override {
    groups_.Close();
    tasks_.Close();
    ScratchDir::TearDown();
  }
  struct Rec {
    int id, flag, small;
    const char* name;
  };
  static void Fill(const TableDef& def, FileManager& file, Item& buffer, std::vector<Rec> recs) {
    {
      File create(def);
      ASSERT_EQ(create.Create(), 0);
    }
    ASSERT_EQ(file.Open(), 0);
    for (const Rec& r : recs) {
      buffer = Item{};
      buffer.Id = r.id;
      buffer.Flag = static_cast<std::uint8_t>(r.flag);
      buffer.Small = static_cast<std::int16_t>(r.small);
      buffer.Name = r.name;
      buffer.Amount = Decimal::FromUnits(0, 2);
      ASSERT_EQ(file.Insert(), 0);
    }
  }
  void Build() {
    list_ = &window_.List("120L(2)T~Tree~@s40@");
    tree_.INIT(*list_);
    group_.DISPLAYFIELD = task_.DISPLAYFIELD = "Name";
    note_.DISPLAYFIELD = "Note";
    header_.TEXT = "Tasks:";
    footer_.TEXT = "end of notes";
    const int g = tree_.ADDSECTION(group_, groups_, group_def_.keys[0]);
    const int t = tree_.ADDSECTION(task_, tasks_, task_def_.keys[0]);
    const int n = tree_.ADDSECTION(note_, notes_, {"Note"});
    tree_.ADDHEADER(header_, t);
    tree_.ADDFOOTER(footer_, n);
    tree_.ADDLINK(t, g, "Flag", "Id");
    tree_.ADDLINK(n, g, "Group", "Id");
    ASSERT_TRUE(tree_.ADDRECURSION(t, "Small", "Id"));
  }
  // Each row as its text, indented by its depth, "+" before a contracted one.
  std::vector<std::string> Shown() const {
    std::vector<std::string> out;
    for (const auto& r : tree_.ROWS()) {
      const long depth = std::labs(r.level);
      out.push_back(std::string(static_cast<std::size_t>(2 * (depth - 1)), ' ') +
                    (r.level < 0 ? "+" : "") + r.text);
    }
    return out;
  }

  // Opens everything over the cycle and ends the process: 0 when Work's rows came out right.
  [[noreturn]] void OpenTheCycle() {
    alarm(20);
    for (const auto& [id, parent] : {std::pair{30, 31}, std::pair{31, 30}}) {
      TaskBuffer() = Item{};
      TaskBuffer().Id = id;
      TaskBuffer().Flag = id == 30 ? 2 : 0;
      TaskBuffer().Small = static_cast<std::int16_t>(parent);
      TaskBuffer().Name = id == 30 ? "Ping" : "Pong";
      TaskBuffer().Amount = Decimal::FromUnits(0, 2);
      if (tasks_.Insert() != 0) std::_Exit(3);
    }
    Build();
    tree_.REFRESHTREE(1);
    std::vector<std::string> shown = Shown();
    const std::vector<std::string> work = {"Work",     "  Tasks:", "  Mail",        "  Ping",
                                           "    Pong", "  badge",  "  end of notes"};
    const bool ok = std::equal(work.begin(), work.end(), shown.end() - 7, shown.end());
    if (!ok) {
      for (const auto& line : shown) fprintf(stderr, "%s\n", line.c_str());
    }
    std::_Exit(ok ? 0 : 1);
  }

  TableDef group_def_, task_def_;
  FileManager groups_, tasks_;
  std::vector<addons::TreeRecord> notes_;
  Window window_{"Tree"};
  Control* list_ = nullptr;
  addons::FILESECTION group_;
  addons::VIEWSECTION task_;
  addons::QUEUESECTION note_;
  addons::HEADERSECTION header_;
  addons::FOOTERSECTION footer_;
  addons::ULTRATREECLASS tree_;
};

TEST_F(TreeList, ExpandsAndContractsRowsOverEverySectionWithHeaderAndFooter) {
  Build();
  tree_.REFRESHTREE();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"+Home", "+Work"}));
  EXPECT_EQ(list_->Rows(), 2u);
  EXPECT_EQ(list_->RowFields(1), (std::vector<std::string>{"Home", "-1"}))
      << "the list's tree column: its text and level";
  tree_.EXPAND(1);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"Home", "  Tasks:", "  +Shop", "  keys",
                                               "  end of notes", "+Work"}));
  tree_.EXPAND(1);   // open already
  tree_.EXPAND(40);  // no such row
  EXPECT_EQ(tree_.ROWS().size(), 6u);
  tree_.EXPAND(3);
  tree_.EXPAND(4);
  EXPECT_EQ(Shown(),
            (std::vector<std::string>{"Home", "  Tasks:", "  Shop", "    Milk", "      Skimmed",
                                      "  keys", "  end of notes", "+Work"}));
  EXPECT_EQ(Shown()[4], "      Skimmed");
  // Contracting Home and opening it again brings back what was open under it.
  tree_.CONTRACT(1);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"+Home", "+Work"}));
  tree_.EXPAND(1);
  EXPECT_EQ(Shown()[4], "      Skimmed");
  // Contracting with forget closes what was open below.
  tree_.CONTRACT(1, true);
  tree_.EXPAND(1);
  EXPECT_EQ(Shown()[2], "  +Shop");
}

TEST_F(TreeList, FindsTheChosenRowAgainAfterARefresh) {
  Build();
  tree_.REFRESHTREE(1);  // everything open
  const auto at = [&](const std::string& text) {
    for (std::size_t i = 0; i < tree_.ROWS().size(); ++i)
      if (tree_.ROWS()[i].text == text) return static_cast<long>(i) + 1;
    return 0L;
  };
  tree_.CURRENTCHOICE = at("Skimmed");
  // A new group before Home moves every row down; Skimmed is found again by its chain.
  ItemBuffer() = Item{};
  ItemBuffer().Id = 0;
  ItemBuffer().Name = "Attic";
  ItemBuffer().Amount = Decimal::FromUnits(0, 2);
  ASSERT_EQ(groups_.Insert(), 0);
  tree_.REFRESHTREE(4);
  EXPECT_EQ(tree_.ROWS()[static_cast<std::size_t>(tree_.CURRENTCHOICE - 1)].text, "Skimmed");
  EXPECT_EQ(list_->Choice(), tree_.CURRENTCHOICE);
  EXPECT_EQ(Shown()[0], "+Attic") << "new, so never open (it holds the subtasks, of group 0)";
  EXPECT_EQ(Shown()[1], "Home") << "the open rows stayed open";
}

TEST_F(TreeList, ARowThatIsGoneIsReportedAndTheFirstRowChosen) {
  TestDriver ui;
  ui.Start([&] {
    Build();
    tree_.REFRESHTREE(1);
    tree_.CURRENTCHOICE = static_cast<long>(tree_.ROWS().size()) - 4;  // Work
    ASSERT_EQ(tree_.ROWS()[tree_.CURRENTCHOICE - 1].text, "Work");
    ItemBuffer().Id = 2;
    ASSERT_EQ(groups_.Fetch(group_def_.keys[0]), 0);
    ASSERT_EQ(groups_.Delete(), 0);
    tree_.REFRESHTREE(4);
  });
  EXPECT_EQ(ui.WaitMessage(BUTTON_OK).text, "Previously selected record no longer in queue");
  ui.Finish();
  EXPECT_EQ(tree_.CURRENTCHOICE, 1);
}

TEST_F(TreeList, RecursionIsForViewsOnly) {
  Build();
  EXPECT_FALSE(tree_.ADDRECURSION(1, "Flag", "Id"));  // a file section
}

// Task 30 names 31 as its parent and 31 names 30: opening everything stops at a task already
// on the chain. Run in a child process with a time limit, so a tree that never ends fails.
TEST_F(TreeList, ACycleOfParentLinksOpensOnlyOnceRound) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(OpenTheCycle(), ::testing::ExitedWithCode(0), "");
}

// The tree in a window: its popup offers what the chosen row allows and runs what is chosen;
// a completed change through the section's update procedure reloads the tree.
TEST_F(TreeList, ThePopupOffersWhatTheRowAllowsAndRunsIt) {
  int updates = 0;
  task_.ADDUPDATE(
      [&](int request) {
        updates = request;
        return 1;
      },
      false, true, false);
  TestDriver ui;
  ui.Start([&] {
    Build();
    const int close = window_.Button("Close");
    tree_.SETALERTS();
    tree_.REFRESHTREE();
    while (window_.Accept() && ACCEPTED() != close) tree_.TAKEEVENT();
  });
  DriverWindow w = ui.WaitWindow("Tree");
  DriverControl list = w.ControlNumber(1);
  ASSERT_EQ(list.Rows(), 2u);
  EXPECT_EQ(list.CellDetail(1, 1).level, -1) << "the rendered row carries its level";
  list.Expand(1);
  EXPECT_EQ(list.Rows(), 6u);
  EXPECT_EQ(list.CellDetail(1, 1).level, 1);
  list.ChooseRow(3);  // Shop, a task
  ui.AnswerPopup(0);
  list.RightClick();
  EXPECT_EQ(ui.Requests().back().text,
            "~Insert|Change|~Delete|-|ExpandNode|~ContractNode|-|ExpandAll|ContractAll|-|"
            "RefreshNode|RefreshTree");
  ui.AnswerPopup(2);  // Change
  list.RightClick();
  EXPECT_EQ(updates, 2);
  EXPECT_EQ(list.Choice(), 3) << "found again after the reload";
  ui.AnswerPopup(7);  // ContractAll
  list.RightClick();
  EXPECT_EQ(list.Rows(), 2u);
  list.Contract(1);  // closed already
  EXPECT_EQ(list.Rows(), 2u);
  w.Control("Close").Press();
  ui.Finish();
}

// The keys the list alerts follow the options: updates by key and opening the whole tree only
// when asked for, and every letter and digit when typing must not move the choice.
TEST_F(TreeList, TheOptionsDecideWhichKeysTheListTakes) {
  struct Case {
    int option;
    std::vector<int> alerted, not_alerted;
  } cases[] = {
      {0, {0x226, 0x228, MouseLeft2}, {addons::InsertKey, addons::DeleteKey, 0x126, 'A'}},
      {2, {addons::InsertKey, addons::DeleteKey, addons::CtrlEnter}, {0x126, 0x128}},
      {1, {0x126, 0x128}, {addons::InsertKey}},
      {8, {'A', 'Z', '0', '9'}, {addons::InsertKey}},
      {9, {}, {addons::InsertKey, 0x126, 'A'}},  // no such option
  };
  for (const Case& c : cases) {
    Window window("Keys");
    Control& list = window.List("120L(2)T~Tree~@s40@");
    addons::ULTRATREECLASS tree;
    tree.INIT(list);
    tree.SETOPTION(c.option, true);
    tree.SETALERTS();
    std::set<std::string> keys;
    std::string all = list.Get(Prop::Alert);
    for (std::size_t at = 0; at <= all.size();) {
      const std::size_t bar = std::min(all.find('|', at), all.size());
      keys.insert(all.substr(at, bar - at));
      at = bar + 1;
    }
    for (int key : c.alerted)
      EXPECT_EQ(keys.count(std::to_string(key)), 1u) << c.option << " " << key;
    for (int key : c.not_alerted)
      EXPECT_EQ(keys.count(std::to_string(key)), 0u) << c.option << " " << key;
  }
  addons::ULTRATREECLASS tree;
  tree.SETOPTION(4, true);
  tree.SETOPTION(6, false);
  EXPECT_TRUE(tree.SELECTING);
  EXPECT_FALSE(tree.SELECTAFTERREFRESH);
}

// A depth opens every row above it at once, the rows at that depth staying closed.
TEST_F(TreeList, ADepthOpensTheRowsAboveIt) {
  Build();
  tree_.REFRESHTREE(0, 2);
  EXPECT_EQ(Shown(),
            (std::vector<std::string>{"Home", "  Tasks:", "  +Shop", "  keys", "  end of notes",
                                      "Work", "  Tasks:", "  Mail", "  badge", "  end of notes"}));
  tree_.REFRESHTREE(2);  // closing everything keeps the depth: the first level opens again
  EXPECT_EQ(Shown().size(), 10u);
}

TEST_F(TreeList, RecordNavigationMovesTheChoiceAsTheKeysWould) {
  Build();
  tree_.REFRESHTREE(1);  // 12 rows
  list_->Set(Prop::Items, 5L);
  struct Case {
    long from;
    int request;
    long to;
  } cases[] = {{3, 2004, 12}, {3, 2005, 1}, {3, 2006, 8},   {10, 2006, 12}, {3, 2007, 1},
               {8, 2007, 3},  {3, 2008, 4}, {12, 2008, 12}, {1, 2009, 1},   {3, 2010, 3}};
  ASSERT_EQ(tree_.ROWS().size(), 12u);
  for (const Case& c : cases) {
    tree_.CURRENTCHOICE = c.from;
    tree_.TAKEVCRSCROLL(c.request);
    EXPECT_EQ(tree_.CURRENTCHOICE, c.to) << c.request << " from " << c.from;
    if (c.request != 2010) {
      EXPECT_EQ(list_->Choice(), c.to);
    }
  }
}

// In a window: the update keys run the section's procedure, the select button completes the
// window for a section that may be picked, and the linked control reloads the tree.
TEST_F(TreeList, KeysButtonsAndTheLinkedControlActOnTheTree) {
  std::vector<int> requests;
  task_.ADDUPDATE(
      [&](int request) {
        requests.push_back(request);
        return 2;  // cancelled: nothing to reload
      },
      true, true, true);
  task_.ALLOWSELECT = true;
  long response = 0;
  TestDriver ui;
  ui.Start([&] {
    Build();
    WindowManager manager(window_);
    tree_.WM = &manager;
    tree_.SELECTCONTROL = window_.Button("Select");
    tree_.LINKEDCONTROL = window_.Button("Reload");
    tree_.SETOPTION(2, true);
    tree_.SETOPTION(4, true);
    tree_.SETALERTS();
    tree_.REFRESHTREE();
    while (window_.Accept()) tree_.TAKEEVENT();
    response = manager.Response;
  });
  DriverWindow w = ui.WaitWindow("Tree");
  DriverControl list = w.ControlNumber(1);
  list.Expand(1);
  list.ChooseRow(3);  // Shop
  list.PressKey(addons::InsertKey);
  list.PressKey(addons::DeleteKey);
  list.PressKey(addons::CtrlEnter);
  EXPECT_EQ(requests, (std::vector<int>{1, 3, 2}));
  w.Control("Reload").Press();
  EXPECT_EQ(list.Choice(), 1) << "reloaded, the choice starts again";
  list.ChooseRow(1);  // Home, a group: not to be picked
  w.Control("Select").Press();
  ASSERT_EQ(list.Rows(), 6u) << "still open";
  list.ChooseRow(3);
  w.Control("Select").Press();
  ui.Finish();
  EXPECT_EQ(response, RequestCompleted);
}

// The window's own code drives the whole tree by two user events: one closes every row, one
// reloads the tree (a note added meanwhile shows) keeping the open rows. Shift+Down and Shift+Up
// open and close every row from the keyboard.
TEST_F(TreeList, UserEventsAndShiftKeysActOnTheWholeTree) {
  TestDriver ui;
  ui.Start([&] {
    Build();
    tree_.SETOPTION(1, true);
    tree_.SETALERTS();
    tree_.REFRESHTREE();
    while (window_.Accept()) {
      if (EVENT() == addons::TreeRefreshEvent)
        notes_.push_back({{"Group", "1"}, {"Note", "later"}});
      tree_.TAKEEVENT();
    }
  });
  DriverWindow w = ui.WaitWindow("Tree");
  DriverControl list = w.ControlNumber(1);
  list.Expand(1);  // Home: Tasks:, Shop, keys, end of notes
  ASSERT_EQ(list.Rows(), 6u);
  w.Post(addons::TreeRefreshEvent);
  EXPECT_EQ(list.Rows(), 7u) << "Home stays open and shows the new note";
  EXPECT_EQ(list.Cell(5, 1), "later");
  w.Post(addons::TreeContractAllEvent);
  EXPECT_EQ(list.Rows(), 2u) << "only Home and Work are left";
  list.PressKey(0x128);  // Shift+Down
  EXPECT_EQ(list.Rows(), 13u);
  list.PressKey(0x126);  // Shift+Up
  EXPECT_EQ(list.Rows(), 2u);
  w.Close();
  ui.Finish();
}

// Inserting under a row hands the update procedure a new record whose link fields already hold
// the parent's values: a task under a group carries the group's id in Flag, a subtask its
// parent task's id in Small, and an insert at a header joins the header's parent.
TEST_F(TreeList, AnInsertPrimesTheNewRecordFromTheRowItGoesUnder) {
  struct Seen {
    int flag, small;
    std::string name;
  };
  std::vector<Seen> seen;
  task_.ADDUPDATE(
      [&](int request) {
        if (request == 1)
          seen.push_back({TaskBuffer().Flag, TaskBuffer().Small, TaskBuffer().Name.str()});
        return 2;
      },
      true, true, true);
  TestDriver ui;
  ui.Start([&] {
    Build();
    tree_.SETOPTION(2, true);
    tree_.SETALERTS();
    tree_.REFRESHTREE(1);
    while (window_.Accept()) tree_.TAKEEVENT();
  });
  DriverWindow w = ui.WaitWindow("Tree");
  DriverControl list = w.ControlNumber(1);
  ASSERT_EQ(list.Rows(), 12u);
  for (long row : {1L, 3L, 9L}) {  // Home, Shop, Work's "Tasks:"
    list.ChooseRow(row);
    list.PressKey(addons::InsertKey);
  }
  w.Close();
  ui.Finish();
  ASSERT_EQ(seen.size(), 3u);
  const int expected[][2] = {{1, 0}, {0, 10}, {2, 0}};
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].flag, expected[i][0]) << i;
    EXPECT_EQ(seen[i].small, expected[i][1]) << i;
    EXPECT_EQ(seen[i].name, "") << i << ": a new record, not the last one read";
  }
}

// The tasks' file was never made: probing Home for children fails, which is told, and the
// window closes with no rows left.
TEST_F(TreeList, ASectionThatCannotBeReadClosesTheWindow) {
  TableDef missing_def = MakeItemTable("missing\\!items");
  missing_def.buffer = task_def_.buffer;
  FileManager missing;
  missing.Init(missing_def);
  missing.Create = false;
  std::size_t rows = 99;
  bool closed = false;
  TestDriver ui;
  ui.Start([&] {
    list_ = &window_.List("120L(2)T~Tree~@s40@");
    tree_.INIT(*list_);
    group_.DISPLAYFIELD = task_.DISPLAYFIELD = "Name";
    const int g = tree_.ADDSECTION(group_, groups_, group_def_.keys[0]);
    const int t = tree_.ADDSECTION(task_, missing, missing_def.keys[0]);
    tree_.ADDLINK(t, g, "Flag", "Id");
    tree_.REFRESHTREE();
    rows = tree_.ROWS().size();
    while (window_.Accept()) {
    }
    closed = true;
  });
  const SeenRequest status = ui.WaitMessage(BUTTON_OK);
  EXPECT_EQ(status.text.rfind("Status ", 0), 0u) << status.text;
  EXPECT_NE(status.text.find(" attempting to load "), std::string::npos) << status.text;
  EXPECT_NE(status.text.find("missing"), std::string::npos) << status.text;
  EXPECT_EQ(ui.WaitMessage(BUTTON_OK).text, "Closing active window due to unrecoverable error");
  ui.Finish();
  EXPECT_TRUE(closed);
  EXPECT_EQ(rows, 0u);
  EXPECT_EQ(ui.Messages().size(), 2u) << "told once, not for every row probed";
}

// A tree on `list` of two queue sections, each row showing its Name: the groups by Id, and under
// each group its tasks by Name (a task's Group names its group).
void GroupsOverTasks(addons::ULTRATREECLASS& tree, Control& list,
                     addons::QUEUESECTION& group_section,
                     const std::vector<addons::TreeRecord>& groups,
                     addons::QUEUESECTION& task_section,
                     const std::vector<addons::TreeRecord>& tasks) {
  group_section.DISPLAYFIELD = task_section.DISPLAYFIELD = "Name";
  tree.INIT(list);
  const int g = tree.ADDSECTION(group_section, groups, {"Id"});
  const int t = tree.ADDSECTION(task_section, tasks, {"Name"});
  tree.ADDLINK(t, g, "Group", "Id");
}

// Rows open before a refresh open again under the busy cursor with a progress bar over the list,
// which is gone when they are all open.
TEST(TreeListProgress, ReopeningShowsItsProgressOverTheListUntilDone) {
  struct Watching final : addons::QUEUESECTION {
    std::string TAKEFORMAT(const addons::TreeRecord& record, int depth, bool loaded,
                           bool not_loaded, bool none) override {
      for (const auto& c : window->Controls()) {
        if (c->Type() == ControlType::Progress && c->Visible())
          seen.push_back(window->Get(Prop::Cursor) + " " + c->Get(Prop::Value));
      }
      return QUEUESECTION::TAKEFORMAT(record, depth, loaded, not_loaded, none);
    }
    Window* window = nullptr;
    std::vector<std::string> seen;
  };
  Window window("Progress");
  Control& area = window.Free();
  Control& list = area.List("120L(2)T~Tree~@s40@").Place(5, 5, 150, 90);
  std::vector<addons::TreeRecord> groups = {{{"Id", "1"}, {"Name", "Home"}},
                                            {{"Id", "2"}, {"Name", "Work"}}};
  std::vector<addons::TreeRecord> tasks = {{{"Group", "1"}, {"Name", "Shopping"}},
                                           {{"Group", "2"}, {"Name", "Reports"}}};
  addons::QUEUESECTION group_section;
  Watching task_section;
  task_section.window = &window;
  addons::ULTRATREECLASS tree;
  GroupsOverTasks(tree, list, group_section, groups, task_section, tasks);
  tree.REFRESHTREE();
  tree.EXPAND(2);  // Work
  tree.EXPAND(1);  // Home
  EXPECT_TRUE(task_section.seen.empty()) << "no bar for rows opened by hand";
  tree.REFRESHTREE();
  EXPECT_EQ(task_section.seen, (std::vector<std::string>{"Wait 0", "Wait 50"}));
  ASSERT_EQ(tree.ROWS().size(), 4u);
  const Control& bar = *window.Controls().back();
  ASSERT_EQ(bar.Type(), ControlType::Progress);
  EXPECT_EQ(bar.Parent(), area.Number()) << "beside the list, over it";
  EXPECT_EQ(bar.GetNumber(Prop::Y), 50);
  EXPECT_FALSE(bar.Visible());
  EXPECT_EQ(bar.GetNumber(Prop::Value), 100);
  EXPECT_NE(window.Get(Prop::Cursor), "Wait");
}

// A tree column with colours and an icon: each row carries the colour set and icon its section
// registered for the row's value (0 for any other value), or what its own TAKEFORMAT picked.
TEST(TreeListLook, RowsShowTheIconsAndColoursTheirSectionsPick) {
  struct Marked final : addons::QUEUESECTION {
    std::string TAKEFORMAT(const addons::TreeRecord& record, int depth, bool loaded,
                           bool not_loaded, bool none) override {
      if (none) FORMATICON("leaf.ico");
      return QUEUESECTION::TAKEFORMAT(record, depth, loaded, not_loaded, none);
    }
  };
  Window window("Look");
  Control& list = window.List("120L(2)*IT~Tree~@s40@");
  std::vector<addons::TreeRecord> groups = {{{"Id", "1"}, {"Name", "Home"}, {"Kind", "1"}},
                                            {{"Id", "2"}, {"Name", "Work"}, {"Kind", "7"}}};
  std::vector<addons::TreeRecord> tasks = {{{"Group", "1"}, {"Name", "Shopping"}}};
  addons::QUEUESECTION group_section;
  Marked task_section;
  group_section.PICKFIELD = "Kind";
  group_section.ADDICON("house.ico", 1);
  group_section.ADDICON("folder.ico", 0);
  group_section.ADDCOLORSET(1, 255, 16777215, 16777215, 255);
  addons::ULTRATREECLASS tree;
  GroupsOverTasks(tree, list, group_section, groups, task_section, tasks);
  tree.REFRESHTREE();
  tree.EXPAND(1);
  ASSERT_EQ(list.Rows(), 3u);
  EXPECT_EQ(list.RowFields(1),
            (std::vector<std::string>{"Home", "255", "16777215", "16777215", "255", "1", "1"}));
  EXPECT_EQ(list.RowFields(2),
            (std::vector<std::string>{"Shopping", "-1", "-1", "-1", "-1", "3", "2"}))
      << "its own pick; the list's colours";
  EXPECT_EQ(list.RowFields(3), (std::vector<std::string>{"Work", "-1", "-1", "-1", "-1", "2", "1"}))
      << "a value without its own icon takes value 0's";
  EXPECT_EQ(list.Get(Prop::IconList), "house.ico|folder.ico|leaf.ico");
}

long RowOf(const addons::ULTRATREECLASS& tree, const std::string& text) {
  for (std::size_t i = 0; i < tree.ROWS().size(); ++i)
    if (tree.ROWS()[i].text == text) return static_cast<long>(i) + 1;
  return 0;
}

void Rename(FileManager& file, Item& buffer, const TableDef& def, int id, const char* name) {
  buffer = Item{};
  buffer.Id = id;
  ASSERT_EQ(file.Fetch(def.keys[0]), 0);
  buffer.Name = name;
  ASSERT_EQ(file.Update(), 0);
}

// A completed update below the top reloads only the rows under the row it concerns: group Work,
// renamed behind the tree's back by every update here, shows its new name only after a whole
// reload, which a top row or REFRESHTREEAFTERUPDATE asks for.
TEST_F(TreeList, AnUpdateReloadsOnlyTheRowsItConcerns) {
  struct Case {
    const char* row;
    int request;
    bool whole;  // REFRESHTREEAFTERUPDATE
    std::vector<std::string> home;
    const char* work;
    const char* chosen;
  } cases[] = {
      {"Milk",
       2,
       false,
       {"Home", "  Tasks:", "  Shop", "    Oat milk", "      Skimmed", "  keys", "  end of notes"},
       "Work",
       "Oat milk"},
      {"Milk",
       2,
       true,
       {"Home", "  Tasks:", "  Shop", "    Oat milk", "      Skimmed", "  keys", "  end of notes"},
       "Office",
       "Oat milk"},
      // A new task under Milk (the section is recursive): Milk's rows are read again.
      {"Milk",
       1,
       false,
       {"Home", "  Tasks:", "  Shop", "    Milk", "      Skimmed", "      Whole", "  keys",
        "  end of notes"},
       "Work",
       "Milk"},
      // Milk's only subtask deleted: the row goes and Milk is a leaf.
      {"Skimmed",
       3,
       false,
       {"Home", "  Tasks:", "  Shop", "    Milk", "  keys", "  end of notes"},
       "Work",
       "keys"},
      {"Home",
       2,
       false,
       {"House", "  Tasks:", "  Shop", "    Milk", "      Skimmed", "  keys", "  end of notes"},
       "Office",
       "House"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.row) + " " + std::to_string(c.request));
    TearDown();
    SetUp();
    tree_ = addons::ULTRATREECLASS{};
    const auto update = [&](int request) {
      Rename(groups_, ItemBuffer(), group_def_, 2, "Office");
      if (request == 2 && std::string(c.row) == "Milk")
        Rename(tasks_, TaskBuffer(), task_def_, 11, "Oat milk");
      if (request == 2 && std::string(c.row) == "Home")
        Rename(groups_, ItemBuffer(), group_def_, 1, "House");
      if (request == 1) {
        TaskBuffer() = Item{};
        TaskBuffer().Id = 13;
        TaskBuffer().Small = 11;
        TaskBuffer().Name = "Whole";
        TaskBuffer().Amount = Decimal::FromUnits(0, 2);
        EXPECT_EQ(tasks_.Insert(), 0);
      }
      if (request == 3) {
        TaskBuffer() = Item{};
        TaskBuffer().Id = 12;
        EXPECT_EQ(tasks_.Fetch(task_def_.keys[0]), 0);
        EXPECT_EQ(tasks_.Delete(), 0);
      }
      return 1;
    };
    task_.ADDUPDATE(update, true, true, true);
    group_.ADDUPDATE(update, false, true, false);
    Build();
    tree_.SETOPTION(5, c.whole);
    tree_.REFRESHTREE(1);
    tree_.CURRENTCHOICE = RowOf(tree_, c.row);
    ASSERT_NE(tree_.CURRENTCHOICE, 0);
    tree_.UPDATEROW(c.request);
    const std::vector<std::string> shown = Shown();
    ASSERT_GT(shown.size(), c.home.size());
    EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + c.home.size()), c.home);
    EXPECT_EQ(shown[c.home.size()], c.work);
    ASSERT_GE(tree_.CURRENTCHOICE, 1);
    EXPECT_EQ(tree_.ROWS()[tree_.CURRENTCHOICE - 1].text, c.chosen);
    EXPECT_EQ(list_->Choice(), tree_.CURRENTCHOICE);
  }
}

// Reloading one row keeps what was open under it and the choice on its record, moves a choice
// below it with the rows, and leaves the rows above and below alone.
TEST_F(TreeList, RefreshingARowReadsOnlyItsRowsAgain) {
  Build();
  tree_.REFRESHTREE(1);
  tree_.CURRENTCHOICE = RowOf(tree_, "Mail");
  Rename(groups_, ItemBuffer(), group_def_, 1, "House");
  TaskBuffer() = Item{};
  TaskBuffer().Id = 14;
  TaskBuffer().Flag = 1;
  TaskBuffer().Name = "Bank";
  TaskBuffer().Amount = Decimal::FromUnits(0, 2);
  ASSERT_EQ(tasks_.Insert(), 0);
  tree_.REFRESHNODE(RowOf(tree_, "Home"));
  EXPECT_EQ(Shown(),
            (std::vector<std::string>{"Home", "  Tasks:", "  Shop", "    Milk", "      Skimmed",
                                      "  Bank", "  keys", "  end of notes", "Work",
                                      "  Tasks:", "  Mail", "  badge", "  end of notes"}))
      << "Home's own text is not read again; its new task is";
  EXPECT_EQ(tree_.ROWS()[tree_.CURRENTCHOICE - 1].text, "Mail");
  tree_.CURRENTCHOICE = RowOf(tree_, "Skimmed");
  tree_.REFRESHNODE(RowOf(tree_, "Shop"));
  EXPECT_EQ(tree_.ROWS()[tree_.CURRENTCHOICE - 1].text, "Skimmed");
  tree_.REFRESHNODE(RowOf(tree_, "Tasks:"));  // a header has no rows of its own
  tree_.REFRESHNODE(99);
  EXPECT_EQ(Shown().size(), 13u);
}

// Which section an insert at a row joins decides whether it is offered: a header's section, a
// recursive row's own, a row's first child section, and a last-level row's own only when asked.
TEST_F(TreeList, AnInsertIsOfferedByTheSectionItWouldJoin) {
  task_.ALLOWINSERT = true;
  note_.ALLOWINSERT = true;
  note_.ALLOWCHANGE = true;
  struct Case {
    const char* row;
    bool last_level;
    bool insert, change;
  } cases[] = {{"Home", false, true, false}, {"Tasks:", false, true, false},
               {"Shop", false, true, false}, {"keys", false, false, true},
               {"keys", true, true, true},   {"end of notes", true, false, false}};
  Build();
  tree_.REFRESHTREE(1);
  for (const Case& c : cases) {
    tree_.SETOPTION(3, c.last_level);
    tree_.CURRENTCHOICE = RowOf(tree_, c.row);
    const addons::ULTRATREECLASS::Rights rights = tree_.RIGHTS();
    EXPECT_EQ(rights.insert, c.insert) << c.row << " " << c.last_level;
    EXPECT_EQ(rights.change, c.change) << c.row << " " << c.last_level;
  }
}

// Ctrl+PgDn and Ctrl+PgUp from the keyboard: a top row moves one row, a deeper one to the nearest
// deeper row below or above; with none the choice stays, at the ends too.
TEST_F(TreeList, CtrlPageDownAndUpMoveByLevel) {
  constexpr int CtrlPgUp = 0x221, CtrlPgDn = 0x222;
  TestDriver ui;
  ui.Start([&] {
    Build();
    tree_.SETALERTS();
    tree_.REFRESHTREE(1);
    while (window_.Accept()) tree_.TAKEEVENT();
  });
  DriverWindow w = ui.WaitWindow("Tree");
  DriverControl list = w.ControlNumber(1);
  ASSERT_EQ(list.Rows(), 12u);
  for (const char* key : {"|545|", "|546|"})
    EXPECT_NE(("|" + list.Get(Prop::Alert) + "|").find(key), std::string::npos) << key;
  // Rows: 1 Home, 2 Tasks:, 3 Shop, 4 Milk, 5 Skimmed, 6 keys, 7 end of notes, 8 Work ... 12.
  struct Case {
    long from;
    int key;
    long to;
  } cases[] = {{1, CtrlPgDn, 2}, {8, CtrlPgUp, 7}, {1, CtrlPgUp, 1},
               {3, CtrlPgDn, 4}, {4, CtrlPgDn, 5}, {6, CtrlPgUp, 5},
               {6, CtrlPgDn, 6}, {2, CtrlPgUp, 2}, {12, CtrlPgDn, 12}};
  for (const Case& c : cases) {
    list.ChooseRow(c.from);
    list.PressKey(c.key);
    EXPECT_EQ(list.Choice(), c.to) << c.from << " " << c.key;
  }
  w.Close();
  ui.Finish();
}

// A double click on a row changes it; one on the row's open/close marker only opened or closed it.
TEST_F(TreeList, ADoubleClickOnTheMarkerIsNoChange) {
  int changes = 0;
  group_.ADDUPDATE(
      [&](int) {
        ++changes;
        return 2;
      },
      false, true, false);
  TestDriver ui;
  ui.Start([&] {
    Build();
    tree_.SETALERTS();
    tree_.REFRESHTREE();
    while (window_.Accept()) tree_.TAKEEVENT();
  });
  DriverWindow w = ui.WaitWindow("Tree");
  DriverControl list = w.ControlNumber(1);
  list.ActivateMarker(1);
  EXPECT_EQ(changes, 0);
  list.ActivateRow(1);
  EXPECT_EQ(changes, 1);
  list.ActivateCell(2, 1);
  EXPECT_EQ(changes, 2);
  w.Close();
  ui.Finish();
}

// The tree's buttons on the window's toolbar: their tips, the chosen row's rights, the two pairs
// that share a place, the record navigation, and the tree's own buttons hidden while the window
// has not the focus.
TEST_F(TreeList, TheToolbarDrivesTheTreeAndShowsTheChosenRow) {
  std::vector<int> requests;
  task_.ADDUPDATE(
      [&](int request) {
        requests.push_back(request);
        return 2;
      },
      true, true, false);
  TestDriver ui;
  ui.Start([&] {
    Build();
    const int away = window_.Button("Away");
    const int back = window_.Button("Back");
    tree_.REFRESHTREE();
    tree_.USETOOLBAR(addons::MakeTreeToolbar(window_));
    tree_.TOOLBARITEM->SETTIP(2112, "Read the tree again");
    tree_.TOOLBARITEM->TAKETOOLBAR();
    while (window_.Accept()) {
      if (ACCEPTED() == away) window_.Post(EVENT_LoseFocus);
      if (ACCEPTED() == back) window_.Post(EVENT_GainFocus);
      tree_.TAKEEVENT();
    }
  });
  DriverWindow w = ui.WaitWindow("Tree");
  DriverControl list = w.ControlNumber(1);
  const auto button = [&](const char* text) { return w.Control(text); };
  EXPECT_EQ(button("Refresh").Get(Prop::Tip), "Read the tree again");
  EXPECT_EQ(button("Insert").Get(Prop::Tip), "Insert a new record");
  // Which of each pair shows, for a closed row, an open one and a leaf.
  const auto pairs = [&] {
    std::string shown;
    for (const char* text : {"Expand All", "Contract All", "Expand", "Contract"}) {
      const DriverControl b = button(text);
      if (!b.Hidden()) shown += std::string(shown.empty() ? "" : ", ") + text;
      if (!b.Hidden() && b.Disabled()) shown += " (greyed)";
    }
    return shown;
  };
  list.ChooseRow(1);  // Home, closed
  EXPECT_EQ(pairs(), "Expand All, Expand");
  button("Expand").Press();
  EXPECT_EQ(list.Rows(), 8u) << "Home and everything below it open";
  EXPECT_EQ(pairs(), "Expand All, Contract");
  list.ChooseRow(5);  // Skimmed, with nothing below
  EXPECT_EQ(pairs(), "Expand All, Expand (greyed)");
  list.ChooseRow(1);
  button("Contract").Press();
  EXPECT_EQ(list.Rows(), 2u);
  button("Expand All").Press();
  EXPECT_EQ(list.Rows(), 12u);
  EXPECT_EQ(pairs(), "Contract All, Contract");
  // The rights of the chosen row: a task may be inserted under and changed, not deleted; a
  // footer nothing.
  const auto rights = [&] {
    std::string on;
    for (const char* text : {"Insert", "Change", "Delete", "Select"})
      if (!button(text).Disabled()) on += std::string(on.empty() ? "" : " ") + text;
    return on;
  };
  list.ChooseRow(3);  // Shop
  EXPECT_EQ(rights(), "Insert Change");
  button("Change").Press();
  EXPECT_EQ(requests, (std::vector<int>{2}));
  list.ChooseRow(7);  // the notes' footer
  EXPECT_EQ(rights(), "");
  button("Last").Press();
  EXPECT_EQ(list.Choice(), 12);
  button("Up").Press();
  EXPECT_EQ(list.Choice(), 11);
  button("Contract All").Press();
  EXPECT_EQ(list.Rows(), 2u);
  EXPECT_EQ(pairs(), "Expand All, Expand");
  // Away from the window the tree's own buttons go; back, they come again.
  w.Control("Away").Press();
  for (const char* text : {"Refresh", "Expand All", "Contract All", "Expand", "Contract"})
    EXPECT_TRUE(button(text).Hidden()) << text;
  EXPECT_FALSE(button("Insert").Hidden());
  w.Control("Back").Press();
  EXPECT_EQ(pairs(), "Expand All, Expand");
  EXPECT_FALSE(button("Refresh").Hidden());
  w.Close();
  ui.Finish();
}

// A toolbar is taken only while the tree's list is shown.
TEST_F(TreeList, AHiddenTreeLeavesTheToolbarAlone) {
  Build();
  list_->Hide();
  const std::map<int, int> buttons = addons::MakeTreeToolbar(window_);
  tree_.USETOOLBAR(buttons);
  EXPECT_EQ(window_[buttons.at(2112)].Get(Prop::Tip), "");
  list_->Unhide();
  EXPECT_TRUE(tree_.TOOLBARITEM->TRYTAKETOOLBAR());
  EXPECT_EQ(window_[buttons.at(2112)].Get(Prop::Tip), "Reload the tree");
}

}  // namespace
}  // namespace vx::test
