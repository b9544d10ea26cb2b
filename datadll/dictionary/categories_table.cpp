#include "datadll/dictionary/categories_table.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"

namespace vx {

thread_local CATEGORIES_RECORD CAT;

const storage::TableDef& CATEGORIES_TABLE() {
  static const storage::TableDef def = [] {
    using R = CATEGORIES_RECORD;
    auto t = dictionary::MakeTable<R>("CATEGORIES", "CAT", "VX97\\!Categories", true);
    t.fields = {VX_FIELD(R, Category)};
    t.keys = {
        dictionary::MakeKey("KeyCategory", "Category", storage::KeyKind::Primary, {{"Category"}})};
    t.buffer = [] { return static_cast<void*>(&CAT); };
    return t;
  }();
  return def;
}

}  // namespace vx
