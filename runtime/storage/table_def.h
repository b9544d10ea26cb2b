// How a table is described to the storage engine: its record layout, keys and memos.
//
// A record buffer is a plain C++ struct whose members are the table's fields, in the order the
// table lists them (groups are flattened: each member of a group is a member of the struct).
// Field types map as LONG -> std::int32_t, SHORT -> std::int16_t, BYTE -> std::uint8_t,
// ULONG -> std::uint32_t, DECIMAL(d,p) -> vx::Decimal, STRING(n) -> vx::String<n>,
// CSTRING(n) -> vx::CString<n>; a memo of n bytes is a vx::String<n> member too, listed among
// the memos. Buffers are per runtime thread: the table's `buffer` function returns the calling
// thread's copy, so the engine always reads and writes the caller's own record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx::storage {

namespace detail {
// Names of keys and fields compare without regard to letter case.
inline bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = (a[i] >= 'a' && a[i] <= 'z') ? static_cast<char>(a[i] - 32) : a[i];
    const char y = (b[i] >= 'a' && b[i] <= 'z') ? static_cast<char>(b[i] - 32) : b[i];
    if (x != y) return false;
  }
  return true;
}
}  // namespace detail

enum class FieldType : std::uint8_t { Long, Short, Byte, ULong, Decimal, String, CString, Memo };

struct FieldDef {
  std::string name;  // the field's name without prefix, e.g. "Date" for SCH:Date
  FieldType type = FieldType::Long;
  std::size_t offset = 0;   // offsetof the member in the record struct
  std::size_t size = 0;     // bytes of the member's text (String<n>/CString<n>/memo: n)
  std::uint8_t digits = 0;  // DECIMAL(digits, places)
  std::uint8_t places = 0;
};

enum class KeyKind : std::uint8_t { Primary, Unique, Duplicates };

struct KeyComponent {
  std::string field;  // a field name of the same table, without prefix
  bool descending = false;
};

struct KeyDef {
  std::string name;         // e.g. "KeyID" for SCH:KeyID
  std::string description;  // the text the file manager shows for the key
  KeyKind kind = KeyKind::Duplicates;
  bool case_sensitive = false;  // text components compare with (true) or without letter case
  bool auto_number = false;     // last component numbered on insert
  bool optional = false;        // records whose components are all zero or blank are left out
  std::vector<KeyComponent> components;
};

enum class Driver : std::uint8_t { TopSpeed, Basic, Ascii, Dos };

struct TableDef {
  std::string label;   // "SCHEDULE"
  std::string prefix;  // "SCH"
  Driver driver = Driver::TopSpeed;
  // Where the stored name comes from: either fixed text ("VX97\!s") or a global the caller may
  // change before the table is opened (the engine reads it at open time).
  std::string stored_name;
  const std::string* stored_name_ref = nullptr;
  bool encrypted = false;  // as declared; the engine stores every table unencrypted
  // The name the file manager shows in its messages; the file's path on disk when empty.
  std::string display_name;
  std::size_t record_size = 0;   // sizeof the record struct
  std::vector<FieldDef> fields;  // memos included, with type Memo
  std::vector<KeyDef> keys;
  void* (*buffer)() = nullptr;  // the calling thread's record buffer

  std::string StoredName() const { return stored_name_ref ? *stored_name_ref : stored_name; }

  // Position of a key or field by name, letter case ignored; -1 when there is none.
  int KeyIndex(std::string_view name) const {
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (detail::SameName(keys[i].name, name)) return static_cast<int>(i);
    }
    return -1;
  }
  int FieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (detail::SameName(fields[i].name, name)) return static_cast<int>(i);
    }
    return -1;
  }
};

}  // namespace vx::storage
