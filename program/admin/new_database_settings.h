// The settings a new database starts with where they differ from the settings' own defaults.
#pragma once

namespace vx {

// Stores "MinimizeOnCloseRequest" as 1 when neither the store nor the program's INI file
// (section "Settings" of ININAME) holds a value for it: a desktop tray program stays in the
// tray when its window is closed, and File, Exit ends it after a question. Called once, by
// Main's start-up in a database no start of Main has used yet, before the settings are loaded;
// a value the user set (in the store or the INI file) is kept.
void StoreNewDatabaseSettings();

}  // namespace vx
