#include "datadll/dictionary/memo_bindings.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/dictionary/user_tables.h"
#include "runtime/fixed_string.h"

namespace vx {
namespace {

MemoBinding Bind(const char* name, const storage::TableDef& table, std::string_view field) {
  for (const storage::FieldDef& f : table.fields) {
    if (f.name == field && f.type == storage::FieldType::Memo) return {name, &table, &f};
  }
  std::fprintf(stderr, "%s has no memo %.*s\n", table.label.c_str(), static_cast<int>(field.size()),
               field.data());
  std::abort();
}

}  // namespace

std::span<const MemoBinding> MemoBindings() {
  static const std::vector<MemoBinding> bindings = {
      Bind("SCH:Message", SCHEDULE_TABLE(), "Message"),
      Bind("SCW:Message", SCHEDULEWORKFILE_TABLE(), "Message"),
      Bind("SSch:Message", SYNCSCHEDULE_TABLE(), "Message"),
      Bind("TDO:Notes", TODO_TABLE(), "Notes"),
      Bind("TDO:Resolution", TODO_TABLE(), "Resolution"),
      Bind("STdo:Notes", SYNCTODO_TABLE(), "Notes"),
      Bind("STdo:Resolution", SYNCTODO_TABLE(), "Resolution"),
      Bind("C_:Notes", CONTACT_TABLE(), "Notes"),
      Bind("U_:Notes", USERS_TABLE(), "NOTES"),
      Bind("CLI:ClipContents", CLIPBOARD_TABLE(), "ClipContents"),
      Bind("M_:Message", MESSAGES_TABLE(), "Message"),
      Bind("HOT:Text", SYSHOTKEYS_TABLE(), "Text"),
  };
  return bindings;
}

std::string MemoText(const MemoBinding& binding) {
  const char* at = static_cast<const char*>(binding.table->buffer()) + binding.field->offset;
  return std::string(ClipView(std::string_view(at, binding.field->size)));
}

}  // namespace vx
