#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "program/schedule/category_windows.h"
#include "program/windows/category_picker.h"

namespace vx {

void SelectCategories() {
  RunCategoryPicker({.procedure = "SelectCategories",
                     .relation = RELATE_CATEGORIES,
                     .file = &ACCESS_CATEGORIES->file(),
                     .key = &CAT_KEYCATEGORY,
                     .category = [] { return CAT.Category.str(); }});
}

}  // namespace vx
