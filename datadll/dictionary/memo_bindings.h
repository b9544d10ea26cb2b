// The names under which memo fields are made known to filter and report expressions, besides
// the record fields themselves. A binding names the table and the memo field, so whoever binds
// it reads the memo from the buffer of the thread evaluating the expression.
#pragma once

#include <span>
#include <string>

#include "runtime/storage/table_def.h"

namespace vx {

struct MemoBinding {
  std::string name;  // e.g. "SCH:Message"
  const storage::TableDef* table;
  const storage::FieldDef* field;  // a field of type Memo in table->fields
};

// Every memo binding of the dictionary, table by table.
std::span<const MemoBinding> MemoBindings();

// The memo's text in the calling thread's buffer, without trailing blanks.
std::string MemoText(const MemoBinding& binding);

}  // namespace vx
