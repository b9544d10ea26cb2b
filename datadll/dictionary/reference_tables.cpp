#include "datadll/dictionary/reference_tables.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"

namespace vx {

thread_local FAVORITES_RECORD FAV;
thread_local ACTIONS_RECORD ACT;
thread_local COMMANDS_RECORD CMD;

using dictionary::MakeKey;
using storage::KeyKind;

const storage::TableDef& FAVORITES_TABLE() {
  static const storage::TableDef def = [] {
    using R = FAVORITES_RECORD;
    auto t = dictionary::MakeTable<R>("FAVORITES", "FAV", "VX97\\!Fav", true);
    t.fields = {VX_FIELD(R, FAVTYPE), VX_FIELD(R, FAVDESC), VX_FIELD(R, DATA)};
    t.keys = {MakeKey("KEYFAVTYPE", "FAV:KeyFavType", KeyKind::Unique, {{"FAVTYPE"}, {"FAVDESC"}})};
    t.buffer = [] { return static_cast<void*>(&FAV); };
    return t;
  }();
  return def;
}

const storage::TableDef& ACTIONS_TABLE() {
  static const storage::TableDef def = [] {
    using R = ACTIONS_RECORD;
    auto t = dictionary::MakeTable<R>("ACTIONS", "ACT", "ACTIONS", false);
    t.display_name = "Actions";
    t.fields = {VX_FIELD(R, ACTION), VX_FIELD(R, ACTIONDESCRIPTION), VX_FIELD(R, SEQ)};
    t.keys = {
        // Optional: the numbered placeholder of a new record has no action name yet, and two
        // of them must not collide on the blank name.
        dictionary::Optional(MakeKey("KEYACTION", "Action", KeyKind::Unique, {{"ACTION"}})),
        MakeKey("KEYSEQ", "Sequence", KeyKind::Primary, {{"SEQ"}}, true),
    };
    t.buffer = [] { return static_cast<void*>(&ACT); };
    return t;
  }();
  return def;
}

const storage::TableDef& COMMANDS_TABLE() {
  static const storage::TableDef def = [] {
    using R = COMMANDS_RECORD;
    auto t = dictionary::MakeTable<R>("COMMANDS", "CMD", "COMMANDS", false);
    t.display_name = "Commands";
    t.fields = {VX_FIELD(R, TITLE), VX_FIELD(R, COMMAND)};
    t.keys = {MakeKey("KEYTITLE", "Title", KeyKind::Primary, {{"TITLE"}})};
    t.buffer = [] { return static_cast<void*>(&CMD); };
    return t;
  }();
  return def;
}

}  // namespace vx
