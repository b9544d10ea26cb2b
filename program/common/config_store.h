// The settings store: one CONFIGURATION record per setting (key up to 40 characters, value up
// to 255), with the program's INI file as the fallback for settings not stored yet.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vx {

// The stored value of `key` (trailing blanks removed). A key that has no record is read from
// section "Settings" of `ini_file` (the default INI file when none is given), with
// `default_value` (blank when none is given) when that entry is missing too; a value that is
// not blank is then stored under the key, so later reads come from the store. Any other error
// of the store is shown in an "Error!" box, and the default value is returned.
std::string GetConfigValue(std::string_view key,
                           std::optional<std::string_view> default_value = std::nullopt,
                           std::optional<std::string_view> ini_file = std::nullopt);

// Whether the store holds a record for `key` (the INI file is not looked at). A store that
// cannot be read answers false, and its error is shown as GetConfigValue shows it.
bool ConfigValueStored(std::string_view key);

// Stores `value` under `key`, adding the record when missing. Errors are shown in an "Error!"
// box; a key that cannot be read is never written over another record. The third argument is
// accepted and not used.
void SetConfigValue(std::string_view key, std::string_view value, std::string_view unused = {});

}  // namespace vx
