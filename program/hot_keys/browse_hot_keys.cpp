#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/request_globals.h"
#include "framework/table_view.h"
#include "program/hot_keys/hot_key_windows.h"
#include "program/windows/list_window.h"

namespace vx {
namespace {

constexpr std::string_view kListFormat =
    "80L(2)M~Key~@s20@28L(2)M~Action~@s4@160L(2)M~Description~@s40@";

// Sort orders: the tab "Hot Key" lists by the key text, the tab "Description" by description.
constexpr int kByHotKey = 1;
constexpr int kByDescription = 2;

class HotKeyBrowse final : public ZQBROWSECLASS {
 public:
  Control* Sheet = nullptr;

  void SetQueueRecord() override {
    Q = {HOT.HotKey.str(), HOT.Action.str(), HOT.QuickText.str(), HOT.Description.str()};
  }
  void PrimeRecord(bool keep_buffer) override { ACCESS_SYSHOTKEYS->PrimeRecord(keep_buffer); }
  void ResetSort(bool force) override {
    SetSort(Sheet && Sheet->Choice() == 2 ? kByDescription : kByHotKey, force);
  }
  // A deleted hot key takes the task made only for it along. The list is read again before the
  // form's answer arrives here, so the record offered for deletion is kept aside.
  long Ask(long request) override {
    if (request != DeleteRecord || Records() == 0) return ZQBROWSECLASS::Ask(request);
    UpdateBuffer();
    const SYSHOTKEYS_RECORD offered = HOT;
    const long response = ZQBROWSECLASS::Ask(request);
    if (response == RequestCompleted) {
      const SYSHOTKEYS_RECORD shown = HOT;
      HOT = offered;
      DeleteHotKeyTask();
      HOT = shown;
    }
    return response;
  }
};

class HotKeysWindow final : public ListWindow {
 public:
  explicit HotKeysWindow(Window& window)
      : ListWindow(window, "BrowseHotKeys", *RELATE_SYSHOTKEYS),
        view_(ACCESS_SYSHOTKEYS->file(), {&HOT_K_HOTKEY, &HOT_K_DESCRIPTION}) {}

  void Build();
  Level Init() override;
  Level TakeNewSelection() override;

 private:
  HotKeyBrowse browse_;
  ListXplore xplore_;  // after the browse it attaches to
  TableView view_;
  int sheet_ = 0, list_ = 0;
  ListButtons buttons_;
};

void HotKeysWindow::Build() {
  Window& w = window();
  w.Set(Prop::Icon, "busykey2.ico");
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  sheet.Tab("Hot Key");
  sheet.Tab("Description");
  list_ = w.List(kListFormat);
  Control& buttons = w.Row();
  buttons_.insert = buttons.Button("&New").Icon("insert.ico");
  buttons_.change = buttons.Button("&Edit").Icon("open.ico").Default();
  buttons_.remove = buttons.Button("&Delete").Icon("cut.ico");
  CancelControl = buttons.Button("Cl&ose").Icon("CLOSE.ICO");
  w.SetCancelButton(CancelControl);
  w.Status(1, "Browsing Records");
}

Level HotKeysWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  browse_.Sheet = &window()[sheet_];
  browse_.Init(window()[list_], view_, *this);
  browse_.AddSortOrder(kByHotKey);
  browse_.SetLocator([] { return HOT.HotKey.str(); }, kByHotKey);
  browse_.AddSortOrder(kByDescription);
  browse_.SetLocator([] { return HOT.Description.str(); }, kByDescription);
  WireButtons(browse_, buttons_, UpdateHotKeys);
  ACCESS_SYSHOTKEYS->BindFieldsLater(browse_.Bindings);
  AttachListExtension(xplore_, browse_, list_, "?Browse:1",
                      {"HOT:HotKey", "HOT:Action", "HOT:QuickText", "HOT:Description"}, ">Header");
  OpenColouredList(list_);
  return Level_Benign;
}

Level HotKeysWindow::TakeNewSelection() {
  TakeOrderTab(sheet_, xplore_, browse_, list_);
  return ListWindow::TakeNewSelection();
}

}  // namespace

void BrowseHotKeys() {
  Window window("Hot Keys");
  HotKeysWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
