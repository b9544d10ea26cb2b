#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
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
      : ListWindow(window, "BrowseUsers", *RELATE_USERS),
        view_(ACCESS_USERS->file(), {&U__KEYUSER}) {}

  void Build();
  Level Init() override;
  Level TakeNewSelection() override;

 private:
  UserBrowse browse_;
  ListXplore xplore_;  // after the browse it is attached to
  TableView view_;
  int sheet_ = 0, list_ = 0;
  ListButtons buttons_;
};

void UsersWindow::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  list_ = sheet.Tab("").List(kListFormat);
  buttons_.select = w.Button("&Select");
  buttons_.insert = w.Button("&New");
  buttons_.change = w.Button("&Edit");
  buttons_.remove = w.Button("Delete");
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
  ShowSelectWhenPicking(browse_, buttons_);
  WireButtons(browse_, buttons_, UpdateUsers);
  AttachListExtension(xplore_, browse_, list_, "?Browse:1", {"U_:USER"}, "Underline");
  OpenColouredList(list_);
  return Level_Benign;
}

Level UsersWindow::TakeNewSelection() {
  if (RecolourTabs(sheet_) && window()[list_].Visible()) window().Select(list_);
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
