// The fields of SCHEDULE, CONTACT and TODO that the comma-delimited exports offer and the
// imports fill, in their order, each with its default picture, and a field's value as text.
//
// A name is "PREFIX:Field" as the header line writes it ("C_:LastName"); memos are among them
// and always go whole (their pictures say only that they are text).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "runtime/storage/table_def.h"

namespace vx {

class FileManager;

struct CsvTableField {
  const char* name;
  const char* picture;
};

// One table as the exports and imports see it.
struct CsvTable {
  const char* label;                   // "Contact", as its messages name it
  FileManager* (*access)();            // the table's file manager
  const storage::KeyDef* (*order)();   // the export's read order
  const storage::KeyDef* (*id_key)();  // the key whose highest value numbers an import; or null
  const char* id_field;                // that field's name ("ClientID"), or null
  std::span<const CsvTableField> fields;
};

const CsvTable& ScheduleCsvTable();
const CsvTable& ContactCsvTable();
const CsvTable& ToDoCsvTable();

// The record field a name stands for ("C_:LastName"); null for a name of no field of `def`.
const storage::FieldDef* CsvFieldDef(const storage::TableDef& def, std::string_view name);
// The field's value in the calling thread's buffer: text without trailing blanks, numbers in
// decimal. True for a number (integer) field, whose value is in `number`.
bool CsvFieldValue(const storage::TableDef& def, const storage::FieldDef& field, std::string& text,
                   std::int64_t& number);

}  // namespace vx
