#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/zq_browse_class.h"
#include "framework/table_view.h"
#include "program/organiser/contact_windows.h"
#include "program/windows/list_window.h"
#include "program/windows/record_form.h"

namespace vx {
namespace {

class ContactCategoryPicker final : public ListWindow {
 public:
  explicit ContactCategoryPicker(Window& window)
      : ListWindow(window, "SelectContactCategories", *RELATE_CONTACTCATEGORIES),
        view_(ACCESS_CONTACTCATEGORIES->file(), {&CC_KEYCONTACTCATEGORIES}) {
    AlwaysSelect();  // a picker whatever the request
  }

  void Build() {
    Window& w = window();
    Control& sheet = w.Sheet();
    list_ = sheet.Tab("Category").List("80L(2)|M~Category~@s20@");
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
    browse_.SetLocator([] { return CC.ContactCategory.str(); });
    browse_.SelectControl = select_;
    OpenList(list_);
    return Level_Benign;
  }

 private:
  struct Browse final : ZQBROWSECLASS {
    void SetQueueRecord() override { Q = {CC.ContactCategory.str()}; }
  } browse_;
  TableView view_;
  int list_ = 0, select_ = 0, cancel_ = 0;
};

}  // namespace

void SelectContactCategories() {
  Window window("Select a Category");
  ContactCategoryPicker picker(window);
  picker.Build();
  picker.Run();
}

void UpdateContactCategories() {
  Window window("Update Contact Category");
  window.Prompt("&Category:");
  window.Entry(CC.ContactCategory, "@s20").Required().Tip("Contact Category");
  const int ok = window.Button("&OK").Default();
  const int cancel = window.Button("Cancel");
  window.SetCancelButton(cancel);

  RecordForm form(window, "UpdateContactCategories", *RELATE_CONTACTCATEGORIES, "Contact Category");
  form.OkControl = ok;
  form.CancelControl = cancel;
  form.Run();
}

}  // namespace vx
