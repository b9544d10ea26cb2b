#include "program/windows/category_picker.h"

#include "datadll/utility/zq_browse_class.h"
#include "framework/table_view.h"
#include "program/windows/list_window.h"

namespace vx {
namespace {

class CategoryPicker final : public ListWindow {
 public:
  CategoryPicker(Window& window, const CategoryPickerSpec& spec)
      : ListWindow(window, spec.procedure, *spec.relation),
        spec_(spec),
        view_(*spec.file, {spec.key}) {
    AlwaysSelect();
    browse_.category = &spec_.category;
  }

  void Build() {
    Window& w = window();
    if (!spec_.icon.empty()) w.Icon(spec_.icon);
    constexpr std::string_view kFormat = "80L(2)|M~Category~@s20@";
    list_ = spec_.on_tab ? w.Sheet().Tab("Category").List(kFormat) : w.List(kFormat);
    Control& select = w.Button("&Select");
    if (!spec_.select_icon.empty()) select.Icon(spec_.select_icon);
    select_ = select.Default();
    CancelControl = w.Button("Cancel");
    w.SetCancelButton(CancelControl);
  }

  Level Init() override {
    const Level level = ListWindow::Init();
    if (level != Level_Benign) return level;
    browse_.Init(window()[list_], view_, *this);
    browse_.AddSortOrder();
    browse_.SetLocator(spec_.category);
    browse_.SelectControl = select_;
    OpenList(list_);
    return Level_Benign;
  }

 private:
  struct Browse final : ZQBROWSECLASS {
    const std::function<std::string()>* category = nullptr;
    void SetQueueRecord() override { Q = {(*category)()}; }
  } browse_;
  const CategoryPickerSpec& spec_;
  TableView view_;
  int list_ = 0, select_ = 0;
};

}  // namespace

void RunCategoryPicker(const CategoryPickerSpec& spec) {
  Window window("Select a Category");
  CategoryPicker picker(window, spec);
  picker.Build();
  picker.Run();
}

}  // namespace vx
