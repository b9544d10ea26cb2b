#include "datadll/dictionary/record_clear.h"

#include <cstring>

#include "runtime/decimal.h"

namespace vx {

void ClearRecord(const storage::TableDef& table) {
  char* record = static_cast<char*>(table.buffer());
  for (const storage::FieldDef& f : table.fields) {
    char* at = record + f.offset;
    switch (f.type) {
      case storage::FieldType::String:
      case storage::FieldType::Memo:
        std::memset(at, ' ', f.size);
        break;
      case storage::FieldType::CString:
        at[0] = '\0';
        break;
      case storage::FieldType::Decimal:
        *reinterpret_cast<Decimal*>(at) = Decimal::FromUnits(0, f.places);
        break;
      case storage::FieldType::Long:
      case storage::FieldType::ULong:
        std::memset(at, 0, 4);
        break;
      case storage::FieldType::Short:
        std::memset(at, 0, 2);
        break;
      case storage::FieldType::Byte:
        at[0] = 0;
        break;
    }
  }
}

}  // namespace vx
