#include "datadll/dictionary/configuration_table.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"

namespace vx {

thread_local CONFIGURATION_RECORD CF;

const storage::TableDef& CONFIGURATION_TABLE() {
  static const storage::TableDef def = [] {
    using R = CONFIGURATION_RECORD;
    auto t = dictionary::MakeTable<R>("CONFIGURATION", "CF", "VX97\\!CF", true);
    t.fields = {VX_FIELD(R, DataType), VX_FIELD(R, DataValue)};
    t.keys = {
        dictionary::MakeKey("KeyDataType", "Data Type", storage::KeyKind::Primary, {{"DataType"}})};
    t.buffer = [] { return static_cast<void*>(&CF); };
    return t;
  }();
  return def;
}

}  // namespace vx
