// Load and unload of the data library. The program calls VX_Files_Load first and
// VX_Files_Unload last; nothing is done in static constructors, so the order is explicit.
#pragma once

namespace vx {

void VX_Files_Load();
void VX_Files_Unload();
bool VX_Files_Loaded();

}  // namespace vx
