#include "runtime/storage/record_codec.h"

#include <charconv>
#include <cstring>

#include "runtime/decimal.h"
#include "runtime/fixed_string.h"

namespace vx::storage {
namespace {

template <class T>
T Load(const char* p) {
  T value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

template <class T>
void Store(char* p, T value) {
  std::memcpy(p, &value, sizeof value);
}

// The bytes of a text field that carry meaning.
std::string_view TextOf(const FieldDef& field, const char* record) {
  const char* p = record + field.offset;
  if (field.type == FieldType::CString) return {p, strnlen(p, field.size > 0 ? field.size - 1 : 0)};
  return ClipView(std::string_view(p, field.size));
}

void PutText(const FieldDef& field, char* record, std::string_view text) {
  char* p = record + field.offset;
  if (field.type == FieldType::CString) {
    if (field.size == 0) return;
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    const std::string_view cut = CutUtf8(text, field.size - 1);
    if (!cut.empty()) std::memcpy(p, cut.data(), cut.size());
    p[cut.size()] = '\0';
    return;
  }
  const std::string_view cut = CutUtf8(text, field.size);
  if (!cut.empty()) std::memcpy(p, cut.data(), cut.size());
  std::memset(p + cut.size(), ' ', field.size - cut.size());
}

}  // namespace

bool IsText(FieldType type) {
  return type == FieldType::String || type == FieldType::CString || type == FieldType::Memo;
}

std::string ColumnType(const FieldDef& field) {
  // Names holding "INT" get SQLite's integer affinity, names holding "TEXT" text affinity.
  switch (field.type) {
    case FieldType::Long:
      return "INT32";
    case FieldType::Short:
      return "INT16";
    case FieldType::Byte:
      return "UINT8";
    case FieldType::ULong:
      return "UINT32";
    case FieldType::Decimal:
      return "DECIMAL_INT(" + std::to_string(field.digits) + "," + std::to_string(field.places) +
             ")";
    case FieldType::String:
      return "TEXT(" + std::to_string(field.size) + ")";
    case FieldType::CString:
      return "CTEXT(" + std::to_string(field.size) + ")";
    case FieldType::Memo:
      return "MEMOTEXT(" + std::to_string(field.size) + ")";
  }
  return "TEXT";
}

std::int64_t FieldInteger(const FieldDef& field, const char* record) {
  const char* p = record + field.offset;
  switch (field.type) {
    case FieldType::Long:
      return Load<std::int32_t>(p);
    case FieldType::Short:
      return Load<std::int16_t>(p);
    case FieldType::Byte:
      return Load<std::uint8_t>(p);
    case FieldType::ULong:
      return Load<std::uint32_t>(p);
    case FieldType::Decimal:
      return Load<Decimal>(p).Rescaled(field.places).units();
    default:
      return 0;
  }
}

void SetFieldInteger(const FieldDef& field, char* record, std::int64_t value) {
  char* p = record + field.offset;
  switch (field.type) {
    case FieldType::Long:
      Store(p, static_cast<std::int32_t>(value));
      break;
    case FieldType::Short:
      Store(p, static_cast<std::int16_t>(value));
      break;
    case FieldType::Byte:
      Store(p, static_cast<std::uint8_t>(value));
      break;
    case FieldType::ULong:
      Store(p, static_cast<std::uint32_t>(value));
      break;
    case FieldType::Decimal:
      Store(p, Decimal::FromUnits(value, field.places));
      break;
    default:
      break;
  }
}

int BindField(sqlite3_stmt* stmt, int index, const FieldDef& field, const char* record) {
  if (IsText(field.type)) {
    const std::string_view text = TextOf(field, record);
    return sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()),
                             SQLITE_TRANSIENT);
  }
  return sqlite3_bind_int64(stmt, index, FieldInteger(field, record));
}

void ReadField(sqlite3_stmt* stmt, int column, const FieldDef& field, char* record) {
  if (IsText(field.type)) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    const int bytes = sqlite3_column_bytes(stmt, column);
    PutText(field, record,
            text ? std::string_view(text, static_cast<std::size_t>(bytes)) : std::string_view());
    return;
  }
  SetFieldInteger(field, record, sqlite3_column_int64(stmt, column));
}

std::string FieldText(const FieldDef& field, const char* record) {
  if (IsText(field.type)) return std::string(TextOf(field, record));
  if (field.type == FieldType::Decimal)
    return Load<Decimal>(record + field.offset).Rescaled(field.places).ToString();
  return std::to_string(FieldInteger(field, record));
}

void SetFieldText(const FieldDef& field, char* record, std::string_view text) {
  if (IsText(field.type)) {
    PutText(field, record, text);
    return;
  }
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  text = ClipView(text);
  if (field.type == FieldType::Decimal) {
    const auto value = Decimal::Parse(text, field.places);
    Store(record + field.offset, value ? *value : Decimal::FromUnits(0, field.places));
    return;
  }
  std::int64_t value = 0;
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::from_chars(text.data(), text.data() + text.size(), value);
  SetFieldInteger(field, record, value);
}

bool FieldIsEmpty(const FieldDef& field, const char* record) {
  if (IsText(field.type)) return ClipView(TextOf(field, record)).empty();
  return FieldInteger(field, record) == 0;
}

void ClearField(const FieldDef& field, char* record) {
  if (IsText(field.type)) {
    PutText(field, record, {});
  } else {
    SetFieldInteger(field, record, 0);
  }
}

}  // namespace vx::storage
