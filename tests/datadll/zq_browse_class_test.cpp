// The program's list browse driven as a user drives it: View and Copy follow the rows, and Enter
// and a double click press whichever of Select, View and Change is the default button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datadll/utility/zq_browse_class.h"
#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/fixed_string.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"

namespace vx {
namespace {

struct ItemRecord {
  long ID = 0;
  String<20> Name;
};
ItemRecord ITM;
std::vector<ItemRecord> g_items;
long g_last_id = 0;
std::vector<long> g_requests;  // the requests the update form was started with, in order

class ItemView final : public BrowseView {
 public:
  void Reset(int) override { next_ = 0; }
  bool Next() override {
    if (next_ >= g_items.size()) return false;
    ITM = g_items[next_++];
    return true;
  }
  long Position() const override { return ITM.ID; }
  bool Fetch(long position) override {
    for (const ItemRecord& item : g_items) {
      if (item.ID == position) {
        ITM = item;
        return true;
      }
    }
    return false;
  }

 private:
  std::size_t next_ = 0;
};

// The update form, reduced to what the browse sees of it: an insert stores the buffer as a new
// item; every other request is noted and cancelled.
void UpdateItem() {
  g_requests.push_back(CurrentRequest());
  if (CurrentRequest() != InsertRecord) {
    SetCurrentResponse(RequestCancelled);
    return;
  }
  ITM.ID = ++g_last_id;
  g_items.push_back(ITM);
  SetCurrentResponse(RequestCompleted);
}

struct BrowseSetup {
  bool view_and_copy = true;
  bool selecting = false;
  const char* default_button = "&Edit";
  bool claim_double_clicks = false;
};
BrowseSetup g_setup;
long g_response = 0;

void BrowseItems() {
  Window window("Items");
  Control& list = window.List("80L~Name~@s20@");
  const int select = window.Button("&Select");
  const int view = g_setup.view_and_copy ? window.Button("&View").Number() : 0;
  const int copy = g_setup.view_and_copy ? window.Button("Cop&y").Number() : 0;
  const int insert = window.Button("&New");
  const int change = window.Button("&Edit");
  const int close = window.Button("Cl&ose");
  for (const auto& control : window.Controls()) {
    if (control->TextValue() == g_setup.default_button) control->Default();
  }

  struct Browse final : ZQBROWSECLASS {
    void SetQueueRecord() override { Q = {ITM.Name.str()}; }
    void PrimeRecord(bool keep_buffer) override {
      if (!keep_buffer) ITM = ItemRecord{0, "New item"};
      ITM.ID = 0;
    }
  } browse;
  ItemView items;
  WindowManager manager(window);
  manager.CancelControl = close;
  browse.Init(list, items, manager);
  browse.Selecting = g_setup.selecting;
  browse.AddSortOrder();
  browse.SelectControl = select;
  browse.InsertControl = insert;
  browse.ChangeControl = change;
  browse.ViewControl = view;
  browse.CopyControl = copy;
  browse.UpdateProcedure = UpdateItem;
  if (g_setup.claim_double_clicks) browse.DoubleClickClaimed = [] { return true; };
  manager.Run();
  g_response = manager.Response;
}

void ResetItems() {
  g_items = {{1, "Work"}, {2, "Home"}};
  g_last_id = 2;
  g_requests.clear();
  g_setup = {};
  g_response = 0;
}

class ZQBrowse : public ::testing::Test {
 protected:
  void SetUp() override { ResetItems(); }
  TestDriver ui;
};

TEST_F(ZQBrowse, AnEmptyBrowseGreysViewAndCopyUntilTheFirstRecordIsAdded) {
  g_items.clear();
  ui.Start(BrowseItems);
  DriverWindow w = ui.WaitWindow("Items");
  EXPECT_TRUE(w.Control("&View").Disabled());
  EXPECT_TRUE(w.Control("Cop&y").Disabled());
  EXPECT_TRUE(w.Control("&Edit").Disabled());
  w.ControlNumber(1).PressKey(EnterKey);
  w.ControlNumber(1).ActivateRow(1);
  EXPECT_TRUE(g_requests.empty()) << "Enter and a double click on an empty list press nothing";

  w.Control("&New").Press();
  EXPECT_EQ(g_requests, std::vector<long>{InsertRecord});
  EXPECT_EQ(w.ControlNumber(1).Rows(), 1u);
  EXPECT_FALSE(w.Control("&View").Disabled());
  EXPECT_FALSE(w.Control("Cop&y").Disabled());
  w.Close();
  ui.Finish();
}

TEST(ZQBrowseKeys, EnterAndADoubleClickPressTheDefaultButton) {
  const struct {
    const char* default_button;
    bool view_button;
    int key;  // EnterKey, MouseLeft2 (a double click) or ShiftEnter
    long request;
  } cases[] = {
      {"&Edit", true, EnterKey, ChangeRecord},  // Change, though a View button exists
      {"&Edit", true, MouseLeft2, ChangeRecord}, {"&View", true, EnterKey, ViewRecord},
      {"&View", true, MouseLeft2, ViewRecord},   {"&Edit", false, EnterKey, ChangeRecord},
      {"&New", true, EnterKey, ChangeRecord},   // no default among them: the framework's Change
      {"&Edit", true, ShiftEnter, ViewRecord},  // Shift+Enter views whatever the default
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.default_button) + (c.view_button ? " with View, key " : ", key ") +
                 std::to_string(c.key));
    ResetItems();
    g_setup.default_button = c.default_button;
    g_setup.view_and_copy = c.view_button;
    TestDriver driver;
    driver.Start(BrowseItems);
    DriverWindow w = driver.WaitWindow("Items");
    DriverControl list = w.ControlNumber(1);
    list.ChooseRow(2);
    if (c.key == MouseLeft2) {
      list.ActivateRow(2);
    } else {
      list.PressKey(c.key);
    }
    EXPECT_EQ(g_requests, std::vector<long>{c.request});
    EXPECT_EQ(ITM.Name, "Home") << "the form gets the highlighted record";
    w.Close();
    driver.Finish();
  }
}

