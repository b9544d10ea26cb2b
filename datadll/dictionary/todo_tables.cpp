#include "datadll/dictionary/todo_tables.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"
#include "datadll/dictionary/globals.h"

namespace vx {

thread_local TODO_RECORD TDO;
thread_local SYNCTODO_RECORD STDO;

namespace {

using dictionary::MakeKey;
using storage::KeyKind;

// The to-do layout and keys, shared by the list and its synchronisation copy. The text keys
// compare with letter case except the category key.
storage::TableDef ToDoTable(const char* label, const char* prefix, const char* stored_name) {
  using R = TODO_RECORD;
  auto t = dictionary::MakeTable<R>(label, prefix, stored_name, true);
  t.fields = {VX_FIELD(R, Done),        VX_FIELD(R, Priority),       VX_FIELD(R, Category),
              VX_FIELD(R, ToDo),        VX_FIELD(R, CompletionDate), VX_FIELD(R, CompletionTime),
              VX_FIELD(R, NetworkUser), VX_FIELD(R, LastChangeDate), VX_FIELD(R, LastChangeTime),
              VX_FIELD(R, OriginalID),  VX_MEMO(R, Notes),           VX_MEMO(R, Resolution)};
  const bool kCase = true;
  t.keys = {
      MakeKey("KeyDone", "Done", KeyKind::Duplicates, {{"Done"}, {"Priority"}, {"ToDo"}}, false,
              kCase),
      MakeKey("KeyPriority", "Priority", KeyKind::Duplicates, {{"Priority"}, {"Done"}, {"ToDo"}},
              false, kCase),
      MakeKey("KeyToDo", "To Do", KeyKind::Duplicates, {{"ToDo"}}, false, kCase),
      MakeKey("KeyCategory", "Category", KeyKind::Duplicates,
              {{"Category"}, {"Priority"}, {"ToDo"}}),
  };
  return t;
}

}  // namespace

const storage::TableDef& TODO_TABLE() {
  static const storage::TableDef def = [] {
    auto t = ToDoTable("TODO", "TDO", "VX97\\!ToDo");
    t.buffer = [] { return static_cast<void*>(&TDO); };
    return t;
  }();
  return def;
}

const storage::TableDef& SYNCTODO_TABLE() {
  static const storage::TableDef def = [] {
    auto t = ToDoTable("SYNCTODO", "STDO", "");
    t.stored_name_ref = &GLO_SYNCTODOFILENAME;
    t.buffer = [] { return static_cast<void*>(&STDO); };
    return t;
  }();
  return def;
}

}  // namespace vx
