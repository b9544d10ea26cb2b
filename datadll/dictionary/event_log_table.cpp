#include "datadll/dictionary/event_log_table.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"

namespace vx {

thread_local VX_LOG_RECORD VXL;

const storage::TableDef& VX_LOG_TABLE() {
  static const storage::TableDef def = [] {
    using R = VX_LOG_RECORD;
    auto t =
        dictionary::MakeTable<R>("VX_LOG", "VXL", "VX98Evnt.LOG", false, storage::Driver::Ascii);
    t.fields = {VX_FIELD(R, LogDate), VX_FIELD(R, LogTime), VX_FIELD(R, LogLabel),
                VX_FIELD(R, LogData)};
    t.buffer = [] { return static_cast<void*>(&VXL); };
    return t;
  }();
  return def;
}

}  // namespace vx
