#include "datadll/utility/registry_file.h"

#include <optional>

#include "platform/user_folders.h"
#include "runtime/ini_file.h"

namespace vx {
namespace {

constexpr std::string_view kUnnamedValue = "@";

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::optional<std::string_view> RootName(long root) {
  switch (root) {
    case HKEY_CLASSES_ROOT:
      return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER:
      return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE:
      return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS:
      return "HKEY_USERS";
    default:
      return std::nullopt;
  }
}

// The section of a key; nothing for an unknown root or a path the file cannot hold.
std::optional<std::string> Section(long root, std::string_view sub_key) {
  const auto root_name = RootName(root);
  if (!root_name) return std::nullopt;
  while (!sub_key.empty() && (sub_key.front() == '\\' || sub_key.front() == ' '))
    sub_key.remove_prefix(1);
  while (!sub_key.empty() && (sub_key.back() == '\\' || sub_key.back() == ' '))
    sub_key.remove_suffix(1);
  if (sub_key.find_first_of("]\r\n") != std::string_view::npos) return std::nullopt;
  std::string section(*root_name);
  if (!sub_key.empty()) section += "\\" + std::string(sub_key);
  return section;
}

bool ValidValueName(std::string_view name) {
  if (name.find_first_of("=\r\n") != std::string_view::npos) return false;
  return name.empty() || (name.front() != '[' && name.front() != ';' && name.front() != '#');
}

std::string_view StoredName(std::string_view name) { return name.empty() ? kUnnamedValue : name; }

// Whether the section exists, and whether sections below it do.
void Look(const IniFile& ini, const std::string& section, bool& exists, bool& has_sub_keys) {
  exists = has_sub_keys = false;
  const std::string prefix = section + "\\";
  for (const std::string& s : ini.Sections()) {
    if (SameText(s, section))
      exists = true;
    else if (s.size() > prefix.size() &&
             SameText(std::string_view(s).substr(0, prefix.size()), prefix))
      has_sub_keys = true;
  }
}

}  // namespace

RegistryFile::RegistryFile() : file_(platform::UserConfigFolder() / "registry.ini") {}

long RegistryFile::OpenKey(long root, std::string_view sub_key) const {
  const auto section = Section(root, sub_key);
  if (!section) return RootName(root) ? kRegInvalidName : kRegInvalidRoot;
  if (*section == *RootName(root)) return kRegOk;
  bool exists = false, has_sub_keys = false;
  Look(IniFile::AtPath(file_), *section, exists, has_sub_keys);
  return exists || has_sub_keys ? kRegOk : kRegNotFound;
}

long RegistryFile::Values(long root, std::string_view sub_key,
                          std::vector<std::pair<std::string, std::string>>& values) const {
  values.clear();
  if (const long opened = OpenKey(root, sub_key); opened != kRegOk) return opened;
  values = IniFile::AtPath(file_).Entries(*Section(root, sub_key));
  for (auto& [name, data] : values)
    if (name == kUnnamedValue) name.clear();
  return kRegOk;
}

long RegistryFile::SetValue(long root, std::string_view sub_key, std::string_view name,
                            std::string_view data) {
  const auto section = Section(root, sub_key);
  if (!section) return RootName(root) ? kRegInvalidName : kRegInvalidRoot;
  if (!ValidValueName(name)) return kRegInvalidName;
  return IniFile::AtPath(file_).Put(*section, StoredName(name), data) ? kRegOk : kRegAccessDenied;
}

long RegistryFile::DeleteValue(long root, std::string_view sub_key, std::string_view name) {
  if (const long opened = OpenKey(root, sub_key); opened != kRegOk) return opened;
  const auto section = Section(root, sub_key);
  IniFile ini = IniFile::AtPath(file_);
  if (!ValidValueName(name) || !ini.Has(*section, StoredName(name))) return kRegNotFound;
  return ini.DeleteKey(*section, StoredName(name)) ? kRegOk : kRegAccessDenied;
}

long RegistryFile::DeleteKey(long root, std::string_view sub_key) {
  const auto section = Section(root, sub_key);
  if (!section) return RootName(root) ? kRegInvalidName : kRegInvalidRoot;
  if (*section == *RootName(root)) return kRegAccessDenied;  // a root cannot be deleted
  IniFile ini = IniFile::AtPath(file_);
  bool exists = false, has_sub_keys = false;
  Look(ini, *section, exists, has_sub_keys);
  if (has_sub_keys) return kRegAccessDenied;
  if (!exists) return kRegNotFound;
  return ini.DeleteSection(*section) ? kRegOk : kRegAccessDenied;
}

}  // namespace vx
