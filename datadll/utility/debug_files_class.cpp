#include "datadll/utility/debug_files_class.h"

#include <string>

#include "runtime/ini_file.h"

namespace vx {

void DEBUGFILESCLASS::INIT(std::string_view ini_file, std::string_view section) {
  INIFILENAME = ini_file;
  PROC = section;
  SECT = "Init";
}

void DEBUGFILESCLASS::CHECKFILESTATE(storage::File& file) {
  const bool open = file.IsOpen();
  bool positioned = false;
  if (open) {
    const storage::FileState state = file.GetState();
    positioned = file.Set() == 0;
    file.RestoreState(state);
  }
  const std::string entry = file.def().label + " - " + SECT.str();
  PUTINI(PROC.str(), entry, positioned ? "Open" : "Closed", INIFILENAME.str());
}

}  // namespace vx
