#include "datadll/dictionary/export_table.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"
#include "datadll/dictionary/globals.h"

namespace vx {

thread_local EXPORT_RECORD EXP;

const storage::TableDef& EXPORT_TABLE() {
  static const storage::TableDef def = [] {
    using R = EXPORT_RECORD;
    auto t = dictionary::MakeTable<R>("EXPORT", "EXP", "", false, storage::Driver::Basic);
    t.stored_name_ref = &GLO_EXPORTNAME;
    t.fields = {VX_FIELD(R, TYPE),   VX_FIELD(R, FIELD1), VX_FIELD(R, FIELD2), VX_FIELD(R, FIELD3),
                VX_FIELD(R, FIELD4), VX_FIELD(R, FIELD5), VX_FIELD(R, FIELD6)};
    t.buffer = [] { return static_cast<void*>(&EXP); };
    return t;
  }();
  return def;
}

}  // namespace vx
