#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/zq_browse_class.h"
#include "framework/table_view.h"
#include "program/schedule/category_windows.h"
#include "program/windows/list_window.h"

namespace vx {
namespace {

class CategoryPicker final : public ListWindow {
 public:
  explicit CategoryPicker(Window& window)
      : ListWindow(window, "SelectCategories", *RELATE_CATEGORIES),
        view_(ACCESS_CATEGORIES->file(), {&CAT_KEYCATEGORY}) {
    AlwaysSelect();  // a picker whatever the request
  }

  void Build() {
    Window& w = window();
    list_ = w.List("80L(2)|M~Category~@s20@");
    select_ = w.Button("&Select").Default();
    cancel_ = w.Button("Cancel");
    w.SetCancelButton(cancel_);
    CancelControl = cancel_;
  }

  Level Init() override {
    const Level level = ListWindow::Init();
    if (level != Level_Benign) return level;
    browse_.Init(window()[list_], view_, *this);
    browse_.AddSortOrder();
    browse_.SetLocator([] { return CAT.Category.str(); });
    browse_.SelectControl = select_;
    OpenList(list_);
    return Level_Benign;
  }

 private:
  struct Browse final : ZQBROWSECLASS {
    void SetQueueRecord() override { Q = {CAT.Category.str()}; }
  } browse_;
  TableView view_;
  int list_ = 0, select_ = 0, cancel_ = 0;
};

}  // namespace

void SelectCategories() {
  Window window("Select a Category");
  CategoryPicker picker(window);
  picker.Build();
  picker.Run();
}

}  // namespace vx
