#include "program/admin/new_database_settings.h"

#include "datadll/dictionary/globals.h"
#include "program/common/config_store.h"

namespace vx {

void StoreNewDatabaseSettings() {
  // Read as the settings loader reads it: a value in the INI file moves into the store.
  if (GetConfigValue("MinimizeOnCloseRequest", std::nullopt, ININAME.clipped()).empty())
    SetConfigValue("MinimizeOnCloseRequest", "1");
}

}  // namespace vx
