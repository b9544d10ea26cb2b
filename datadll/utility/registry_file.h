// The registry as this system keeps it: an INI-format file in the user's settings folder with
// one section per key, named by its root and path ("HKEY_CURRENT_USER\Software\Vendor"), and
// one line per string value ("@" for the key's unnamed value). Key and value names match
// without regard to letter case, as registry names do.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vx {

// The predefined roots.
inline constexpr long HKEY_CLASSES_ROOT = 0x80000000L;
inline constexpr long HKEY_CURRENT_USER = 0x80000001L;
inline constexpr long HKEY_LOCAL_MACHINE = 0x80000002L;
inline constexpr long HKEY_USERS = 0x80000003L;

// Result codes of the registry operations, as the registry reports them.
inline constexpr long kRegOk = 0;
inline constexpr long kRegNotFound = 2;      // no such key or value
inline constexpr long kRegAccessDenied = 5;  // a key with sub-keys, or the file cannot be written
inline constexpr long kRegInvalidRoot = 6;   // not one of the predefined roots
inline constexpr long kRegInvalidName = 87;  // a name the file cannot hold

class RegistryFile {
 public:
  // The emulation file in the user's settings folder.
  RegistryFile();
  explicit RegistryFile(std::filesystem::path file) : file_(std::move(file)) {}

  const std::filesystem::path& path() const { return file_; }

  // Whether the key exists: it holds values or has sub-keys (a root always exists).
  long OpenKey(long root, std::string_view sub_key) const;
  // The values of an existing key in file order, the unnamed value with an empty name.
  long Values(long root, std::string_view sub_key,
              std::vector<std::pair<std::string, std::string>>& values) const;
  // Creates the key as needed and sets the value.
  long SetValue(long root, std::string_view sub_key, std::string_view name, std::string_view data);
  long DeleteValue(long root, std::string_view sub_key, std::string_view name);
  // Deletes a key that has no sub-keys, with its values.
  long DeleteKey(long root, std::string_view sub_key);

 private:
  std::filesystem::path file_;
};

}  // namespace vx
