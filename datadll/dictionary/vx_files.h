// Load and unload of the data library, and the hand-over of the program's error and INI objects.
//
// The program calls VX_Files_Load first and VX_Files_Unload last; nothing is done in static
// constructors, so the order is explicit. Load clears the shared text globals and the loading
// thread's record buffers, makes the library's own error object and INI object ("VX_Files.INI"),
// builds every table's managers in their fixed order and registers the tables with the
// file-conversion service (once per process). VX_FILES_INIT then puts the program's objects in
// use; VX_FILES_KILL does nothing, since unload cleans up.
#pragma once

namespace vx {

class ErrorClass;
class IniFile;

void VX_Files_Load();
void VX_Files_Unload();
bool VX_Files_Loaded();

// A non-null argument replaces the object in use; a null one leaves the current one in place.
void VX_FILES_INIT(ErrorClass* errors, IniFile* ini);
void VX_FILES_KILL();

// The error and INI objects in use: the library's own until VX_FILES_INIT hands over the
// program's; nullptr while the library is not loaded.
ErrorClass* ErrorsInUse();
IniFile* IniInUse();

}  // namespace vx
