#include "datadll/dictionary/holidays_table.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"

namespace vx {

thread_local HOLIDAYS_RECORD HOL;

const storage::TableDef& HOLIDAYS_TABLE() {
  static const storage::TableDef def = [] {
    using R = HOLIDAYS_RECORD;
    auto t = dictionary::MakeTable<R>("HOLIDAYS", "HOL", "VX97\\!Hol", true);
    t.fields = {VX_FIELD(R, HolidayDate), VX_FIELD(R, Holiday), VX_FIELD(R, HolidayType)};
    t.keys = {dictionary::MakeKey("KeyHolidayDate", "HOL:KeyHolidayDate", storage::KeyKind::Unique,
                                  {{"HolidayDate"}})};
    t.buffer = [] { return static_cast<void*>(&HOL); };
    return t;
  }();
  return def;
}

}  // namespace vx
