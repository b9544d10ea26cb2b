#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/table_managers.h"
#include "program/schedule/category_windows.h"
#include "program/windows/record_form.h"

namespace vx {

void UpdateCategories() {
  Window window("Update Category");
  window.Prompt("&Category:");
  window.Entry(CAT.Category, "@s20").Required();
  const int ok = window.Button("&OK").Default();
  const int cancel = window.Button("Cancel");
  window.SetCancelButton(cancel);

  RecordForm form(window, "UpdateCategories", *RELATE_CATEGORIES, "Category");
  form.OkControl = ok;
  form.CancelControl = cancel;
  form.Run();
}

}  // namespace vx
