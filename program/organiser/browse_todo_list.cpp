#include <string>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/file_manager.h"
#include "framework/table_view.h"
#include "program/common/main_procedures.h"
#include "program/organiser/todo_items.h"
#include "program/organiser/todo_windows.h"
#include "program/windows/format_date.h"
#include "program/windows/list_window.h"
#include "runtime/events.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

// The done icon (no header), priority, text, category and the completion moment (blank while
// the item was never done).
constexpr std::string_view kListFormat =
    "12L(2)I@s1@28R(2)M|~Priority~L(1)@n2@200L(2)M|~To Do~@s80@80L(2)M|~Category~@s20@"
    "52L(2)M|~Completion Date~@d3b@40L(2)M|~Completion Time~@t3b@";

// The tabs in the order shown; each reads the sort order of its number.
enum Order { kByDone = 1, kByPriority = 2, kByText = 3, kByCategory = 4 };

// The popup's Transfer to Schedule posts this to the window.
constexpr int EVENT_TransferToSchedule = EVENT_User + 518;

std::function<void()> CategoryPicker() { return MainProcedure("SelectCategories"); }

class ToDoBrowse final : public ZQBROWSECLASS {
 public:
  Control* Sheet = nullptr;

  void SetQueueRecord() override {
    Q = {"",
         TDO.Done != 0 ? "2" : "1",
         std::to_string(TDO.Priority),
         TDO.ToDo.str(),
         TDO.Category.str(),
         std::to_string(TDO.CompletionDate),
         std::to_string(TDO.CompletionTime)};
  }
  void PrimeRecord(bool keep_buffer) override { ACCESS_TODO->PrimeRecord(keep_buffer); }
  void ResetSort(bool force) override {
    const long tab = Sheet ? Sheet->Choice() : 1;
    SetSort(tab >= kByDone && tab <= kByCategory ? static_cast<int>(tab) : kByDone, force);
  }
};

class ToDoListWindow final : public ListWindow {
 public:
  explicit ToDoListWindow(Window& window)
      : ListWindow(window, "BrowseToDoList", *RELATE_TODO),
        view_(ACCESS_TODO->file(),
              {&TDO_KEYDONE, &TDO_KEYPRIORITY, &TDO_KEYTODO, &TDO_KEYCATEGORY}) {}

  void Build();
  Level Init() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;
  Level TakeEvent() override;

 private:
  void ToggleDone();
  void PickCategory();
  void Transfer();

  ToDoBrowse browse_;
  XPLORECLASS xplore_;  // after the browse it attaches to
  TableView view_;
  int sheet_ = 0, list_ = 0, pick_ = 0;
  int toggles_[4] = {};
  ListButtons buttons_;
};

void ToDoListWindow::Build() {
  Window& w = window();
  w.Icon("TODODOC.ICO");
  if (MULTIUSER != 0 && !USERID.blank()) w.Title("To Do List - " + USERID.str());
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  int order = 0;
  for (const char* tab : {"Done", "Priority", "To Do", "Category"}) {
    Control& page = sheet.Tab(tab);
    page.Arrange(Arrangement::Row);
    toggles_[order] = page.Button(order == kByCategory - 1 ? "&Toggle" : "&Toggle Done Status");
    if (order == kByCategory - 1) pick_ = page.Button("&Pick");
    ++order;
  }
  list_ = w.List(kListFormat);
  w[list_].IconList({"~blank.ico", "~done.ico"});
  Control& buttons = w.Row();
  buttons_.insert = buttons.Button("&New").Icon("insert.ico");
  buttons_.change = buttons.Button("&Edit").Icon("open.ico").Default();
  buttons_.remove = buttons.Button("&Delete").Icon("cut.ico");
  CancelControl = buttons.Button("Cl&ose").Icon("EXIT.ICO");
  w.SetCancelButton(CancelControl);
  w.Status(1, "Browsing Records");
}

Level ToDoListWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  // The Category tab lists one category; an item added there gets it (UpdateTodo).
  if (CAT.Category.blank()) CAT.Category = "General";
  browse_.Sheet = &window()[sheet_];
  browse_.Init(window()[list_], view_, *this);
  browse_.AddSortOrder(kByDone);
  browse_.SetLocator([] { return std::to_string(TDO.Done); }, kByDone);
  browse_.AddSortOrder(kByPriority);
  browse_.SetLocator([] { return std::to_string(TDO.Priority); }, kByPriority);
  browse_.AddSortOrder(kByText);
  browse_.SetLocator([] { return TDO.ToDo.str(); }, kByText);
  browse_.AddSortOrder(kByCategory);
  browse_.SetLocator([] { return std::to_string(TDO.Priority); }, kByCategory);
  browse_.SetFilter(
      [] { return UPPER(CLIP(TDO.Category.view())) == UPPER(CLIP(CAT.Category.view())); },
      "Category", kByCategory);
  WireButtons(browse_, buttons_, UpdateTodo);
  ACCESS_TODO->BindFieldsLater(browse_.Bindings);
  // The one date column is the completion date, blank for an item never done.
  window()[list_].Format(ReplaceDatePictures(kListFormat, DatePicture().substr(1) + "b"));
  AttachListExtension(
      xplore_, browse_, list_, "?Browse:1",
      {"", "TDO:Priority", "TDO:ToDo", "TDO:Category", "TDO:CompletionDate", "TDO:CompletionTime"},
      ">Header");
  OpenColouredList(list_);
  PopupClass& popup = browse_.Popup;
  popup.AddItem("-", "Separator5");
  popup.AddItemMimic("ToggleDoneStatus", toggles_[0]);
  popup.AddItem("-", "Separator6");
  popup.AddItemEvent("Transfer to Schedule", "Popup6", EVENT_TransferToSchedule, 0);
  if (!CategoryPicker()) window()[pick_].Disable();
  return Level_Benign;
}

void ToDoListWindow::ToggleDone() {
  if (browse_.Records() == 0) return;
  browse_.UpdateBuffer();
  ToggleToDoDone(TDO);
  // Written straight back: a toggle is no edit, so neither the user nor the change stamp moves.
  ACCESS_TODO->Update();
  browse_.ResetFromView();
  window().Select(list_);
}

void ToDoListWindow::PickCategory() {
  const auto picker = CategoryPicker();
  if (!picker) return;
  if (browse_.Records() > 0) browse_.UpdateBuffer();
  if (ListWindow::Pick(picker)) browse_.ResetFromView();
  window().Select(list_);
}

void ToDoListWindow::Transfer() {
  if (browse_.Records() == 0) return;
  browse_.UpdateBuffer();
  TransferToSchedule();
  window().Select(list_);
}

Level ToDoListWindow::TakeAccepted() {
  const int control = ACCEPTED();
  for (int toggle : toggles_) {
    if (control == toggle) {
      ToggleDone();
      return Level_Notify;
    }
  }
  if (control == pick_) {
    PickCategory();
    return Level_Notify;
  }
  return ListWindow::TakeAccepted();
}

Level ToDoListWindow::TakeEvent() {
  if (EVENT() == EVENT_TransferToSchedule) {
    Transfer();
    return Level_Benign;
  }
  return ListWindow::TakeEvent();
}

Level ToDoListWindow::TakeNewSelection() {
  TakeOrderTab(sheet_, xplore_, browse_, list_);
  return ListWindow::TakeNewSelection();
}

}  // namespace

void BrowseToDoList() {
  Window window("To Do Items");
  ToDoListWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
