// Stand-in for the outside file-conversion service through which every table is opened. The
// service would bring files of an older structure up to date; ours records the registrations in
// the order they were made (so start-up can be checked) and opens tables through the storage
// engine unchanged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/storage/file.h"
#include "runtime/storage/table_def.h"

namespace vx {

void ds_AddDriver(std::string_view driver_name, std::string_view file);
void ds_IgnoreDriver(std::string_view name, int flag);
void ds_UsingFile(std::string_view prefix, std::string_view label, const storage::TableDef& table,
                  int version);
void ds_AlternateFieldName(std::string_view current_name, std::string_view former_name);

// Opens the table as a plain open would, with the same access modes (2 read/write, 42h read/write
// deny none), and returns the error code it sets (0 and 52 are success).
int ds_FileOpen(storage::File& file, int mode);

// The registration calls made so far, one line each, e.g. "ds_UsingFile SCH Schedule SCHEDULE 14".
std::vector<std::string> FileConversionCalls();

}  // namespace vx
