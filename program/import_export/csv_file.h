// The comma-delimited file of the imports and exports, written and read field by field by
// picture, on the runtime's RFC 4180 reader and writer (runtime/csv.h).
//
// Each runtime thread has one file of each kind at a time (the imports and exports run on a
// thread of their own, so two of them never share a file or a line).
//
// Writing: a field under a string picture ("@s...") is its text without trailing blanks; under
// a numeric picture ("@n...") the value itself, the picture not applied; under any other picture
// the value formatted through it. Every field is quoted, its quotes doubled, unless it is a plain
// number ("12", "-3.5") under a numeric picture: a text under a string picture is quoted even
// when it reads as a number, and a text under a numeric picture is quoted too; fields may hold
// commas, quotes and line breaks and be of any length. The file is written beside its target
// under a temporary name and put in the target's place only when closed complete, so a failed
// or abandoned export leaves the earlier file whole.
//
// Reading: a record (a line, or several lines when a quoted field holds line breaks) is read
// whole, then its fields one at a time.
//
// Every failure is said in a box titled by the operation and the file: "Cannot CREATE ",
// "Cannot ADD to " (Abort or Retry), "Cannot CLOSE ", "Cannot OPEN ".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// The type letter of a picture: its character after "@", upper case ('\0' when there is none).
char PictureType(std::string_view picture);
// A picture's kind as the field choosers show it: "Alpha-numeric", "Numeric", or the picture.
std::string PictureKind(std::string_view picture);

// Asks for the file with "Export File" when `name` is empty (cancel: false), then creates its
// temporary file beside it. True on success.
bool CsvCreateExportFile(std::string name = {});
// The file being written (empty when none).
const std::string& CsvExportFileName();
void CsvBeginLine();
// Adds a field: `value` is the field's value as text (numbers in decimal); `header` writes a
// field name (a subscript "[n]" becomes "_n"); `picture` decides the form (see above).
void CsvAddField(std::string_view value, bool header, std::string_view picture);
// Adds a number field: under a string or numeric picture its decimal digits, under any other
// picture (a date, a time) the value formatted through it; no date or time (0) is empty.
void CsvAddNumberField(std::int64_t value, std::string_view picture);
// Appends the line to the file; false when the user gave up after an error.
bool CsvWriteLine();
// Closes the file. `complete`: it takes the target's place (false, with the failure said, when
// it cannot); otherwise it is removed and the target stays as it was.
bool CsvCloseExportFile(bool complete = true);

// Opens the file for reading, asking with "Import File" when `name` is empty (again after an
// open error or an empty file); answers its size in bytes, 0 for nothing to import.
std::int64_t CsvOpenImportFile(std::string name = {});
const std::string& CsvImportFileName();
// Goes back to the start of the file.
void CsvSetImportOrder(bool quick_scan = true);
// Reads the next record; answers the bytes it took (at least 1), 0 at the end of the file.
std::int64_t CsvReadLine();
// The physical line (from 1) where the record last read starts, and the bytes read so far.
std::int64_t CsvLineNumber();
std::int64_t CsvBytesRead();
// Takes the record's next field: 1 quoted, 2 unquoted, 0 when the record has no more.
int CsvNextField();
// The field last taken, deformatted once through a picture that is neither string nor number
// (a date or time text becomes its number) by CsvDeformatField.
const std::string& CsvFieldText();
void CsvDeformatField(std::string_view picture);
void CsvCloseImportFile();

// The picture editor "Enter Picture...": answers the edited picture on OK, "" on Cancel.
std::string EnterPicture(std::string_view picture);

}  // namespace vx
