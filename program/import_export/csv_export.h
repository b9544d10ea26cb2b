// The comma-delimited exports of tasks, contacts and to-do items: the field chooser "Choose
// Fields for Export..." and the run that writes one line per record with the chosen fields
// under their pictures, after an optional header line of the fields' names.
//
// Each procedure runs on a thread of its own and answers in GLOBALRESPONSE: completed after a
// run (also one ended by Cancel or a failure, which are said), cancelled when the chooser was
// cancelled or no file was made.
#pragma once

#include <string>
#include <vector>

#include "program/import_export/csv_table_fields.h"

namespace vx {

struct CsvExportEntry {
  std::string name;     // "C_:LastName"
  std::string picture;  // "@s30"
};

// How an export run ended.
enum class CsvExportOutcome { Written, NotCreated, Cancelled, Failed };

// Writes every record of `table` in its read order to `file` (asked for when empty): the header
// line first when `header`, then one line per record. The file takes the place of an earlier
// one only when complete; cancelled or failed, the earlier file stays whole and the user is told.
CsvExportOutcome RunCsvExport(const CsvTable& table, const std::vector<CsvExportEntry>& fields,
                              bool header, const std::string& file = {});

// The offered fields of `table` with their default pictures, in order.
std::vector<CsvExportEntry> OfferedExportFields(const CsvTable& table);

void ExportSchedule();
void ExportContacts();
void ExportToDo();

}  // namespace vx
