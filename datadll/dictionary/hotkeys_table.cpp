#include "datadll/dictionary/hotkeys_table.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"

namespace vx {

thread_local SYSHOTKEYS_RECORD HOT;

using dictionary::MakeKey;
using storage::KeyKind;

const storage::TableDef& SYSHOTKEYS_TABLE() {
  static const storage::TableDef def = [] {
    using R = SYSHOTKEYS_RECORD;
    auto t = dictionary::MakeTable<R>("SYSHOTKEYS", "HOT", "VX97\\!Hotkeys", true);
    t.fields = {VX_FIELD(R, ID),          VX_FIELD(R, HotKey),    VX_FIELD(R, Active),
                VX_FIELD(R, Description), VX_FIELD(R, QuickText), VX_FIELD(R, Action),
                VX_FIELD(R, TextType),    VX_MEMO(R, Text)};
    t.keys = {
        MakeKey("K_HOTKEY", "Hot Keys", KeyKind::Primary, {{"HotKey"}}),
        // Text hot keys belong to no task (ID 0); leaving them out of the unique task link lets
        // more than one of them be stored.
        dictionary::Optional(MakeKey("K_ID", "Link to Schedule", KeyKind::Unique, {{"ID"}})),
        MakeKey("K_ACTIVE", "Active Hot Keys", KeyKind::Duplicates, {{"Active"}, {"HotKey"}}),
        MakeKey("K_DESCRIPTION", "Description", KeyKind::Duplicates, {{"Description"}}),
    };
    t.buffer = [] { return static_cast<void*>(&HOT); };
    return t;
  }();
  return def;
}

}  // namespace vx
