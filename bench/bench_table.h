// The small table the storage benchmarks measure, on SQLite and on the server alike: a record of
// (BYTE Kind, LONG Day, LONG Seq, STRING(20) Name, LONG Value) with its (Kind, Day, Seq) key and,
// when asked, a second key on Name. Its buffer is per thread, as a table's record buffer is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx::bench {

struct BenchRec {
  std::uint8_t Kind;
  std::int32_t Day;
  std::int32_t Seq;
  vx::String<20> Name;
  std::int32_t Value;
};

inline BenchRec& BenchBuffer() {
  thread_local BenchRec rec{};
  return rec;
}

inline storage::TableDef MakeBenchTable(const std::string& stored, bool name_key = false) {
  using storage::FieldType;
  auto field = [](const char* name, FieldType type, std::size_t offset, std::size_t size) {
    storage::FieldDef f;
    f.name = name;
    f.type = type;
    f.offset = offset;
    f.size = size;
    return f;
  };
  storage::TableDef def;
  def.label = "BENCH";
  def.stored_name = stored;
  def.record_size = sizeof(BenchRec);
  def.fields = {field("Kind", FieldType::Byte, offsetof(BenchRec, Kind), 1),
                field("Day", FieldType::Long, offsetof(BenchRec, Day), 4),
                field("Seq", FieldType::Long, offsetof(BenchRec, Seq), 4),
                field("Name", FieldType::String, offsetof(BenchRec, Name), 20),
                field("Value", FieldType::Long, offsetof(BenchRec, Value), 4)};
  storage::KeyDef key;
  key.name = "KeyKindDaySeq";
  key.components = {{"Kind", false}, {"Day", false}, {"Seq", false}};
  def.keys = {key};
  if (name_key) {
    storage::KeyDef name;
    name.name = "KeyName";
    name.components = {{"Name", false}};
    def.keys.push_back(name);
  }
  def.buffer = [] { return static_cast<void*>(&BenchBuffer()); };
  return def;
}

}  // namespace vx::bench