TEST_F(ZQBrowse, ASelectingBrowsesDoubleClickPressesSelectThoughItHasAView) {
  g_setup.selecting = true;
  g_setup.default_button = "&Select";
  ui.Start(BrowseItems);
  DriverWindow w = ui.WaitWindow("Items");
  EXPECT_FALSE(w.Control("&Select").Hidden());
  w.ControlNumber(1).ActivateRow(2);
  ui.Finish();
  EXPECT_TRUE(g_requests.empty());
  EXPECT_EQ(g_response, RequestCompleted);
  EXPECT_EQ(ITM.Name, "Home");
}

TEST_F(ZQBrowse, CopyStartsAnInsertFromTheHighlightedRecord) {
  ui.Start(BrowseItems);
  DriverWindow w = ui.WaitWindow("Items");
  w.ControlNumber(1).ChooseRow(2);
  w.Control("Cop&y").Press();
  ASSERT_EQ(g_items.size(), 3u);
  EXPECT_EQ(g_items.back().Name, "Home");
  EXPECT_EQ(g_items.back().ID, 3);
  EXPECT_EQ(w.ControlNumber(1).Choice(), 3) << "the copy is highlighted";

  // The list's popup offers View beside the framework's items.
  ui.AnswerPopup(0);
  w.ControlNumber(1).RightClick();
  bool offered = false;
  for (const SeenRequest& r : ui.Requests()) {
    if (r.kind == Request::Kind::Popup) offered = r.text.find("&View") != std::string::npos;
  }
  EXPECT_TRUE(offered);
  w.Close();
  ui.Finish();
}

TEST_F(ZQBrowse, ADoubleClickTheListExtensionClaimsIsLeftToIt) {
  g_setup.claim_double_clicks = true;
  ui.Start(BrowseItems);
  DriverWindow w = ui.WaitWindow("Items");
  w.ControlNumber(1).ActivateRow(1);
  EXPECT_TRUE(g_requests.empty());
  w.ControlNumber(1).PressKey(EnterKey);
  EXPECT_EQ(g_requests, std::vector<long>{ChangeRecord}) << "Enter is still the browse's";
  w.Close();
  ui.Finish();
}

}  // namespace
}  // namespace vx
