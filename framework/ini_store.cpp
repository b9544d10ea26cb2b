#include "framework/ini_store.h"

#include <cctype>

namespace vx {

std::string MemoryIniStore::Fold(std::string_view section, std::string_view key) {
  std::string folded;
  for (char c : section) folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  folded += '\n';
  for (char c : key) folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

std::string MemoryIniStore::Get(std::string_view section, std::string_view key, std::string_view fallback) const {
  auto it = values_.find(Fold(section, key));
  return it == values_.end() ? std::string(fallback) : it->second;
}

void MemoryIniStore::Put(std::string_view section, std::string_view key, std::string_view value) {
  values_[Fold(section, key)] = std::string(value);
}

}  // namespace vx
