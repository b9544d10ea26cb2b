#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "program/organiser/contact_windows.h"
#include "program/windows/category_picker.h"
#include "program/windows/record_form.h"

namespace vx {

void SelectContactCategories() {
  RunCategoryPicker({.procedure = "SelectContactCategories",
                     .relation = RELATE_CONTACTCATEGORIES,
                     .file = &ACCESS_CONTACTCATEGORIES->file(),
                     .key = &CC_KEYCONTACTCATEGORIES,
                     .category = [] { return CC.ContactCategory.str(); },
                     .on_tab = true});
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
