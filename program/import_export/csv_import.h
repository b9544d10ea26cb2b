// The comma-delimited imports of tasks, contacts and to-do items: the file's columns as the
// field assignment window shows them, the assignment of columns to a table's fields ("A&uto"
// matches a header line of field names), and the run that adds one record per line.
//
// The run reads the import file open on the calling thread (csv_file.h). Every line starts from
// a fresh record (the buffer cleared, the table's defaults), takes the values of its assigned
// columns, and goes through the table's field rules, the checks its form applies; a line with a
// value that is not a number, date or time where one is wanted, or out of its field's range, or
// that fails a rule, is skipped and kept with its line number and the reason, and the rest go
// on. The run works in batches of a few hundredths of a second, each one transaction, between
// which its progress window takes its events (Cancel) and the other threads (Main's tick) run.
// Records added stay when the run is cancelled or an add fails. A text longer than its field is
// cut at the field's width (memos at theirs).
//
// ImportSchedule, ImportContacts and ImportToDo ask for the file and show "Assign fields for
// Import..." over its columns, "A&uto" done as it opens (the first line is stripped as a header
// when it named a field); OK runs the import and one box says how it ended ("Import Completed",
// "Import Cancelled", "Import Failed"). Each runs on a thread of its own and answers in
// GLOBALRESPONSE: completed after a run, cancelled when the window was cancelled or no file was
// opened.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "program/import_export/csv_table_fields.h"

namespace vx {

// A column of the import file.
struct CsvImportColumn {
  std::string name;     // "Field_3"
  std::string picture;  // how its text is read: "@S1000" text, "@N30.9" a number, or a date or
                        // time picture that turns the text into a day number or time
  std::string value;    // its value in the line on show
};

// The columns of the file open for import: one per field of its first line, read as numbers
// where the second line's field is an unquoted plain number, with the first line's values. Leaves
// the file at its start. Empty when the file has no line.
std::vector<CsvImportColumn> ReadImportColumns();

// One number per target field of the table, in the table's order: the column (from 1) assigned
// to it, 0 for none.
using CsvAssignment = std::vector<int>;

// Assigns each target field without a column to the first column whose value on show is its
// name (a header line as the exports write it); a matched column that is not read as a number
// takes the field's date or time picture. Answers how many fields it assigned.
int AutoAssign(const CsvTable& table, std::vector<CsvImportColumn>& columns,
               CsvAssignment& assignment);

struct CsvSkippedLine {
  std::int64_t line = 0;  // the line of the file where the record starts (from 1)
  std::string reason;
};

struct CsvImportResult {
  enum class Outcome { Completed, Cancelled, Failed };
  Outcome outcome = Outcome::Completed;
  std::int64_t added = 0;
  std::vector<CsvSkippedLine> skipped;
  std::int64_t due = 0;         // tasks added that are enabled and whose next run has come
  std::int64_t stopped_at = 0;  // cancelled or failed: the line not imported
  std::string failure;          // failed: what went wrong
};

// Imports every line of the open file (after the first, with strip_header) into `table`, its
// columns read as `columns` say and stored into the fields `assignment` gives them. Shows the
// progress window when on a runtime thread with a window; the table is opened and closed here.
CsvImportResult RunCsvImport(const CsvTable& table, const std::vector<CsvImportColumn>& columns,
                             const CsvAssignment& assignment, bool strip_header);

// The closing message of a run: the records added, the lines skipped and why (the first ones
// when there are many), how a cancelled or failed run ended, and for tasks how many are due.
std::string ImportClosingText(const CsvTable& table, const CsvImportResult& result);

void ImportSchedule();
void ImportContacts();
void ImportToDo();

}  // namespace vx
