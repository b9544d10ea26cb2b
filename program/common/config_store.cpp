#include "program/common/config_store.h"

#include "datadll/dictionary/configuration_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "program/windows/program_errors.h"
#include "runtime/ini_file.h"
#include "runtime/storage/errors.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

// The key as the error messages show it: 40 characters, blank-padded.
std::string PaddedKey(std::string_view key) { return std::string(String<40>(key).view()); }

void ShowStoreError(const std::string& text) {
  ProgramErrors().Show({"Error!", text, MessageIcon::Exclamation, BUTTON_OK, BUTTON_OK});
}

// Reads the key's record; a store that is not open on this thread is opened (shared, and
// created when missing) and read again.
// The open reports nothing itself: the store's own message says what failed.
int FetchKey(std::string_view key) {
  if (ACCESS_CONFIGURATION->Opened() == 0) {
    if (const int code = ACCESS_CONFIGURATION->TryOpen(); code != storage::kNoError) return code;
  }
  CF.DataType = key;
  return ACCESS_CONFIGURATION->TryFetch(CF_KEYDATATYPE);
}

}  // namespace

std::string GetConfigValue(std::string_view key, std::optional<std::string_view> default_value,
                           std::optional<std::string_view> ini_file) {
  const int code = FetchKey(key);
  if (code == storage::kNoError) return CF.DataValue.str();
  if (code == storage::kRecordNotFound) {
    CF = CONFIGURATION_RECORD{};
    CF.DataValue = GETINI("Settings", key, default_value.value_or(""), ini_file.value_or(""));
    if (!CF.DataValue.blank()) {
      // The first read moves a setting from the INI file into the store.
      CF.DataType = key;
      ACCESS_CONFIGURATION->TryInsert();
    }
    return CF.DataValue.str();
  }
  ShowStoreError("Error retrieving configuration information code " + PaddedKey(key) + " - " +
                 ERROR());
  // The buffer still holds whatever record was read last: the caller gets the default instead.
  return std::string(String<255>(default_value.value_or("")).clipped());
}

bool ConfigValueStored(std::string_view key) {
  const int code = FetchKey(key);
  if (code == storage::kNoError) return true;
  if (code != storage::kRecordNotFound) {
    ShowStoreError("Error retrieving configuration information code " + PaddedKey(key) + " - " +
                   ERROR());
  }
  return false;
}

void SetConfigValue(std::string_view key, std::string_view value, std::string_view) {
  int code = FetchKey(key);
  if (code == storage::kRecordNotFound) {
    CF = CONFIGURATION_RECORD{};
    CF.DataType = key;
    CF.DataValue = value;
    code = ACCESS_CONFIGURATION->TryInsert();
  } else if (code == storage::kNoError) {
    // Nothing to write when the value is stored already: a database that is only read must
    // not give an error for the values each start stores again.
    if (CF.DataValue.clipped() == ClipView(value)) return;
    CF.DataValue = value;
    code = ACCESS_CONFIGURATION->TryUpdate();
  }
  // After a failed read the current record is another key's (or none): nothing is written.
  if (code != storage::kNoError) {
    ShowStoreError("Error writing configuration information.  Code " + PaddedKey(key) + " - " +
                   ERROR());
  }
}

}  // namespace vx
