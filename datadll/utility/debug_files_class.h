// Traces whether tables are open at given points of a procedure: each check writes "Open" or
// "Closed" for a table into an INI file, in the procedure's section, under the table's name and
// the current point ("SCHEDULE - Before save").
#pragma once

#include <string_view>

#include "runtime/fixed_string.h"
#include "runtime/storage/file.h"

namespace vx {

class DEBUGFILESCLASS {
 public:
  // The INI file and its section (normally the procedure's name); the point starts as "Init".
  void INIT(std::string_view ini_file, std::string_view section);
  void SETSECTION(std::string_view point) { SECT = point; }
  // A table counts as open when it can be positioned at its start on the calling thread; the
  // check leaves the thread's walk and record buffer as they were.
  void CHECKFILESTATE(storage::File& file);
  void KILL() {}

  String<255> INIFILENAME;
  String<255> PROC;
  String<255> SECT;
};

}  // namespace vx
