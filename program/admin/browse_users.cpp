#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "datadll/utility/colour_tab_class.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/table_view.h"
#include "program/admin/admin_windows.h"
#include "program/windows/list_window.h"

namespace vx {
namespace {

constexpr std::string_view kListFormat = "160L(2)|M~User~@s40@";

class UserBrowse final : public ZQBROWSECLASS {
 public:
  void SetQueueRecord() override { Q = {U_.USER.str()}; }
  void PrimeRecord(bool keep_buffer) override { ACCESS_USERS->PrimeRecord(keep_buffer); }
};

class UsersWindow final : public ListWindow {
 public:
  explicit UsersWindow(Window& window)
      : ListWindow(window, "BrowseUsers", *RELATE_USERS), view_(ACCESS_USERS->file(), {&U__KEYUSER}) {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeNewSelection() override;

 private:
  UserBrowse browse_;
  XPLORECLASS xplore_;  // after the browse it is attached to
  COLOURTABCLASS tabs_;
  TableView view_;
  int sheet_ = 0, list_ = 0, select_ = 0, insert_ = 0, change_ = 0, delete_ = 0;
};

void UsersWindow::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  list_ = sheet.Tab("").List(kListFormat);
  select_ = w.Button("&Select");
  insert_ = w.Button("&New");
  change_ = w.Button("&Edit");
  delete_ = w.Button("Delete");
  CancelControl = w.Button("Cl&ose").Icon("EXIT.ICO");
  w.SetCancelButton(CancelControl);
  w.Status(1, "Browsing Records");
}

Level UsersWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  browse_.Init(window()[list_], view_, *this);
  browse_.AddSortOrder();
  browse_.SetLocator([] { return U_.USER.str(); });
  if (Request == SelectRecord) {
    browse_.SelectControl = select_;
    window()[select_].Default();
  } else {
    window()[select_].Hide();
    window()[change_].Default();
  }
  browse_.InsertControl = insert_;
  browse_.ChangeControl = change_;
  browse_.DeleteControl = delete_;
  browse_.UpdateProcedure = UpdateUsers;
  xplore_.INIT(*this, browse_, window()[list_], "BrowseUsers", "?Browse:1", {"U_:USER"}, "Underline");
  OpenList(list_);
  tabs_.INIT(window(), -1, -1, 0, 0, 1, -1, kOtherTabColour);
  tabs_.COLOURTABS();
  return Level_Benign;
}

Level UsersWindow::Kill() {
  tabs_.KILL();
  return ListWindow::Kill();
}

Level UsersWindow::TakeNewSelection() {
  if (FIELD() == sheet_) {
    tabs_.COLOURTABS();
    if (window()[list_].Visible()) window().Select(list_);
  }
  return ListWindow::TakeNewSelection();
}

}  // namespace

void BrowseUsers() {
  Window window("Users");
  UsersWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
