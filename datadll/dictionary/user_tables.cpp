#include "datadll/dictionary/user_tables.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"

namespace vx {

thread_local USERS_RECORD U_;
thread_local VXUSD_RECORD US;

using dictionary::MakeKey;
using storage::KeyKind;

const storage::TableDef& USERS_TABLE() {
  static const storage::TableDef def = [] {
    using R = USERS_RECORD;
    auto t = dictionary::MakeTable<R>("USERS", "U_", "VX97\\!Users", true);
    t.fields = {VX_FIELD(R, USER),        VX_FIELD(R, PASSWORD), VX_FIELD(R, CONFIRMPASSWORD),
                VX_FIELD(R, USEPASSWORD), VX_FIELD(R, SECURITY), VX_FIELD(R, SOURCEPATH),
                VX_MEMO(R, NOTES)};
    t.keys = {MakeKey("KEYUSER", "User", KeyKind::Primary, {{"USER"}})};
    t.buffer = [] { return static_cast<void*>(&U_); };
    return t;
  }();
  return def;
}

const storage::TableDef& VXUSD_TABLE() {
  static const storage::TableDef def = [] {
    using R = VXUSD_RECORD;
    auto t = dictionary::MakeTable<R>("VXUSD", "US", "VX97.TPS\\!UserScheduleDetails", true);
    t.fields = {VX_FIELD(R, USER),
                VX_FIELD(R, ID),
                VX_FIELD(R, DATE),
                VX_FIELD(R, TIME),
                VX_FIELD(R, LASTRUNDATE),
                VX_FIELD(R, LASTRUNTIME),
                VX_FIELD(R, SKIPNEXTTIME),
                VX_FIELD(R, ADVANCEWARNDATE),
                VX_FIELD(R, ADVANCEWARNTIME),
                VX_FIELD(R, ADVANCEWARNED),
                VX_FIELD(R, DISABLED),
                VX_FIELD(R, COMPLETED),
                VX_FIELD(R, SKIPPED)};
    t.keys = {
        MakeKey("KEYID", "Schedule ID", KeyKind::Primary, {{"ID"}, {"USER"}}),
        MakeKey("KEYUSER", "User", KeyKind::Duplicates,
                {{"USER"}, {"COMPLETED"}, {"DISABLED"}, {"DATE"}, {"TIME"}}),
        // The advance-warning group that led this key compared its raw bytes (little-endian
        // numbers), which orders nothing; the key orders by its real fields alone. The user
        // comes first, so that one user's due warnings are found without reading past the
        // other users' rows; a file keyed without it has its keys made again when it opens.
        MakeKey("KEYADVANCED", "Advanced Warning", KeyKind::Duplicates,
                {{"USER"},
                 {"ADVANCEWARNED"},
                 {"DISABLED"},
                 {"COMPLETED"},
                 {"ADVANCEWARNDATE"},
                 {"ADVANCEWARNTIME"}}),
    };
    t.buffer = [] { return static_cast<void*>(&US); };
    return t;
  }();
  return def;
}

}  // namespace vx
