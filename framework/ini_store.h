// The little that window positions need of an INI file: texts by section and key.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace vx {

class IniStore {
 public:
  virtual ~IniStore() = default;
  // The value, or `fallback` when the section or key is missing. Names ignore letter case.
  virtual std::string Get(std::string_view section, std::string_view key, std::string_view fallback) const = 0;
  virtual void Put(std::string_view section, std::string_view key, std::string_view value) = 0;
};

// An INI store in memory, for tests and for a run without a position file.
class MemoryIniStore final : public IniStore {
 public:
  std::string Get(std::string_view section, std::string_view key, std::string_view fallback) const override;
  void Put(std::string_view section, std::string_view key, std::string_view value) override;

 private:
  static std::string Fold(std::string_view section, std::string_view key);
  std::map<std::string, std::string> values_;
};

}  // namespace vx
