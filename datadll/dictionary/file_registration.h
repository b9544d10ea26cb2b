// Registers every stored table with the file-conversion service, in the service's fixed order,
// the first time it is called in the process; later calls do nothing.
#pragma once

namespace vx {

void RegisterTablesWithFileConversion();

}  // namespace vx
