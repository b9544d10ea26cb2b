#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "datadll/utility/zq_browse_class.h"
#include "framework/table_view.h"
#include "framework/window_manager.h"
#include "framework/window_position.h"
#include "program/schedule/category_windows.h"
#include "program/windows/program_errors.h"

namespace vx {
namespace {

constexpr std::string_view kProcedure = "SelectCategories";

class CategoryPicker final : public WindowManager {
 public:
  explicit CategoryPicker(Window& window)
      : WindowManager(window), view_(ACCESS_CATEGORIES->file(), {&CAT_KEYCATEGORY}) {}

  void Build() {
    Window& w = window();
    list_ = w.List("80L(2)|M~Category~@s20@");
    select_ = w.Button("&Select").Default();
    cancel_ = w.Button("Cancel");
    w.SetCancelButton(cancel_);
    CancelControl = cancel_;
  }

  Level Init() override {
    ProgramErrors().SetProcedureName(kProcedure);
    WindowManager::Init();
    if (RELATE_CATEGORIES->Open() != 0) return Level_Notify;
    opened_ = true;
    browse_.Init(window()[list_], view_, *this);
    browse_.Selecting = true;  // a picker whatever the request
    browse_.AddSortOrder();
    browse_.SetLocator([] { return CAT.Category.str(); });
    browse_.SelectControl = select_;
    Open();
    if (IniFile* positions = IniInUse()) FetchWindowPlace(*positions, kProcedure, window());
    return Level_Benign;
  }

  Level Kill() override {
    if (Opened) {
      if (IniFile* positions = IniInUse()) SaveWindowPlace(*positions, kProcedure, window());
    }
    // The chosen record stays in the buffer: the caller reads it.
    const CATEGORIES_RECORD chosen = CAT;
    WindowManager::Kill();
    if (opened_) RELATE_CATEGORIES->Close();
    CAT = chosen;
    ProgramErrors().SetProcedureName({});
    return Level_Benign;
  }

 private:
  struct Browse final : ZQBROWSECLASS {
    void SetQueueRecord() override { Q = {CAT.Category.str()}; }
  } browse_;
  TableView view_;
  int list_ = 0, select_ = 0, cancel_ = 0;
  bool opened_ = false;
};

}  // namespace

void SelectCategories() {
  Window window("Select a Category");
  CategoryPicker picker(window);
  picker.Build();
  picker.Run();
}

}  // namespace vx
