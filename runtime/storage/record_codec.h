// Moves field values between a record image (the bytes of a record struct) and SQLite.
//
// Text fields are stored without their trailing blanks (STRING and memo) so that comparisons
// ignore the padding, DECIMAL fields as whole units at the field's places, every integer
// type as an INTEGER.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "runtime/storage/table_def.h"

namespace vx::storage {

bool IsText(FieldType type);
// The column type recorded for a field; a change of it is a change of structure.
std::string ColumnType(const FieldDef& field);

int BindField(sqlite3_stmt* stmt, int index, const FieldDef& field, const char* record);
void ReadField(sqlite3_stmt* stmt, int column, const FieldDef& field, char* record);

std::int64_t FieldInteger(const FieldDef& field, const char* record);
void SetFieldInteger(const FieldDef& field, char* record, std::int64_t value);
// The field's value as plain text (numbers in decimal), and back.
std::string FieldText(const FieldDef& field, const char* record);
void SetFieldText(const FieldDef& field, char* record, std::string_view text);
// Whether a key component counts as empty for an optional key (zero or blank).
bool FieldIsEmpty(const FieldDef& field, const char* record);
// Clears a field: zero or blanks.
void ClearField(const FieldDef& field, char* record);

}  // namespace vx::storage
