#include "runtime/storage/text_format.h"

#include <cstring>

#include "runtime/csv.h"
#include "runtime/fixed_string.h"
#include "runtime/storage/record_codec.h"

namespace vx::storage {
namespace {

bool NeedsQuotes(std::string_view value) {
  return (!value.empty() && value.front() == ' ') || CsvNeedsQuotes(value);
}

// Width of a field in an ASCII line: text fields their size, numbers enough digits for any value.
std::size_t AsciiWidth(const FieldDef& field) {
  switch (field.type) {
    case FieldType::Long:
      return 11;
    case FieldType::Short:
      return 6;
    case FieldType::Byte:
      return 3;
    case FieldType::ULong:
      return 10;
    case FieldType::Decimal:
      return static_cast<std::size_t>(field.digits) + 2;
    default:
      return field.size;
  }
}

}  // namespace

std::string FormatBasicLine(const TableDef& def, const char* record) {
  std::string line;
  bool first = true;
  for (const FieldDef& field : def.fields) {
    const std::string value = FieldText(field, record);
    CsvAppendField(line, value, NeedsQuotes(value), first);
    first = false;
  }
  return line;
}

std::size_t ParseBasicRecord(const TableDef& def, std::string_view text, std::size_t pos,
                             char* record) {
  std::size_t field_index = 0;
  std::string value;
  auto finish_field = [&] {
    if (field_index < def.fields.size()) SetFieldText(def.fields[field_index], record, value);
    ++field_index;
    value.clear();
  };
  for (const FieldDef& field : def.fields) ClearField(field, record);

  bool quoted = false;
  while (pos < text.size()) {
    const char c = text[pos];
    if (quoted) {
      if (c == '"') {
        if (pos + 1 < text.size() && text[pos + 1] == '"') {
          value += '"';
          pos += 2;
          continue;
        }
        quoted = false;
      } else {
        value += c;
      }
      ++pos;
      continue;
    }
    if (c == '"') {
      quoted = true;
      ++pos;
    } else if (c == ',') {
      finish_field();
      ++pos;
    } else if (c == '\n' || c == '\r') {
      ++pos;
      if (c == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
      finish_field();
      return pos;
    } else {
      value += c;
      ++pos;
    }
  }
  finish_field();
  return pos;
}

std::string FormatAsciiLine(const TableDef& def, const char* record) {
  std::string line;
  for (const FieldDef& field : def.fields) {
    const std::size_t width = AsciiWidth(field);
    std::string value = FieldText(field, record);
    const std::string_view cut = CutUtf8(value, width);
    if (IsText(field.type)) {
      line.append(cut);
      line.append(width - cut.size(), ' ');
    } else {
      line.append(width - cut.size(), ' ');  // numbers right-aligned in their column
      line.append(cut);
    }
  }
  return std::string(ClipView(line));
}

void ParseAsciiLine(const TableDef& def, std::string_view line, char* record) {
  std::size_t column = 0;
  for (const FieldDef& field : def.fields) {
    const std::size_t width = AsciiWidth(field);
    const std::string_view part =
        column < line.size() ? line.substr(column, width) : std::string_view();
    SetFieldText(field, record, part);
    column += width;
  }
}

}  // namespace vx::storage
