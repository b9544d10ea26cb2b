#include "datadll/dictionary/file_conversion.h"

#include <mutex>

namespace vx {
namespace {

std::mutex gMutex;
std::vector<std::string>& Calls() {
  static std::vector<std::string> calls;
  return calls;
}

void Record(std::string line) {
  std::lock_guard lock(gMutex);
  Calls().push_back(std::move(line));
}

}  // namespace

void ds_AddDriver(std::string_view driver_name, std::string_view file) {
  Record("ds_AddDriver " + std::string(driver_name) + " " + std::string(file));
}

void ds_IgnoreDriver(std::string_view name, int flag) {
  Record("ds_IgnoreDriver " + std::string(name) + " " + std::to_string(flag));
}

void ds_UsingFile(std::string_view prefix, std::string_view label, const storage::TableDef& table,
                  int version) {
  Record("ds_UsingFile " + std::string(prefix) + " " + std::string(label) + " " + table.label +
         " " + std::to_string(version));
}

void ds_AlternateFieldName(std::string_view current_name, std::string_view former_name) {
  Record("ds_AlternateFieldName " + std::string(current_name) + " " + std::string(former_name));
}

int ds_FileOpen(storage::File& file, int mode) { return file.Open(mode); }

std::vector<std::string> FileConversionCalls() {
  std::lock_guard lock(gMutex);
  return Calls();
}

}  // namespace vx
