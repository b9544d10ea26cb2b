// The one-column category picker the lists open to choose a category: a list of the names in
// key order with a locator, Select (also Enter or a double click) and Cancel. It is always a
// picker whatever the thread's request, and leaves the chosen record in its table's buffer.
//
// Task, contact and clipboard categories are each picked this way; they differ only in the
// table, its key, the column's value and the window's dress (a sheet tab, icons).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "framework/relation_manager.h"
#include "runtime/storage/file.h"

namespace vx {

struct CategoryPickerSpec {
  std::string_view procedure;  // the window's procedure name (its place is kept under it)
  RelationManager* relation = nullptr;
  storage::File* file = nullptr;
  const storage::KeyDef* key = nullptr;   // the names' order
  std::function<std::string()> category;  // the name in the table's record buffer
  bool on_tab = false;                    // the list stands on a "Category" tab
  std::string_view icon, select_icon;     // empty for none
};

// Opens the picker "Select a Category" on this thread and runs it until it closes.
void RunCategoryPicker(const CategoryPickerSpec& spec);

}  // namespace vx
