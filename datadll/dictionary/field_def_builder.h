// Builds a table's field list from its record struct, so offsets, types and widths always come
// from the struct itself: VX_FIELD(SCHEDULE_RECORD, Date) names the member and nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx::dictionary {

template <class T>
struct FieldTraits;  // only the member types a record may hold have traits

template <>
struct FieldTraits<std::int32_t> {
  static constexpr storage::FieldType kType = storage::FieldType::Long;
  static constexpr std::size_t kSize = 4;
};
template <>
struct FieldTraits<std::int16_t> {
  static constexpr storage::FieldType kType = storage::FieldType::Short;
  static constexpr std::size_t kSize = 2;
};
template <>
struct FieldTraits<std::uint8_t> {
  static constexpr storage::FieldType kType = storage::FieldType::Byte;
  static constexpr std::size_t kSize = 1;
};
template <>
struct FieldTraits<std::uint32_t> {
  static constexpr storage::FieldType kType = storage::FieldType::ULong;
  static constexpr std::size_t kSize = 4;
};
template <std::size_t N>
struct FieldTraits<String<N>> {
  static constexpr storage::FieldType kType = storage::FieldType::String;
  static constexpr std::size_t kSize = N;
};
template <std::size_t N>
struct FieldTraits<CString<N>> {
  static constexpr storage::FieldType kType = storage::FieldType::CString;
  static constexpr std::size_t kSize = N;
};

template <class T>
storage::FieldDef MakeField(const char* name, std::size_t offset) {
  storage::FieldDef f;
  f.name = name;
  f.type = FieldTraits<T>::kType;
  f.offset = offset;
  f.size = FieldTraits<T>::kSize;
  return f;
}

template <class T>
storage::FieldDef MakeMemo(const char* name, std::size_t offset) {
  storage::FieldDef f = MakeField<T>(name, offset);
  static_assert(FieldTraits<T>::kType == storage::FieldType::String,
                "a memo is a String<n> member");
  f.type = storage::FieldType::Memo;
  return f;
}

// Bytes a field takes in the stored (packed) record: what the record-size figures count.
inline std::size_t StoredBytes(const storage::FieldDef& f) {
  return f.type == storage::FieldType::Memo ? 0 : f.size;
}

// Shorthands for building keys: a component list in key order.
inline storage::KeyDef MakeKey(const char* name, const char* description, storage::KeyKind kind,
                               std::initializer_list<storage::KeyComponent> components,
                               bool auto_number = false, bool case_sensitive = false) {
  storage::KeyDef k;
  k.name = name;
  k.description = description;
  k.kind = kind;
  k.auto_number = auto_number;
  k.case_sensitive = case_sensitive;
  k.components = components;
  return k;
}

// A key whose records are left out while all its components are zero or blank.
inline storage::KeyDef Optional(storage::KeyDef key) {
  key.optional = true;
  return key;
}

// A table description with its name parts filled in; fields, keys and buffer follow.
template <class Rec>
storage::TableDef MakeTable(const char* label, const char* prefix, const char* stored_name,
                            bool encrypted, storage::Driver driver = storage::Driver::TopSpeed) {
  storage::TableDef t;
  t.label = label;
  t.prefix = prefix;
  t.stored_name = stored_name;
  t.encrypted = encrypted;
  t.driver = driver;
  t.record_size = sizeof(Rec);
  return t;
}

}  // namespace vx::dictionary

#define VX_FIELD(Rec, Member) \
  ::vx::dictionary::MakeField<decltype(Rec::Member)>(#Member, offsetof(Rec, Member))
#define VX_MEMO(Rec, Member) \
  ::vx::dictionary::MakeMemo<decltype(Rec::Member)>(#Member, offsetof(Rec, Member))
