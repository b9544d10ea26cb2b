// Record lines of the text drivers: BASIC (comma-delimited) and ASCII (fixed columns).
#pragma once

#include <string>
#include <string_view>

#include "runtime/storage/table_def.h"

namespace vx::storage {

// One BASIC line (without its line end): fields in order, separated by commas; a field that
// holds a comma, a quote, a line break or a leading blank is quoted and its quotes doubled.
std::string FormatBasicLine(const TableDef& def, const char* record);
// Reads the BASIC record that starts at `pos` in `text` into `record`; returns the offset
// after its line end (LF or CRLF). A quoted field may span lines.
std::size_t ParseBasicRecord(const TableDef& def, std::string_view text, std::size_t pos,
                             char* record);

// One ASCII line: each field at its fixed column width, trailing blanks removed.
std::string FormatAsciiLine(const TableDef& def, const char* record);
void ParseAsciiLine(const TableDef& def, std::string_view line, char* record);

}  // namespace vx::storage
