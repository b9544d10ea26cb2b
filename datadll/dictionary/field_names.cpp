#include "datadll/dictionary/field_names.h"

#include "datadll/dictionary/dictionary_tables.h"

namespace vx {

std::string FieldNameOf(const void* address) {
  if (!address) return {};
  const char* at = static_cast<const char*>(address);
  for (const storage::TableDef* table : DictionaryTables()) {
    const char* buffer = static_cast<const char*>(table->buffer());
    if (at < buffer || at >= buffer + table->record_size) continue;
    const auto offset = static_cast<std::size_t>(at - buffer);
    for (const storage::FieldDef& field : table->fields) {
      if (field.offset == offset) return table->prefix + ":" + field.name;
    }
    return {};
  }
  return {};
}

}  // namespace vx
